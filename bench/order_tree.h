// The generated data tree the order benchmarks search: a "databaze" of orders with their
// programs, written plainly (scaffolding for a measurement, not data to keep safe).
#pragma once
#include <sys/stat.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "protocol/records/orders.h"

namespace ksv::bench {

inline void put_file(const std::string& path, const void* data, size_t n) {
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (!f || std::fwrite(data, 1, n, f) != n) {
    std::perror(path.c_str());
    std::exit(1);
  }
  std::fclose(f);
}

// Orders "Z0" ... with `programs` programs each, every second one with a sample and the fourth
// released to production; all made now.
inline void generate_order_tree(const std::string& databaze, int orders, int programs) {
  ::mkdir(databaze.c_str(), 0755);
  for (int o = 0; o < orders; ++o) {
    const std::string dir = databaze + "z" + std::to_string(o) + "/";
    ::mkdir(dir.c_str(), 0755);
    ksv::TPolozkaDatabanky info{};
    const std::string number = std::to_string(o);
    info.CISLO.assign(std::string("Z").append(number));
    info.POPIS.assign(std::string("Zakazka cislo ").append(number));
    info.ZAKAZNIK.assign(o % 3 ? "Hasici" : "Sokol");
    info.AUTOR = o % 7;
    info.PROGRAMU = programs;
    put_file(dir + "info.dat", &info, sizeof info);
    for (int p = 0; p < programs; ++p) {
      const std::string pdir = dir + "p" + std::to_string(p) + "/";
      ::mkdir(pdir.c_str(), 0755);
      ksv::TProgramZak prog{};
      prog.KOD.assign(std::string("P").append(std::to_string(p)));
      prog.KUSU = 10 + p;
      prog.STEHU = 1000 * (p + 1);
      prog.VZOREK = p % 2;
      prog.VYROBNI = p == 3;
      prog.MATERIAL = p;
      put_file(pdir + "prog.dat", &prog, sizeof prog);
      if (p == 0) put_file(pdir + "prog.dst", "dst", 3);
    }
  }
}

}  // namespace ksv::bench
