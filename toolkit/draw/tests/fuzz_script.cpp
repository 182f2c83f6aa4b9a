// Fuzz target: hostile script files for the headless display must be refused or replayed,
// never crash it.
#include <cstddef>
#include <cstdint>
#include <string>

#include "toolkit/draw/headless.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  ksv::draw::HeadlessBackend b;
  std::string text(reinterpret_cast<const char*>(data), size);
  if (text.find("screenshot") != std::string::npos) return 0;  // no files written while fuzzing
  if (b.load_script_text(text)) {
    ksv::draw::InputState in;
    for (int i = 0; i < 200 && !b.script_done(); ++i) {
      b.pump(in);
      in.keys.clear();
    }
  }
  return 0;
}
