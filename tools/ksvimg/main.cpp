// ksvimg entry point: the converters are looked for in SUPPORT/ beside the executable.
#include <unistd.h>

#include <climits>
#include <iostream>

#include "tools/ksvimg/ksvimg.h"

int main(int argc, char** argv) {
  std::string dir;
  char exe[PATH_MAX];
  ssize_t n = readlink("/proc/self/exe", exe, sizeof exe - 1);
  if (n > 0) {
    dir.assign(exe, size_t(n));
    dir.erase(dir.rfind('/') + 1);
  }
  std::vector<std::string> args(argv + 1, argv + argc);
  return ksv::tools::run_ksvimg(args, dir, std::cout, std::cerr);
}
