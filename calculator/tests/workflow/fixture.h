// A logocalc program directory in a temporary folder (texts file, loga/ with a generated logo)
// and a desktop session over it on the headless display, driven by a script of steps.
#pragma once
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <sstream>
#include <string>

#include "calculator/batch.h"
#include "calculator/workflow/workflow.h"
#include "images/obrazky.h"
#include "protocol/testsupport/temp_dir.h"
#include "toolkit/draw/graph.h"
#include "toolkit/draw/headless.h"
#include "toolkit/toolkit.h"

namespace ksv::calculator::ui::testing {

// One run of the desktop program: the display replays the script and asks to close at its end.
struct Session {
  Session(const std::string& dir, const std::string& script)
      : graph(std::make_unique<draw::HeadlessBackend>()), images(&graph, dir), tk(graph, images),
        workflow(tk, dir) {
    EXPECT_TRUE(graph.headless()->load_script_text(script)) << graph.headless()->script_error();
    graph.headless()->set_close_at_end(true);
    graph.INITGRAPH(3, 4, "logocalc");
    graph.UPDATEGRAPH(0);
    images.NASTAVPALETU();
    tk.texty.SOUBTEXTU = dir + "/texty.dat";
    tk.tlacitka.exit_program = [this](int code) { window_closed_with = code; };
    status = workflow.run();
  }
  draw::Graph graph;
  images::Obrazky images;
  toolkit::Toolkit tk;
  Workflow workflow;
  int status = -1;
  int window_closed_with = -1;
};

// Script steps, one per line; each key step waits long enough before it for the screen it is
// meant for to have drawn all of its buttons (a hot key reaches only buttons already drawn).
class Script {
 public:
  Script& keys(const std::string& names) {
    s_ += "wait 150\nkey " + names + "\n";
    return *this;
  }
  Script& text(const std::string& t) {
    s_ += "text " + t + "\n";
    return *this;
  }
  Script& click(int x, int y, const std::string& button = "left") {
    s_ += "wait 100\nclick " + std::to_string(x) + " " + std::to_string(y) + " " + button + "\n";
    return *this;
  }
  Script& shot(const std::string& path) {
    s_ += "wait 150\nscreenshot " + path + "\n";
    return *this;
  }
  // From the file chooser to the segment page with the default answers: the mask *.bmp, the
  // last entry (pictures follow the folders), light, curves, the whole picture, no background
  // colours, the proposed size, marker 0.
  Script& to_segment_page() {
    keys("Space").keys("End").keys("Enter");  // chooser
    keys("8").keys("1").keys("a");             // light, curves, approved
    keys("Enter").keys("Enter");               // area, background colours
    keys("Enter Enter Enter");                 // size: width, height, accept
    keys("Enter");                             // marker
    return *this;
  }
  std::string str() const { return s_ + "wait 150\n"; }

 private:
  std::string s_;
};

class WorkflowTest : public ::testing::Test {
 protected:
  WorkflowTest() {
    std::filesystem::copy_file(KSV_CALCULATOR_TEXTS, dir / "texty.dat");
    std::filesystem::create_directory(dir / "loga");
  }

  // Writes loga/NAME as an 8-bit BMP in the fixed palette.
  template <typename F>
  std::string write_logo(const std::string& name, int w, int h, F pixel) {
    images::Obrazky obr;
    EXPECT_EQ(obr.ZALOZOBRAZEK(0, w, h, 1), 0);
    images::TOBRAZEK& o = obr.OBRAZKY[0];
    o.VELX = w;
    o.VELY = h;
    o.BPP = 0;
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) o.BUFFER[int64_t{y} * o.MAXX + x] = pixel(x, y);
    const std::string path = dir / ("loga/" + name);
    EXPECT_EQ(obr.ULOZBMP(0, path), 0);
    return path;
  }

  // Two areas on white, 500 x 250 pixels: the proposal is 100 x 50 mm.
  std::string write_default_logo() {
    return write_logo("logo.bmp", 500, 250, [](int x, int y) -> uint8_t {
      if (x >= 40 && x < 220 && y >= 40 && y < 200) return 0xE0;   // red block
      if (x >= 280 && x < 460 && y >= 90 && y < 150) return 0x03;  // blue bar
      return 255;
    });
  }

  std::unique_ptr<Session> run(const Script& script) {
    return std::make_unique<Session>(dir.path(), script.str());
  }

  ksv::testing::TempDir dir;
};

}  // namespace ksv::calculator::ui::testing
