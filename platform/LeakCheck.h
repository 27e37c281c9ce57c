#pragma once
// Display drivers keep some memory for the life of the process and free it nowhere (the GL
// driver stack behind SDL and EGL does). Under the leak checker, allocations made inside
// such third-party initialisation are not reported; everywhere else nothing changes.
namespace vx {

class ThirdPartyAllocations {
public:
  ThirdPartyAllocations();
  ~ThirdPartyAllocations();
  ThirdPartyAllocations(const ThirdPartyAllocations&) = delete;
  ThirdPartyAllocations& operator=(const ThirdPartyAllocations&) = delete;
};

}  // namespace vx
