// A toolkit on the headless display, a texts file and button pictures in a temporary directory,
// and helpers to drive polls the way a program's wait loop does.
#pragma once
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>

#include "images/obrazky.h"
#include "protocol/testsupport/temp_dir.h"
#include "toolkit/draw/graph.h"
#include "toolkit/draw/headless.h"
#include "toolkit/toolkit.h"

namespace ksv::toolkit::testing {

struct ToolkitTest : ::testing::Test {
  ToolkitTest()
      : graph(std::make_unique<draw::HeadlessBackend>()),
        images(&graph, dir.path()),
        tk(graph, images) {
    graph.INITGRAPH(3, 4, "test");
    graph.UPDATEGRAPH(0);  // as the programs' start-up leaves it
    images.NASTAVPALETU();
    tk.texty.SOUBTEXTU = dir / "texty.dat";
    tk.tlacitka.exit_program = [this](int code) { exit_code = code; };
  }

  draw::HeadlessBackend& hb() { return *graph.headless(); }
  void poll(int n = 1) {
    for (int i = 0; i < n; ++i) tk.tlacitka.OBSLUHATLAC();
  }
  // Polls until every new button has been drawn (one is drawn per poll).
  void settle() { poll(70); }
  uint8_t px(int x, int y) const { return graph.screen_pixel(x, y); }
  std::vector<uint8_t> screen() const {
    return std::vector<uint8_t>(graph.pixels(), graph.pixels() + 640 * 480);
  }
  // A one-colour picture of w × h saved as BMP under the temp directory; returns its path.
  std::string picture(const std::string& name, int w, int h, uint8_t colour) {
    images.ZALOZOBRAZEK(0, w, h, 1);
    images.OBRAZKY[0].VELX = w;
    images.OBRAZKY[0].VELY = h;
    images.OBRAZKY[0].BPP = 0;
    images.VYMAZBUFFER(0, colour);
    std::string path = dir / name;
    EXPECT_EQ(images.ULOZBMP(0, path), 0);
    images.ZRUSOBRAZEK(0);
    return path;
  }
  // Moves the mouse to (x, y) and runs a full click: hover, press, release.
  void click(int x, int y) {
    hb().move_mouse(x, y);
    poll(2);
    hb().set_buttons(1);
    poll(2);
    hb().set_buttons(0);
    poll(2);
  }

  ksv::testing::TempDir dir;
  draw::Graph graph;
  images::Obrazky images;
  Toolkit tk;
  int exit_code = -1;
};

}  // namespace ksv::toolkit::testing
