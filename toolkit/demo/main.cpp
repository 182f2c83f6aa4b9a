// ksvdemo: a small program over the screen toolkit — a window with picture and text buttons, a
// paged list, an input field, a pop-up and the colour picker. Runs in the SDL2 window, or
// headless (KSV_VIDEO=headless, or no display) replaying KSV_SCRIPT with screenshots.
#include <cstdio>
#include <cstring>
#include <string>

#include "images/obrazky.h"
#include "toolkit/draw/backend.h"
#include "toolkit/draw/graph.h"
#include "toolkit/kit/picture_button.h"
#include "toolkit/startup.h"
#include "toolkit/toolkit.h"

namespace {

struct Demo {
  explicit Demo(ksv::toolkit::Toolkit& tk, std::string dir) : tk(tk), dir(std::move(dir)) {}

  // A picture button from guidata/, or a text button with the fallback caption when the
  // pictures were not generated.
  void button(int window, const std::string& picture, const std::string& caption,
              std::function<void()> action, int x, int y, uint8_t key, int w = 50, int h = 20) {
    ksv::toolkit::picture_button(tk, window, picture, std::move(action), x, y, key, w, h, caption);
  }

  void fill_list() {
    static const char* const customers[] = {"Textil", "Sport", "Hotel", "Skola", "Klub"};
    tk.seznam.SMAZSEZNAM();
    for (int i = 0; i < 25; ++i) {
      std::string name = "Z" + ksv::toolkit::ZAROVNEJ(ksv::toolkit::INT2STR(2600 + (i * 7) % 25), '0', 5);
      std::string spec = std::string(customers[i % 5]) + '\0' + ksv::toolkit::INT2STR(10 + i * 13) +
                         " ks" + '\0' + (i % 3 ? "Otevreno" : "Uzavreno") + '\0';
      tk.seznam.PRIDEJPRVEK(name, spec, false);
    }
  }

  void show_list() { tk.okna.PRVNISEZNAMVOKNE(0, 20, 130, 400, 200, 10, 2); }
  void redraw_list() {
    auto& l = tk.seznam;
    l.VYPISSEZNAM(l.SEZX, l.SEZY, l.VELSEZX, l.VELSEZY, l.VELSTRANKY, l.AKTMODSEZNAMU);
    tk.tlacitka.NUTNOVYKRESLIT = true;
  }

  void show_name() {
    tk.okna.VYPISUDAJOKNO(0, 450, 160, 255, tk.images.NAJDIBARVU(0, 0, 64), 16, name);
    tk.tlacitka.NUTNOVYKRESLIT = true;
  }

  void build() {
    auto& o = tk.okna;
    o.SMAZOKNA();
    tk.graph.CLEARDEVICE();
    o.VYTVOROKNO(0, 0, 640, 480, false, "titulek", "demo");
    fill_list();
    show_list();
    button(0, "nahoru.bmp", "Nahoru", [this] { tk.seznam.SEZNAMNAHORU(); tk.tlacitka.NUTNOVYKRESLIT = true; }, 423, 130, 72, 22, 20);
    button(0, "dolu.bmp", "Dolu", [this] { tk.seznam.SEZNAMDOLU(); tk.tlacitka.NUTNOVYKRESLIT = true; }, 425, 160, 80, 22, 20);
    button(0, "stranap.bmp", "PgUp", [this] { tk.seznam.STRANKANAHORU(); tk.tlacitka.NUTNOVYKRESLIT = true; }, 20, 345, 73);
    button(0, "stranad.bmp", "PgDn", [this] { tk.seznam.STRANKADOLU(); tk.tlacitka.NUTNOVYKRESLIT = true; }, 80, 345, 81);
    button(0, "tridit.bmp", "Trid", [this] {
      sort_order ^= 1;
      tk.seznam.SETRIDSEZNAM(1, sort_order, false);
      redraw_list();
    }, 140, 345, 9);
    tk.graph.SETCOLOR(255);
    tk.graph.SETTEXTJUSTIFY(0, 2);
    o.VYPISTEXTOKNO(0, 450, 155, "Jmeno:");
    show_name();
    button(0, "edituj.bmp", "Edituj", [this] { edit_requested = true; }, 450, 185, 62);
    button(0, "budiz.bmp", "OK", [this] { tk.okna.KONECZADAVANI = 1; }, 510, 185, 13);
    button(0, "zrusit.bmp", "Zpet", [this] { tk.okna.KONECZADAVANI = 2; }, 570, 185, 27);
    o.PRIPRAVTLACPROOKNO(0, "&Okno", [this] { popup_requested = true; }, 450, 230, 0, 0, 60);
    button(0, "barva.bmp", "Barva", [this] { colour_requested = true; }, 520, 230, 61);
    button(0, "konec.bmp", "Konec", [this] { quit = true; }, -10, -10, 11);
    tk.tlacitka.NUTNOVYKRESLIT = true;
  }

