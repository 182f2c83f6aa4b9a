// logocalc: the logo stitch calculator. "--batch" runs the calculator without the desktop
// dialogs; the desktop workflow itself is not part of this build yet.
#include <unistd.h>

#include <climits>
#include <iostream>
#include <string>
#include <vector>

#include "calculator/batch.h"

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
  std::cerr << "logocalc: the desktop workflow is not built yet; use --batch (see --help)\n";
  return 1;
}
