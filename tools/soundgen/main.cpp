// soundgen <folder>: writes the game's sound effects and music into the folder.
#include <cstdio>
#include <string>

#include "tools/soundgen/SoundGen.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: soundgen <output folder>\n");
    return 2;
  }
  std::string error;
  if (!vx::soundgen::WriteSoundFiles(argv[1], &error)) {
    std::fprintf(stderr, "soundgen: %s\n", error.c_str());
    return 1;
  }
  return 0;
}
