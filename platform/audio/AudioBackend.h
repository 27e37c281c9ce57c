#pragma once
// What the sound library needs from an audio system: a small set of operations shaped after
// the steps the sound library takes (start up, make output paths, load, prepare, play, stop).
// Every operation reports failure by its result; the sound library turns failures into its
// own error texts. Called from the main thread only.
#include <cstdint>
#include <memory>
#include <string>

namespace vx::audio {

// How an output path renders: positioned in space, mono, or plain stereo.
enum class PathKind { Spatial, Mono, Stereo };

// Start-up stages, so that the caller can say which one failed.
enum class InitResult { Ok, PlatformFailed, LoaderFailed, PerformanceFailed, AudioFailed };

// The objects the sound library takes from a path after creating it.
enum class PathObject { Buffer, SpatialBuffer, Listener };

using PathId = int;     // 0 = no path
using SegmentId = int;  // 0 = no segment
constexpr int kRepeatForever = -1;

class AudioBackend {
public:
  virtual ~AudioBackend() = default;

  // A short description for the log ("SDL2_mixer, 44100 Hz", "silent").
  virtual std::string Describe() const = 0;

  virtual InitResult Initialise() = 0;

  // Makes an output path with room for `channels` simultaneous sounds. 0 on failure.
  virtual PathId CreatePath(PathKind kind, int channels, int frequency) = 0;
  virtual bool QueryPathObject(PathId path, PathObject object) = 0;
  // Attenuation in hundredths of a decibel, 0 (full) down to -10000.
  virtual bool SetPathVolume(PathId path, int hundredthsDb) = 0;
  // Balance in hundredths of a decibel: negative attenuates the right side, positive the left.
  virtual bool SetPathPan(PathId path, int hundredthsDb) = 0;
  // Source position relative to a listener at the origin facing +z.
  virtual bool SetPathPosition(PathId path, float x, float y, float z) = 0;
  // True while something still sounds on the path.
  virtual bool PathBusy(PathId path) = 0;

  // Reads and checks a WAV or MIDI file. 0 on failure, with the reason in `error`.
  virtual SegmentId LoadSegment(const std::string& fileName, std::string* error) = 0;
  // Makes a loaded segment ready to play.
  virtual bool DownloadSegment(SegmentId segment) = 0;
  // How often the segment repeats after its first play; kRepeatForever loops it.
  virtual bool SetSegmentRepeats(SegmentId segment, int repeats) = 0;
  virtual bool PlaySegment(SegmentId segment, PathId path) = 0;
  // Stops every play of the segment.
  virtual bool StopSegment(SegmentId segment) = 0;
  // Stops the segment and frees what it holds; the id is invalid afterwards.
  virtual void ReleaseSegment(SegmentId segment) = 0;
};

// Opens the system's audio device through SDL2_mixer. When no device can be opened the
// failure is logged and a silent back end is returned instead: never fatal.
std::unique_ptr<AudioBackend> OpenAudioBackend();

// A back end that checks and keeps files like the real one but produces no sound.
std::unique_ptr<AudioBackend> CreateSilentAudioBackend();

}  // namespace vx::audio