  void popup() {
    bool closed = false;
    int32_t h = tk.okna.VYTVOROKNO(-1, -1, 300, 160, true, "popup", "popuptext");
    if (h == ksv::toolkit::kNoFreeWindow) return;
    int w = h >> 8;
    button(w, "budiz.bmp", "OK", [&] { closed = true; }, 0, -10, 13);
    while (!closed && !tk.tlacitka.ended()) loop_pass();
    tk.okna.SMAZOKNO(w);
  }

  void colour() {
    int32_t h = tk.okna.VYTVOROKNO(-1, -1, 240, 250, true, "paleta", "");
    if (h == ksv::toolkit::kNoFreeWindow) return;
    int w = h >> 8;
    tk.okna.PRIPRAVTLACPROOKNO(w, "&OK", [this] { tk.okna.KONECZADAVANI = 1; }, 10, -8, 0, 0, 13);
    tk.okna.PRIPRAVTLACPROOKNO(w, "&Storno", [this] { tk.okna.KONECZADAVANI = 2; }, -10, -8, 0, 0, 27);
    int16_t c = tk.okna.VYBERBARVU(tk.okna.MISTOX(w, 0) + 40, tk.okna.MISTOY(w, 0) + 30, 1, false);
    tk.okna.SMAZOKNO(w);
    if (c >= 0) {
      tk.graph.SETFILLSTYLE(1, c);
      tk.graph.BAR(600, 230, 619, 249);
      tk.tlacitka.NUTNOVYKRESLIT = true;
    }
  }

  void loop_pass() {
    tk.tlacitka.OBSLUHATLAC();
    // The queue gets the keys no button took; the list follows Home and End here.
    while (tk.tlacitka.JEKLAV()) {
      uint8_t k = tk.tlacitka.ZISKKLAV();
      if (k == 71) tk.seznam.SEZNAMZACATEK();
      if (k == 79) tk.seznam.SEZNAMKONEC();
      tk.tlacitka.NUTNOVYKRESLIT = true;
    }
    tk.graph.DELAY(5);
  }

  int run() {
    build();
    while (!quit && !tk.tlacitka.ended()) {
      loop_pass();
      if (edit_requested) {
        edit_requested = false;
        int32_t number = 0;
        std::string text = name, result;
        tk.okna.ZISKEJUDAJOKNO(0, 450, 160, 255, tk.images.NAJDIBARVU(0, 0, 64), 16, number, text, result);
        if (result != std::string(1, '\0')) name = number != 0 ? ksv::toolkit::INT2STR(number) : text;
        show_name();
      }
      if (popup_requested) {
        popup_requested = false;
        popup();
      }
      if (colour_requested) {
        colour_requested = false;
        colour();
      }
    }
    tk.okna.SMAZOKNA();
    tk.tlacitka.ZRUSTLACITKA();
    tk.graph.CLOSEGRAPH();
    return 0;
  }

  ksv::toolkit::Toolkit& tk;
  std::string dir;
  std::string name = "Novak";
  int sort_order = 1;
  bool quit = false, edit_requested = false, popup_requested = false, colour_requested = false;
};

}  // namespace

int main(int argc, char** argv) {
  if (argc > 1 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0)) {
    std::printf("usage: ksvdemo\n"
                "Shows the screen toolkit: buttons, a list, an input field, a pop-up window.\n"
                "KSV_VIDEO=headless runs without a window; KSV_SCRIPT=FILE replays the steps of\n"
                "FILE (keys, text, mouse, waits, screenshots; see toolkit/SCRIPT.md).\n");
    return 0;
  }
  if (argc > 1) {
    std::fprintf(stderr, "ksvdemo: unknown argument %s (try --help)\n", argv[1]);
    return 2;
  }
  ksv::draw::Graph graph(ksv::draw::make_backend());
  ksv::images::Obrazky images(&graph);
  ksv::toolkit::Toolkit tk(graph, images);
  if (!ksv::toolkit::start_graphics(tk, ksv::toolkit::executable_path())) {
    std::fprintf(stderr, "ksvdemo: cannot open the graphics window\n");
    return 1;
  }
  const std::string dir = images.ADRESAREXE;
  return Demo(tk, dir).run();
}
