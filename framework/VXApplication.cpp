#include "framework/VXApplication.h"

#include <cstdio>
#include <cstring>

#include "platform/Process.h"

namespace vx {

std::string BuildTimeStamp() {
  // __DATE__ is "Mmm dd yyyy", __TIME__ "hh:mm:ss".
  static const char* const kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                        "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
  const char* date = __DATE__;
  int month = 0;
  for (int i = 0; i < 12; ++i) {
    if (std::strncmp(date, kMonths[i], 3) == 0) month = i + 1;
  }
  int day = 0;
  int year = 0;
  std::sscanf(date + 4, "%d %d", &day, &year);
  char buf[32];
  std::snprintf(buf, sizeof buf, "%04d/%02d/%02d %s", year, month, day, __TIME__);
  return buf;
}

}  // namespace vx

TVXApplicationInfo::TVXApplicationInfo()
    : Title(vx::kProductTitle),
      Version(vx::kProductVersion),
      DeveloperMode(vx::CurrentFolderFileExists("dev.id")),
      HomePage(vx::kHomePage) {}

std::string TVXApplicationInfo::Caption() const {
  if (!DeveloperMode) return Title;
  return Title + vx::kDeveloperBanner + " (" + vx::BuildTimeStamp() + ")";
}
