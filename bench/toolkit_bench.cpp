// Screen redraw cost: builds a typical screen — a window with title and body text, 20 text
// buttons drawn by the poll, a 25-entry list of 11 rows — and shows it on the headless display,
// frame after frame. Printed beside copying one frame with memcpy in the same run.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <vector>

#include "images/obrazky.h"
#include "toolkit/draw/graph.h"
#include "toolkit/draw/headless.h"
#include "toolkit/toolkit.h"

using Clock = std::chrono::steady_clock;

int main(int argc, char** argv) {
  const int frames = argc > 1 ? std::max(1, std::atoi(argv[1])) : 300;
  const std::string texts = "/tmp/ksv_toolkit_bench_texty.dat";
  {
    std::ofstream f(texts);
    f << "[okno]\nZakazky\n[obsah]\nSeznam zakazek\n*l\nradek jedna\nradek dva\n";
  }
  ksv::draw::Graph graph(std::make_unique<ksv::draw::HeadlessBackend>());
  graph.INITGRAPH(3, 4, "bench");
  graph.UPDATEGRAPH(0);
  ksv::images::Obrazky images(&graph);
  images.NASTAVPALETU();
  ksv::toolkit::Toolkit tk(graph, images);
  tk.texty.SOUBTEXTU = texts;
  tk.tlacitka.exit_program = [](int) {};
  for (int i = 0; i < 25; ++i)
    tk.seznam.PRIDEJPRVEK("Z0" + std::to_string(2600 + i),
                          std::string("Textil") + '\0' + std::to_string(i * 13) + " ks" + '\0' +
                              "Otevreno" + '\0',
                          false);

  auto frame = [&] {
    tk.okna.SMAZOKNA();
    graph.CLEARDEVICE();
    tk.okna.VYTVOROKNO(0, 0, 640, 480, false, "okno", "obsah");
    for (int b = 0; b < 20; ++b)
      tk.okna.PRIPRAVTLACPROOKNO(0, "&B" + std::to_string(b), nullptr, 10 + (b % 10) * 62,
                                 b < 10 ? -50 : -10, 0, 0, 0);
    tk.okna.PRVNISEZNAMVOKNE(0, 20, 120, 500, 200, 10, 2);
    // Each new button is drawn by one poll; 20 polls bring them all, the last one shows it.
    for (int p = 0; p < 20; ++p) tk.tlacitka.OBSLUHATLAC();
    graph.UPDATEGRAPH(2);
  };

  frame();  // glyph cache warm, as on every frame after a program's first
  auto t0 = Clock::now();
  for (int i = 0; i < frames; ++i) frame();
  double us_frame =
      std::chrono::duration<double, std::micro>(Clock::now() - t0).count() / frames;

  std::vector<uint8_t> src(640 * 480, 7), dst(640 * 480);
  const int copies = frames * 20;
  t0 = Clock::now();
  for (int i = 0; i < copies; ++i) {
    src[static_cast<size_t>(i) % src.size()] = static_cast<uint8_t>(i);
    std::memcpy(dst.data(), src.data(), src.size());
  }
  double us_copy = std::chrono::duration<double, std::micro>(Clock::now() - t0).count() / copies;

  auto t1 = Clock::now();
  for (int i = 0; i < frames; ++i) graph.UPDATEGRAPH(2);
  double us_present =
      std::chrono::duration<double, std::micro>(Clock::now() - t1).count() / frames;

  std::printf("toolkit_bench: %d frames (window + 20 buttons + 25-entry list of 11 rows)\n", frames);
  std::printf("  full redraw and show     %9.1f us/frame\n", us_frame);
  std::printf("  show only (headless)     %9.1f us/frame\n", us_present);
  std::printf("  baseline: memcpy frame   %9.1f us/frame (dst[0]=%d)\n", us_copy, dst[0]);
  std::remove(texts.c_str());
  return 0;
}
