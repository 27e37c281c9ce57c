#pragma once
// The one way the program reaches its pictures, fonts, sounds and other data: a fonts
// archive ("fonts.vxr" in the data folder), a data archive ("default.vxr" in the pak
// folder) and loose files in the pak folder that take precedence over the data archive's
// records. Resource names are archive keys: folder, "\", name and extension.
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "render/RecDb.h"

class TBitmapEx;
class TPicturePrefetch;

class TVXResourceManager {
public:
  // dataFolder holds "fonts.vxr"; pakFolder holds "default.vxr" and the loose files;
  // tempFolder receives copies of records that must exist as files. Folders are given with
  // or without a trailing "\". Archives are opened read-only: a missing or damaged one is
  // logged as "RECDB: FATAL ERROR" and finds nothing later, it is never created.
  TVXResourceManager(const std::string& dataFolder, const std::string& pakFolder,
                     const std::string& tempFolder);
  ~TVXResourceManager();
  TVXResourceManager(const TVXResourceManager&) = delete;
  TVXResourceManager& operator=(const TVXResourceManager&) = delete;

  TRecDb FontsArchive;
  // The pak folder when it exists as a folder, else empty (no loose files are consulted).
  std::string OverrideFolder;
  TRecDb DataArchive;
  std::string TempFolder;

  // Told once per run, with the reason, when a record cannot be copied to the temporary
  // folder (the folder is full or gone): whatever needed the copy goes without it.
  std::function<void(const std::string& error)> OnTempCopyFailed;

  // Reads every record of an opened archive whole, inflated and checked: 0, or the code of
  // the first record that fails (its key in `failedKey`).
  static int32_t CheckArchive(TRecDb& archive, std::string* failedKey = nullptr);

  // True when a loose file or a data archive record of that name exists.
  bool FileExists(const std::string& name);
  // A real file holding the resource (a native path): the loose file, or a fresh copy of
  // the record in the temporary folder named after the key ("\" -> "_"). Empty when there is neither, or when
  // the copy cannot be written (logged).
  std::string GetFileName(const std::string& name);
  // Decodes the resource as a BMP picture into the bitmap. False (logged when the picture is
  // damaged) when there is none or it cannot be decoded.
  bool LoadBitmap(const std::string& name, TBitmapEx& bitmap);

  // Starts decoding every BMP record of the data archive under the given folders on a worker
  // thread (replacing an earlier batch), so that LoadBitmap finds them ready; pictures are the
  // same either way; `skip` leaves out records the caller will not load. EndPrefetch stops the
  // worker and drops what was not loaded.
  void PrefetchPictures(const std::vector<std::string>& folders,
                        const std::function<bool(const std::string&)>& skip = nullptr);
  void EndPrefetch();

  // A resource name may not leave the resource folders: names with "/", "..", a leading
  // "\" or a control character are refused (logged) by all three operations.
  static bool IsSafeName(const std::string& name);

private:
  bool CheckName(const std::string& name);
  // The loose file for a name, or empty when there is none.
  std::string LooseFile(const std::string& name);

  // Names (case-folded) directly in the override folder, and the folder's time when they were
  // listed: a name whose first part is none of them has no loose file, found without a search.
  // The listing is read again whenever the folder changes.
  struct TLooseTop {
    std::filesystem::file_time_type Time{};
    std::vector<std::string> Names;
    bool Listed = false;
  };
  bool MayBeLoose(const std::string& name);

  TLooseTop looseTop_;
  bool tempCopyFailureTold_ = false;
  std::unique_ptr<TPicturePrefetch> prefetch_;
};
