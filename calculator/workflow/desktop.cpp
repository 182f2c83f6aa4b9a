// The desktop program's start-up and end (see desktop.h).
#include "calculator/workflow/desktop.h"

#include <cstdio>

#include "calculator/workflow/workflow.h"
#include "toolkit/draw/backend.h"
#include "toolkit/draw/graph.h"
#include "toolkit/toolkit.h"

namespace ksv::calculator::ui {

int run_desktop(const std::string& program_dir) {
  std::string dir = program_dir;
  if (!dir.empty() && dir.back() != '/') dir += '/';
  draw::Graph graph(draw::make_backend());
  images::Obrazky images(&graph, dir);
  toolkit::Toolkit tk(graph, images);
  tk.texty.SOUBTEXTU = dir + "texty.dat";
  graph.INITGRAPH(3, 4, tk.texty.text("titulek"));
  if (graph.GRAPHRESULT() != 0) {
    std::fprintf(stderr, "logocalc: cannot open the graphics window\n");
    return 1;
  }
  graph.SETTEXTSTYLE(4, 0, 16);
  graph.UPDATEGRAPH(0);
  images.NASTAVPALETU();
  int status = 0;
  {
    Workflow workflow(tk, dir);
    status = workflow.run();
    if (workflow.error_code > 0)
      std::fprintf(stderr, "logocalc: chyba %d\n", workflow.error_code);
  }
  tk.okna.SMAZOKNA();
  tk.tlacitka.ZRUSTLACITKA();
  images.ZRUSOBRAZKY();
  graph.CLOSEGRAPH();
  return status;
}

}  // namespace ksv::calculator::ui
