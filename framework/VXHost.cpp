#include "framework/VXHost.h"

#include "core/Log.h"
#include "framework/VXClasses.h"

void TVXHostBase::SetActiveControl(TVXCustomControl* control) {
  if (active_.Get() == control) return;
  active_ = control;
  Log("INFO: ACTIVECONTROL IS: " + (active_ ? active_->Name() : std::string("NONE")));
}

void TVXHostBase::SetOpenControl(TVXCustomControl* control) { open_ = control; }

namespace vx {

TVXHostBase& NullHost() {
  static TVXHostBase host;
  return host;
}

namespace {
TVXToolkitHost* g_host = nullptr;
}  // namespace

void SetToolkitHost(TVXToolkitHost* host) { g_host = host; }

TVXToolkitHost& ToolkitHost() { return g_host != nullptr ? *g_host : NullHost(); }

ScopedToolkitHost::ScopedToolkitHost(TVXToolkitHost* host) : previous_(g_host) { g_host = host; }

ScopedToolkitHost::~ScopedToolkitHost() { g_host = previous_; }

}  // namespace vx
