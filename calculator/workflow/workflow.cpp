// The calculator's main loop and what every screen shares: the wait loop, windows and buttons,
// help pages, the error window and the two small questions (delete the smallest segments, pick
// a palette colour).
//
// Sections: construction and main loop · wait loop and buttons · help, errors, questions
#include "calculator/workflow/workflow.h"

#include <sys/stat.h>

#include <algorithm>
#include <cerrno>

#include "toolkit/kit/picture_button.h"
#include "toolkit/kit/style_guard.h"

namespace ksv::calculator::ui {

// ---------------------------------------------------------------- construction and main loop

Workflow::Workflow(toolkit::Toolkit& tk, std::string program_dir)
    : engine(tk.images), tk_(tk), dir_(std::move(program_dir)) {
  if (!dir_.empty() && dir_.back() != '/') dir_ += '/';
  AKTUALNIADR = dir_ + "loga/";
  engine.hooks.show_preview = [this] {
    // The preview the segmentation paints its progress into, centred on the screen.
    const images::TOBRAZEK& p = tk_.images.OBRAZKY[engine.HANDLENAHLEDU];
    tk_.images.ZOBRAZOBRAZEK(engine.HANDLENAHLEDU, p.VELX <= 640 ? 320 - p.VELX / 2 : 0,
                             p.VELY <= 480 ? 240 - p.VELY / 2 : 0);
    tk_.graph.UPDATEGRAPH(2);
  };
  engine.hooks.ask_delete_small = [this] { return ask_delete_small(); };
}

int Workflow::run() {
  JMENOSOUBORUULOZ = "_kalkul";
  SKOCIT = kStay;
  bool first = true;
  while (running()) {
    if (SKOCIT != kBackToSegments) {
      if (!picture_dialogs(!first && SKOCIT == kNewSize)) break;
      MATERIAL = 0;
      if (!segment()) break;
    } else if (from_result_) {
      // "&Zpet": the same segments, the working picture as the page left it.
      engine.restore_working_from_backup();
    } else {
      // "&Trasuj": the same picture and choices, segmented afresh.
      if (!segment()) break;
    }
    first = false;
    SKOCIT = kStay;
    from_result_ = false;
    segment_page();
    if (!running() || SKOCIT == kStay) break;
    if (SKOCIT == kBackToSegments && from_result_) continue;
    // Any other jump starts from a new segmentation.
    if (SKOCIT != kNewSize) tk_.seznam.SMAZSEZNAM();
    free_slot(mini_slot_);
    engine.free_slots();
    if (SKOCIT == kNewPicture) tk_.graph.CLEARDEVICE();
  }
  free_slot(mini_slot_);
  free_slot(preview_slot_);
  free_slot(thumb_slot_);
  free_slot(thumb_fit_slot_);
  engine.free_slots();
  tk_.okna.SMAZOKNA();
  return exit_status_;
}

void Workflow::free_slot(uint16_t& slot) {
  if (slot != kNoSlot) tk_.images.ZRUSOBRAZEK(slot);
  slot = kNoSlot;
}

// ---------------------------------------------------------------- wait loop and buttons

void Workflow::pass() {
  tk_.tlacitka.OBSLUHATLAC();
  // Keys no button took mean nothing on these screens; they must not fill the queue.
  tk_.tlacitka.VYMAZFRONTU();
  tk_.graph.DELAY(5);
}

void Workflow::wait_for(const bool& flag) {
  while (!flag && running()) pass();
}

int Workflow::open_window(int32_t x, int32_t y, int32_t w, int32_t h, bool popup,
                          const std::string& title, const std::string& body) {
  const int32_t handle = tk_.okna.VYTVOROKNO(x, y, w, h, popup, title, body);
  if (handle == toolkit::kNoFreeWindow) return -1;
  tk_.trace.event("screen", title);
  return handle >> 8;
}

void Workflow::text_button(int window, const std::string& caption, std::function<void()> action,
                           int32_t x, int32_t y, uint8_t key) {
  tk_.okna.PRIPRAVTLACPROOKNO(window, "&" + caption, std::move(action), x, y, 0, 0, key);
}

void Workflow::picture_button(int window, const std::string& picture, const std::string& caption,
                              std::function<void()> action, int32_t x, int32_t y, int32_t w,
                              int32_t h, uint8_t key) {
  toolkit::picture_button(tk_, window, picture, std::move(action), x, y, key, w, h, caption);
}

void Workflow::text_at(int32_t x, int32_t y, const std::string& text, uint8_t colour,
                       uint8_t background, int32_t clear_w) {
  draw::Graph& g = tk_.graph;
  {
    toolkit::StyleGuard style(g);
    g.SETFILLSTYLE(1, background);
    g.BAR(x, y, x + clear_w - 1, y + 17);
    g.SETCOLOR(colour);
    g.SETTEXTSTYLE(4, 0, 16);
    g.SETTEXTJUSTIFY(0, 0);
    g.OUTTEXTXY(x, y + 1, text);
  }
  tk_.tlacitka.NUTNOVYKRESLIT = true;
}

// ---------------------------------------------------------------- help, errors, questions

void Workflow::help(const std::vector<std::string>& pages) {
  for (size_t i = 0; i < pages.size() && running(); ++i) {
    const HelpSize size = help_size(pages[i], i + 1 < pages.size());
    const int win = open_window(-1, -1, size.w, size.h, true, "napoveda", pages[i]);
    if (win < 0) return;
    bool done = false, next = false;
    text_button(win, "Budiz", [&] { done = true; }, i + 1 < pages.size() ? 10 : 0, -8, 13);
    if (i + 1 < pages.size()) text_button(win, "Dalsi", [&] { done = next = true; }, -10, -8, 32);
    wait_for(done);
    tk_.okna.SMAZOKNO(win);
    if (!next) return;
  }
}

Workflow::HelpSize Workflow::help_size(const std::string& key, bool two_buttons) {
  toolkit::Texty& tx = tk_.texty;
  std::vector<std::string> lines{tx.text(key)};
  for (int i = 0; i < tx.RADKU; ++i)
    if (tx.TEXTBUFFER[size_t(i)] != ">>>") lines.push_back(tx.TEXTBUFFER[size_t(i)]);
  int widest = 0;
  {
    draw::Graph& g = tk_.graph;
    toolkit::StyleGuard style(g);
    g.SETTEXTSTYLE(4, 0, tx.AKTVELFONTU);
    // A leading formatting code is measured with its line: a few pixels to spare.
    for (const std::string& l : lines) widest = std::max(widest, g.TEXTWIDTH(l));
  }
  // Lines start 10 pixels in; the buttons (64 wide, 10 from the edges) need room side by side.
  const int32_t buttons = two_buttons ? 2 * 64 + 40 : 64 + 20;
  // The title line sits 40 below the top and every further line one line lower; the buttons
  // stand 8 above the bottom edge.
  const int32_t line = tx.AKTVELFONTU + 1;
  const int32_t h = 40 + int32_t(lines.size()) * line + 10 + 33 + 8;
  return {std::min(std::max(widest + 24, buttons), draw::kScreenW),
          std::min(h, draw::kScreenH)};
}

void Workflow::fatal(int code) {
  error_code = code;
  fatal_key("chyba" + toolkit::INT2STR(code));
}

void Workflow::error_window(const std::string& key) {
  errors_shown.push_back(key);
  const int win = open_window(-1, -1, 400, 160, true, "chyba", key);
  if (win >= 0) {
    bool done = false;
    text_button(win, "Budiz", [&] { done = true; }, 0, -8, 13);
    wait_for(done);
    tk_.okna.SMAZOKNO(win);
  }
  tk_.tlacitka.VYMAZFRONTU();
}

void Workflow::fatal_key(const std::string& key) {
  if (error_code == 0) error_code = -1;
  error_window(key);
  stop_ = true;
  exit_status_ = kExitFatal;
}

bool Workflow::ask_delete_small() {
  // Low on the screen, so the segments found stay in sight above it.
  const int win = open_window(-1, 305, 400, 170, true, "dotazseg", "zrusseg");
  if (win < 0) return false;
  bool done = false, yes = false;
  text_button(win, "Ano", [&] { done = yes = true; }, 30, -8, 97);
  text_button(win, "Ne", [&] { done = true; }, 0, -8, 110);
  text_button(win, "Pomoc", [&] { help({"helpzruss"}); }, -30, -8, 59);
  wait_for(done);
  tk_.okna.SMAZOKNO(win);
  return yes && running();
}

int16_t Workflow::pick_colour(int16_t current) {
  const int win = open_window(70, 50, 500, 380, true, "paleta");
  if (win < 0) return current;
  text_button(win, "Potvrdit", [this] { tk_.okna.KONECZADAVANI = 1; }, -15, 60, 13);
  text_button(win, "Storno", [this] { tk_.okna.KONECZADAVANI = 2; }, -15, 110, 27);
  // Confirming without a click keeps the colour the picker was opened with.
  int16_t c;
  {
    toolkit::StyleGuard style(tk_.graph);
    tk_.graph.SETCOLOR(current);
    c = tk_.okna.VYBERBARVU(70 + 30, 50 + 40, 2, false);
  }
  tk_.okna.SMAZOKNO(win);
  return c < 0 ? current : c;
}

}  // namespace ksv::calculator::ui
