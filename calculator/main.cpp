// logocalc: the logo stitch calculator. Without arguments it runs the desktop workflow (file
// chooser, picture dialogs, segment page, result); "--batch" runs it without the dialogs.
#include <unistd.h>

#include <climits>
#include <iostream>
#include <string>
#include <vector>

#include "calculator/batch.h"
#ifdef KSV_LOGOCALC_DESKTOP
#include "calculator/workflow/desktop.h"
#endif

namespace {

// The directory of the running program (its SUPPORT/ holds the picture converters).
std::string program_dir(const char* argv0) {
  char buf[PATH_MAX];
  ssize_t n = readlink("/proc/self/exe", buf, sizeof buf - 1);
  std::string path = n > 0 ? std::string(buf, size_t(n)) : std::string(argv0);
  size_t slash = path.rfind('/');
  return slash == std::string::npos ? std::string("./") : path.substr(0, slash + 1);
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  bool batch = false;
  std::vector<std::string> rest;
  for (const std::string& a : args) {
    if (a == "--batch")
      batch = true;
    else
      rest.push_back(a);
  }
  if (batch) return ksv::calculator::run_batch(rest, program_dir(argv[0]), std::cout, std::cerr);
  for (const std::string& a : rest) {
    if (a == "--help" || a == "-h") {
      std::cout << ksv::calculator::usage_text();
      return 0;
    }
  }
  if (!rest.empty()) {
    std::cerr << "logocalc: unknown argument '" << rest.front() << "'\nlogocalc: try --help\n";
    return 1;
  }
#ifdef KSV_LOGOCALC_DESKTOP
  return ksv::calculator::ui::run_desktop(program_dir(argv[0]));
#else
  std::cerr << "logocalc: this build has no desktop screens; use --batch (see --help)\n";
  return 1;
#endif
}
