// Start-up of a desktop program's screen, in the order the programs rely on.
#include "toolkit/startup.h"

#include <unistd.h>

#include <climits>

namespace ksv::toolkit {

bool start_graphics(Toolkit& tk, const std::string& exe_path) {
  tk.images.set_executable_path(exe_path);
  tk.texty.SOUBTEXTU = tk.images.ADRESAREXE + tk.images.SOUBTEXTU;
  tk.graph.INITGRAPH(3, 4, tk.texty.text("titulek"));
  if (tk.graph.GRAPHRESULT() != 0) return false;
  tk.graph.SETTEXTSTYLE(4, 0, 16);
  tk.graph.UPDATEGRAPH(0);
  tk.images.NASTAVPALETU();
  tk.images.NORMALIZACE = 0;
  tk.images.PREVODBAR = true;
  return true;
}

std::string executable_path() {
  char buf[PATH_MAX];
  ssize_t n = readlink("/proc/self/exe", buf, sizeof buf - 1);
  return n > 0 ? std::string(buf, static_cast<size_t>(n)) : std::string();
}

}  // namespace ksv::toolkit
