#pragma once
// Lays out the program folder: "Data/fonts.vxr", "Data/Pak/default.vxr" (pictures, themes,
// sounds and music), the casinos, the empty "Players", "Help" and "Sounds" folders and a
// default "settings.xml".
#include <string>
#include <utility>
#include <vector>

#include "tools/datagen/Canvas.h"
#include "tools/datagen/HelpPages.h"
#include "tools/datagen/Packaging.h"

namespace vx::datagen {

struct GeneratorOptions {
  std::string sourceFolder;   // the repository's data/ folder
  std::string programFolder;  // where the program runs from
};

struct GeneratorReport {
  int written = 0;    // files whose bytes changed (or were new)
  int unchanged = 0;  // files already holding exactly these bytes
  std::vector<std::string> warnings;
};

// BuildProgramContent, then LayOutProgramFolder.
GeneratorReport GenerateProgramFolder(const GeneratorOptions& options);

// Everything the program folder receives, made in memory.
struct ProgramContent {
  std::string dataArchive;   // "Data/Pak/default.vxr"
  std::string fontsArchive;  // "Data/fonts.vxr"
  std::vector<std::pair<std::string, std::string>> casinos;  // folder name, its casino.dat
  std::vector<HelpFile> help;                                 // the "Help" folder's files
};

// Problems of the hand-written sources: themes (against the keys of the pictures drawn) and
// casino files. Cheap: nothing is drawn.
std::vector<std::string> CheckSources(const std::string& sourceFolder);
// Checks the sources (throwing with every problem), then draws, bakes and packs everything.
ProgramContent BuildProgramContent(const std::string& sourceFolder, GeneratorReport* report = nullptr);
// Writes what changed; leaves players' files, the statistics, an existing "settings.xml" and
// loose files beside the archives alone.
void LayOutProgramFolder(const ProgramContent& content, const std::string& programFolder, GeneratorReport& report);

// The records of "default.vxr": every sound effect and tune as "Sounds\NAME.wav" and
// "Sounds\NAME.mid", every picture as a BMP and every theme file of
// sourceFolder/themes/<SECTION>/theme.scn as "SECTION\theme.scn", sorted by key.
std::vector<ArchiveRecord> BuildDataRecords(FontLibrary& fonts, const std::string& sourceFolder,
                                            GeneratorReport* report = nullptr);
// The records of "fonts.vxr", the default font first.
std::vector<ArchiveRecord> BuildFontRecords();

// "settings.xml" of a fresh settings object with sound and music on at volume 100.
std::string DefaultSettingsXml();

// Writes bytes to path unless the file already holds exactly them; creates parent folders;
// writes through a temporary sibling and a rename so a reader never sees half a file.
// Returns true when the file was written.
bool WriteIfChanged(const std::string& path, const std::string& bytes);

// PNG copies of every picture, a contact sheet and two message-box mock-ups.
void WritePreviews(const std::string& sourceFolder, const std::string& outFolder);

}  // namespace vx::datagen
