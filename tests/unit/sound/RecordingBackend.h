#pragma once
// A back end that records every call as a line of text and fails the operations a test
// names. Paths are busy while a test says so.
#include <map>
#include <set>
#include <string>
#include <vector>

#include "platform/audio/AudioBackend.h"

class RecordingBackend : public vx::audio::AudioBackend {
public:
  // Shared with the test, which keeps looking after the component took the back end.
  struct State {
    std::vector<std::string> calls;
    std::set<std::string> failing;  // operation names: "Load", "Download", "Repeats", ...
    std::set<int> busyPaths;
    vx::audio::InitResult init = vx::audio::InitResult::Ok;
    int loads = 0;
    int released = 0;
    bool throwOnPlay = false;
    bool Has(const std::string& call) const {
      for (const auto& c : calls) {
        if (c == call) return true;
      }
      return false;
    }
    int Count(const std::string& prefix) const {
      int n = 0;
      for (const auto& c : calls) n += c.rfind(prefix, 0) == 0;
      return n;
    }
  };

  explicit RecordingBackend(State& s) : s_(s) {}

  std::string Describe() const override { return "recording"; }
  vx::audio::InitResult Initialise() override {
    s_.calls.push_back("Initialise");
    return s_.init;
  }
  vx::audio::PathId CreatePath(vx::audio::PathKind kind, int channels, int frequency) override {
    Log("CreatePath " + std::to_string(int(kind)) + " " + std::to_string(channels) + " " + std::to_string(frequency));
    return Fails("CreatePath") ? 0 : ++paths_;
  }
  bool QueryPathObject(vx::audio::PathId p, vx::audio::PathObject o) override {
    Log("Query " + std::to_string(p) + " " + std::to_string(int(o)));
    return !Fails("Query" + std::to_string(int(o)));
  }
  bool SetPathVolume(vx::audio::PathId p, int v) override {
    Log("Volume " + std::to_string(p) + " " + std::to_string(v));
    return !Fails("Volume");
  }
  bool SetPathPan(vx::audio::PathId p, int v) override {
    Log("Pan " + std::to_string(p) + " " + std::to_string(v));
    return !Fails("Pan");
  }
  bool SetPathPosition(vx::audio::PathId p, float, float, float) override {
    Log("Position " + std::to_string(p));
    return !Fails("Position");
  }
  bool PathBusy(vx::audio::PathId p) override { return s_.busyPaths.count(p) != 0; }
  vx::audio::SegmentId LoadSegment(const std::string& file, std::string* error) override {
    Log("Load " + file);
    ++s_.loads;
    if (Fails("Load")) {
      if (error) *error = "refused";
      return 0;
    }
    return ++segments_;
  }
  bool DownloadSegment(vx::audio::SegmentId s) override {
    Log("Download " + std::to_string(s));
    return !Fails("Download");
  }
  bool SetSegmentRepeats(vx::audio::SegmentId s, int n) override {
    Log("Repeats " + std::to_string(s) + " " + std::to_string(n));
    return !Fails("Repeats");
  }
  bool PlaySegment(vx::audio::SegmentId s, vx::audio::PathId p) override {
    Log("Play " + std::to_string(s) + " on " + std::to_string(p));
    if (s_.throwOnPlay) throw std::runtime_error("device lost");
    return !Fails("Play");
  }
  bool StopSegment(vx::audio::SegmentId s) override {
    Log("Stop " + std::to_string(s));
    return !Fails("Stop");
  }
  void ReleaseSegment(vx::audio::SegmentId s) override {
    Log("Release " + std::to_string(s));
    ++s_.released;
  }

private:
  void Log(const std::string& line) { s_.calls.push_back(line); }
  bool Fails(const std::string& op) const { return s_.failing.count(op) != 0; }
  State& s_;
  int paths_ = 0;
  int segments_ = 0;
};
