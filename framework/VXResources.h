#pragma once
// The one way the program reaches its pictures, fonts, sounds and other data: a fonts
// archive ("fonts.vxr" in the data folder), a data archive ("default.vxr" in the pak
// folder) and loose files in the pak folder that take precedence over the data archive's
// records. Resource names are archive keys: folder, "\", name and extension.
#include <cstdint>
#include <string>

#include "render/RecDb.h"

class TBitmapEx;

class TVXResourceManager {
public:
  // dataFolder holds "fonts.vxr"; pakFolder holds "default.vxr" and the loose files;
  // tempFolder receives copies of records that must exist as files. Folders are given with
  // or without a trailing "\". Archives are opened read-only: a missing or damaged one is
  // logged as "RECDB: FATAL ERROR" and finds nothing later, it is never created.
  TVXResourceManager(const std::string& dataFolder, const std::string& pakFolder,
                     const std::string& tempFolder);
  TVXResourceManager(const TVXResourceManager&) = delete;
  TVXResourceManager& operator=(const TVXResourceManager&) = delete;

  TRecDb FontsArchive;
  // The pak folder when it exists as a folder, else empty (no loose files are consulted).
  std::string OverrideFolder;
  TRecDb DataArchive;
  std::string TempFolder;

  // True when a loose file or a data archive record of that name exists.
  bool FileExists(const std::string& name);
  // A real file holding the resource (a native path): the loose file, or a fresh copy of
  // the record in the temporary folder named after the key ("\" -> "_"). Empty when there is neither, or when
  // the copy cannot be written (logged).
  std::string GetFileName(const std::string& name);
  // Decodes the resource as a BMP picture into the bitmap. False (logged when the picture is
  // damaged) when there is none or it cannot be decoded.
  bool LoadBitmap(const std::string& name, TBitmapEx& bitmap);

  // A resource name may not leave the resource folders: names with "/", "..", a leading
  // "\" or a control character are refused (logged) by all three operations.
  static bool IsSafeName(const std::string& name);

private:
  bool CheckName(const std::string& name);
  // The loose file for a name, or empty when there is none.
  std::string LooseFile(const std::string& name) const;
};
