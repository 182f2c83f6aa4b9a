// Order search over a generated data tree, beside a baseline that only opens and reads the same
// files (the least any search must do). Prints the best of several runs of each, and the ratio.
#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "bench/order_tree.h"
#include "protocol/records/orders.h"
#include "server/store/order_search.h"

namespace {

using Clock = std::chrono::steady_clock;

// Opens and reads every header and program record the searches read, and nothing else.
size_t read_baseline(const std::string& databaze) {
  size_t bytes = 0;
  std::vector<char> buf(sizeof(ksv::TProgramZak));
  auto read_one = [&](const std::string& path, size_t n) {
    if (std::FILE* f = std::fopen(path.c_str(), "rb")) {
      bytes += std::fread(buf.data(), 1, n, f);
      std::fclose(f);
    }
  };
  DIR* d = ::opendir(databaze.c_str());
  while (dirent* e = ::readdir(d)) {
    if (e->d_name[0] == '.') continue;
    const std::string dir = databaze + e->d_name + "/";
    read_one(dir + "info.dat", sizeof(ksv::TPolozkaDatabanky));
    DIR* pd = ::opendir(dir.c_str());
    while (dirent* pe = ::readdir(pd)) {
      if (pe->d_name[0] == '.' || pe->d_type != DT_DIR) continue;
      read_one(dir + pe->d_name + "/prog.dat", sizeof(ksv::TProgramZak));
    }
    ::closedir(pd);
  }
  ::closedir(d);
  return bytes;
}

double best_ms(int runs, const std::function<void()>& f) {
  double best = 1e300;
  for (int i = 0; i < runs; ++i) {
    auto t0 = Clock::now();
    f();
    best = std::min(best, std::chrono::duration<double, std::milli>(Clock::now() - t0).count());
  }
  return best;
}

}  // namespace

int main(int argc, char** argv) {
  const int orders = argc > 1 ? std::atoi(argv[1]) : 5000;
  const int programs = argc > 2 ? std::atoi(argv[2]) : 4;
  // A third argument names a tree generated before (kept between runs); else a new one is made
  // and removed at the end.
  const bool reuse = argc > 3;
  char tmpl[] = "/tmp/ksv-store-bench-XXXXXX";
  if (!reuse && !::mkdtemp(tmpl)) {
    std::perror("mkdtemp");
    return 1;
  }
  const std::string root = reuse ? std::string(argv[3]) + "/" : std::string(tmpl) + "/";
  const std::string databaze = root + "databaze/";
  struct stat tree {};
  if (::stat(databaze.c_str(), &tree) != 0) {
    std::printf("generating %d orders x %d programs in %s ...\n", orders, programs, root.c_str());
    ::mkdir(root.c_str(), 0755);
    ksv::bench::generate_order_tree(databaze, orders, programs);
  }

  // The rounds interleave the baseline and the searches, so a change in the machine's load
  // during the run touches all of them alike; the best round of each is reported.
  const int runs = 7;
  ksv::TKriteria f6;
  f6.mode = 6;
  f6.programs = f6.without_sample = f6.production = true;
  ksv::TKriteria f7 = f6;
  f7.mode = 7;
  ksv::TKriteria orders_only;
  orders_only.mode = 6;
  const std::string out = root + "seznd0";
  auto search = [&](const ksv::TKriteria& f) {
    return best_ms(1, [&] {
      if (!ksv::server::search_orders(databaze, std::nullopt, f, out)) std::exit(2);
    });
  };
  size_t bytes = 0;
  read_baseline(databaze);  // warm the page cache for everybody alike
  double base = 1e300, m6 = 1e300, m7 = 1e300, m6o = 1e300;
  struct stat st6 {}, st7 {};
  for (int r = 0; r < runs; ++r) {
    base = std::min(base, best_ms(1, [&] { bytes = read_baseline(databaze); }));
    m6 = std::min(m6, search(f6));
    ::stat(out.c_str(), &st6);
    m7 = std::min(m7, search(f7));
    ::stat(out.c_str(), &st7);
    m6o = std::min(m6o, search(orders_only));
  }

  std::printf("baseline: read %zu bytes of headers and programs   %8.1f ms\n", bytes, base);
  std::printf("mode 6, programs examined (%6lld lines)            %8.1f ms  %.2fx baseline\n",
              (long long)(st6.st_size / 892), m6, m6 / base);
  std::printf("mode 7, all orders         (%6lld lines)            %8.1f ms  %.2fx baseline\n",
              (long long)(st7.st_size / 892), m7, m7 / base);
  std::printf("mode 6, orders only                                %8.1f ms  %.2fx baseline\n", m6o,
              m6o / base);

  ::unlink(out.c_str());
  if (reuse) return 0;
  std::string cmd = "rm -rf '" + root + "'";
  return std::system(cmd.c_str()) == 0 ? 0 : 3;
}
