#include "tools/soundgen/SoundGen.h"

#include <filesystem>
#include <fstream>

namespace vx::soundgen {

namespace {
bool WriteFile(const std::filesystem::path& path, const std::string& bytes, std::string* error) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), std::streamsize(bytes.size()));
  out.close();
  if (!out) {
    if (error) *error = "cannot write " + path.string();
    return false;
  }
  return true;
}
}  // namespace

bool WriteSoundFiles(const std::string& folder, std::string* error) {
  std::error_code ec;
  std::filesystem::create_directories(folder, ec);
  if (!std::filesystem::is_directory(folder, ec)) {
    if (error) *error = "cannot create " + folder;
    return false;
  }
  const std::filesystem::path dir(folder);
  for (const std::string& name : EffectNames()) {
    if (!WriteFile(dir / (name + ".wav"), MakeEffect(name), error)) return false;
  }
  for (const std::string& name : TuneNames()) {
    if (!WriteFile(dir / (name + ".mid"), MakeTune(name), error)) return false;
  }
  return true;
}

}  // namespace vx::soundgen
