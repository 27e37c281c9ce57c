#include "framework/VXContext.h"

#include "framework/VXApplication.h"
#include "framework/VXDebug.h"
#include "framework/VXEngine.h"
#include "framework/VXHost.h"
#include "framework/VXResources.h"
#include "framework/VXSettings.h"
#include "framework/VXSounds.h"

TVXContext::TVXContext() = default;
TVXContext::~TVXContext() = default;

std::string TVXContext::CasinoName() const {
  return Setting != nullptr ? Setting->CasinoName : std::string("MakeDefault");
}

bool TVXContext::DeveloperMode() const { return AppInfo != nullptr && AppInfo->DeveloperMode; }

TVXToolkitHost& TVXContext::ToolkitHost() const { return Host != nullptr ? *Host : vx::NullHost(); }

namespace vx {

std::string CasinoNameIn(const TVXContext* context) {
  return context != nullptr ? context->CasinoName() : std::string("MakeDefault");
}

TVXMainWindow* MainWindowIn(const TVXContext* context) {
  return context != nullptr ? context->MainWindow : nullptr;
}

TVXSetting* SettingIn(const TVXContext* context) {
  return context != nullptr ? context->Setting.get() : nullptr;
}

TVXResourceManager* ResourcesIn(const TVXContext* context) {
  return context != nullptr ? context->Resources.get() : nullptr;
}

const TVXApplicationInfo* AppInfoIn(const TVXContext* context) {
  return context != nullptr ? context->AppInfo.get() : nullptr;
}

bool DeveloperModeIn(const TVXContext* context) {
  return context != nullptr ? context->DeveloperMode() : false;
}

}  // namespace vx
