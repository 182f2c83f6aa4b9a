// The desktop program's start-up and end (see desktop.h).
#include "calculator/workflow/desktop.h"

#include <cstdio>

#include "calculator/workflow/workflow.h"
#include "toolkit/draw/backend.h"
#include "toolkit/draw/graph.h"
#include "toolkit/startup.h"
#include "toolkit/toolkit.h"

namespace ksv::calculator::ui {

int run_desktop(const std::string& program_dir) {
  std::string dir = program_dir;
  if (!dir.empty() && dir.back() != '/') dir += '/';
  draw::Graph graph(draw::make_backend());
  images::Obrazky images(&graph, dir);
  toolkit::Toolkit tk(graph, images);
  // KSV_TRACE names a file that gets one line per screen shown and per result.
  tk.trace.open_from_env();
  // The texts file and the program directory follow from the program's own path.
  if (!toolkit::start_graphics(tk, dir + "logocalc")) {
    std::fprintf(stderr, "logocalc: cannot open the graphics window\n");
    return 1;
  }
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
