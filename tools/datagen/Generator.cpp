#include "tools/datagen/Generator.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <system_error>

#include "core/Exception.h"
#include "tools/datagen/Art.h"
#include "tools/datagen/Checks.h"
#include "tools/datagen/FontPlan.h"
#include "tools/datagen/HelpPages.h"
#include "tools/datagen/PokerPreview.h"
#include "tools/datagen/Preview.h"

#ifdef VX_HAVE_SOUNDGEN
#include "tools/soundgen/SoundGen.h"
#endif

namespace fs = std::filesystem;

namespace vx::datagen {

namespace {

// Hand-written sources are small; anything bigger is a mistake, not data.
constexpr std::uintmax_t kMaxSourceFile = 4u << 20;

std::string ReadSmallFile(const fs::path& p) {
  std::error_code ec;
  const auto size = fs::file_size(p, ec);
  if (ec) throw ::Exception("Cannot read " + p.string());
  if (size > kMaxSourceFile) throw ::Exception(p.string() + " is too large for a data source");
  std::ifstream f(p, std::ios::binary);
  if (!f) throw ::Exception("Cannot read " + p.string());
  return std::string(std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>());
}

std::string ReadExisting(const fs::path& p, bool& exists) {
  std::error_code ec;
  exists = fs::is_regular_file(p, ec);
  if (!exists) return {};
  std::ifstream f(p, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>());
}

void MakeFolder(const fs::path& p) {
  std::error_code ec;
  fs::create_directories(p, ec);
  if (!fs::is_directory(p, ec)) throw ::Exception("Cannot create the folder " + p.string());
}

void Put(GeneratorReport& report, const fs::path& path, const std::string& bytes) {
  if (WriteIfChanged(path.string(), bytes))
    ++report.written;
  else
    ++report.unchanged;
}

// The sound effects and tunes are records of the data archive under the names the sound
// manager asks the resource manager for ("Sounds\SND_BET.wav", "Sounds\music_MAIN_1.mid"); the
// resource manager copies a record out to the temporary folder when it is played.
void AddSoundRecords([[maybe_unused]] std::vector<ArchiveRecord>& records, [[maybe_unused]] GeneratorReport* report) {
#ifdef VX_HAVE_SOUNDGEN
  for (const auto& name : vx::soundgen::EffectNames()) {
    std::string bytes = vx::soundgen::MakeEffect(name);
    if (bytes.empty()) throw ::Exception("The sound generator made nothing for " + name);
    records.push_back({"Sounds\\" + name + ".wav", kRecordSound, std::move(bytes)});
  }
  for (const auto& name : vx::soundgen::TuneNames()) {
    std::string bytes = vx::soundgen::MakeTune(name);
    if (bytes.empty()) throw ::Exception("The sound generator made nothing for " + name);
    records.push_back({"Sounds\\" + name + ".mid", kRecordSound, std::move(bytes)});
  }
#else
  if (report) report->warnings.push_back("the sound generator is not built: the game stays silent");
#endif
}

}  // namespace

bool WriteIfChanged(const std::string& path, const std::string& bytes) {
  const fs::path p(path);
  bool exists = false;
  if (ReadExisting(p, exists) == bytes && exists) return false;
  if (p.has_parent_path()) MakeFolder(p.parent_path());
  const fs::path tmp = p.string() + ".tmp-vxdatagen";
  {
    std::ofstream f(tmp, std::ios::binary | std::ios::trunc);
    f.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    f.flush();
    if (!f) {
      std::error_code ec;
      fs::remove(tmp, ec);
      throw ::Exception("Cannot write " + path);
    }
  }
  std::error_code ec;
  fs::rename(tmp, p, ec);
  if (ec) {
    fs::remove(tmp, ec);
    throw ::Exception("Cannot write " + path);
  }
  return true;
}

namespace {

// Theme files of sourceFolder/themes/<SECTION>/theme.scn as records "SECTION\theme.scn".
std::vector<ArchiveRecord> ThemeRecords(const std::string& sourceFolder) {
  std::vector<ArchiveRecord> records;
  const fs::path themes = fs::path(sourceFolder) / "themes";
  std::error_code ec;
  if (!fs::is_directory(themes, ec)) return records;
  for (const auto& entry : fs::directory_iterator(themes, ec)) {
    if (!entry.is_directory()) continue;
    const fs::path file = entry.path() / "theme.scn";
    if (!fs::is_regular_file(file, ec)) continue;
    records.push_back({entry.path().filename().string() + "\\theme.scn", kRecordText, ReadSmallFile(file)});
  }
  return records;
}

void SortByKey(std::vector<ArchiveRecord>& records) {
  std::sort(records.begin(), records.end(), [](const ArchiveRecord& a, const ArchiveRecord& b) { return a.key < b.key; });
}

}  // namespace

std::vector<ArchiveRecord> BuildDataRecords(FontLibrary& fonts, const std::string& sourceFolder,
                                            GeneratorReport* report) {
  std::vector<ArchiveRecord> records;
  AddSoundRecords(records, report);
  for (const auto& art : AllArt()) records.push_back({art.key, kRecordPicture, EncodeBmp(art.draw(fonts))});
  for (auto& theme : ThemeRecords(sourceFolder)) records.push_back(std::move(theme));
  SortByKey(records);
  return records;
}

std::vector<ArchiveRecord> BuildFontRecords() {
  std::vector<ArchiveRecord> records;
  for (const auto& f : EngineFonts()) records.push_back(BakeFont(f));
  return records;
}

std::vector<std::string> CheckSources(const std::string& sourceFolder) {
  // The themes against the keys of what is drawn: the pictures themselves are not needed.
  std::vector<ArchiveRecord> keys = ThemeRecords(sourceFolder);
  for (const auto& art : AllArt()) keys.push_back({art.key, kRecordPicture, {}});
  std::vector<std::string> problems = CheckThemes(keys);
  const fs::path casinos = fs::path(sourceFolder) / "casinos";
  std::error_code ec;
  if (fs::is_directory(casinos, ec)) {
    for (const auto& entry : fs::directory_iterator(casinos, ec)) {
      const fs::path dat = entry.path() / "casino.dat";
      if (!entry.is_directory() || !fs::is_regular_file(dat, ec)) continue;
      for (const auto& p : CheckCasinoDat(ReadSmallFile(dat), CatalogueIdStrings())) problems.push_back(dat.string() + ": " + p);
    }
  }
  return problems;
}

ProgramContent BuildProgramContent(const std::string& sourceFolder, GeneratorReport* report) {
  std::error_code ec;
  if (!fs::is_directory(sourceFolder, ec)) throw ::Exception("No data folder " + sourceFolder);
  // Hand-written sources are checked before the costly drawing, and before anything is
  // written, so a bad source fails at once and leaves the program folder as it was.
  const auto problems = CheckSources(sourceFolder);
  if (!problems.empty()) {
    std::string all;
    for (const auto& p : problems) all += "\n  " + p;
    throw ::Exception("The data sources have problems:" + all);
  }
  ProgramContent content;
  const fs::path casinos = fs::path(sourceFolder) / "casinos";
  if (fs::is_directory(casinos, ec)) {
    for (const auto& entry : fs::directory_iterator(casinos, ec)) {
      const fs::path dat = entry.path() / "casino.dat";
      if (entry.is_directory() && fs::is_regular_file(dat, ec))
        content.casinos.emplace_back(entry.path().filename().string(), ReadSmallFile(dat));
    }
  }
  std::sort(content.casinos.begin(), content.casinos.end());
  FontLibrary fonts;
  const auto data = BuildDataRecords(fonts, sourceFolder, report);
  content.help = BuildHelpFiles(fonts, sourceFolder);
  content.dataArchive = PackArchive(data);
  content.fontsArchive = PackArchive(BuildFontRecords());
  return content;
}

void LayOutProgramFolder(const ProgramContent& content, const std::string& programFolder, GeneratorReport& report) {
  const fs::path out(programFolder);
  // The archives. Loose files beside them in Data/Pak are a user's overrides: never touched.
  Put(report, out / "Data" / "Pak" / "default.vxr", content.dataArchive);
  Put(report, out / "Data" / "fonts.vxr", content.fontsArchive);
  MakeFolder(out / "Data" / "Pak" / "Common");
  // The statistics the game keeps beside casino.dat (casino.xml) are the game's own.
  for (const auto& [name, text] : content.casinos) {
    Put(report, out / "Casinos" / name / "casino.dat", text);
    MakeFolder(out / "Casinos" / name / "Common");
  }

  MakeFolder(out / "Players");
  MakeFolder(out / "Help");
  for (const HelpFile& f : content.help) Put(report, out / "Help" / f.name, f.bytes);
  // The "Sounds" folder of the program folder stays; the sounds themselves are archive records.
  MakeFolder(out / "Sounds");

  // Settings exist once the player (or an earlier run) made them: never replaced.
  const fs::path settings = out / "settings.xml";
  std::error_code ec;
  if (!fs::exists(settings, ec)) Put(report, settings, DefaultSettingsXml());
}

GeneratorReport GenerateProgramFolder(const GeneratorOptions& options) {
  GeneratorReport report;
  const ProgramContent content = BuildProgramContent(options.sourceFolder, &report);
  LayOutProgramFolder(content, options.programFolder, report);
  return report;
}

void WritePreviews(const std::string& sourceFolder, const std::string& outFolder) {
  MakeFolder(outFolder);
  FontLibrary fonts;
  for (const auto& art : AllArt()) {
    std::string name = art.key;
    std::replace(name.begin(), name.end(), '\\', '_');
    WritePng(art.draw(fonts), (fs::path(outFolder) / (name + ".png")).string());
  }
  WritePng(ContactSheet(fonts), (fs::path(outFolder) / "contact_sheet.png").string());
  const std::string theme = ReadSmallFile(fs::path(sourceFolder) / "themes" / "DIALOGS" / "theme.scn");
  WritePng(MockMessageBox(fonts, theme, "Are you sure you want to sign-out?", true),
           (fs::path(outFolder) / "mock_confirm.png").string());
  WritePng(MockControls(fonts), (fs::path(outFolder) / "mock_controls.png").string());
  WritePng(MockMessageBox(fonts, theme, "You have a game in progress. You cannot exit now.", false),
           (fs::path(outFolder) / "mock_warning.png").string());
  WritePokerPreviews(fonts, sourceFolder, outFolder);
}

}  // namespace vx::datagen
