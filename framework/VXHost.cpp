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

}  // namespace vx
