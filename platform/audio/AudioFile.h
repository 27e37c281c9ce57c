#pragma once
// Reads a sound file into memory once, so that nothing can change it under the mixer later.
#include <cstdint>
#include <string>
#include <vector>

namespace vx::audio {

constexpr uint64_t kMaxSoundFileBytes = 64ull * 1024 * 1024;

// Refuses (false, reason in `error`) anything but a regular file of at most
// kMaxSoundFileBytes that belongs to this user or to root and that no other user may write:
// sounds are never taken from a place another user could have planted them.
bool ReadSoundFile(const std::string& path, std::vector<uint8_t>& out, std::string* error);

}  // namespace vx::audio
