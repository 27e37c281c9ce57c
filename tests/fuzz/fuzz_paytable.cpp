// The return analyser's pay-table argument from arbitrary text: either a table of known
// hands with multipliers in range, or a refusal with a message and nothing changed.
#include <cstddef>
#include <cstdint>
#include <string>

#include "core/Log.h"
#include "tools/analyser/ReturnAnalyser.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // Lines logged by the previous input go now, so no input ends holding more memory than
  // it started with (which would make every run a leak check).
  vx::ClearLog();
  const std::string text(reinterpret_cast<const char*>(data), size);
  vxtools::TAnalyserConfig config;
  config.Pay[1] = 7;
  std::string error;
  if (vxtools::ParsePayTable(text, config, error)) {
    if (config.Table == 0 || !error.empty()) __builtin_trap();
    for (int32_t code = 0; code <= vx::MaxHandCode; ++code) {
      const int32_t pay = config.Pay[static_cast<size_t>(code)];
      if (pay < 0 || pay > 1000000) __builtin_trap();
      if (pay != 0 && !(config.Table & vx::HandCodeBit(code))) __builtin_trap();
    }
    if (config.Table & vx::HandCodeBit(vx::hcNothing)) __builtin_trap();
  } else {
    if (error.empty() || config.Table != 0 || config.Pay[1] != 7) __builtin_trap();
  }
  return 0;
}
