// The result screen: the stitch estimate, the simulated embroidery centred on the screen with
// the stitch count and size, the jumps back, and saving the picture as loga/NAME.bmp.
#include <cmath>
#include <filesystem>
#include <system_error>

#include "calculator/workflow/names.h"
#include "calculator/workflow/workflow.h"
#include "toolkit/kit/style_guard.h"

namespace ksv::calculator::ui {

bool Workflow::result_screen() {
  images::Obrazky& img = tk_.images;
  engine.MATERIAL = MATERIAL;
  tk_.okna.SMAZOKNA();
  page_window_ = buttons_window_ = -1;
  engine.estimate();

  tk_.tlacitka.VYMAZFRONTU();
  tk_.graph.CLEARDEVICE();
  img.ZMENSIPOMVEL(engine.PODKLADOVELOGO2, engine.HANDLENAHLEDU);
  const images::TOBRAZEK& p = img.OBRAZKY[engine.HANDLENAHLEDU];
  img.ZOBRAZOBRAZEK(engine.HANDLENAHLEDU, p.VELX <= 641 ? 320 - p.VELX / 2 : 0,
                    p.VELY <= 481 ? 240 - p.VELY / 2 : 0);

  const int win = open_window(1, 1, 75, 270, false, "vysledek");
  const std::string total = std::to_string(static_cast<long long>(rnd(engine.POCETSTEHU)));
  result_line = "Stehu: " + total + " (" + toolkit::INT2STR(ROZMERX) + " x " +
                toolkit::INT2STR(ROZMERY) + " mm)";
  draw::Graph& g = tk_.graph;
  {
    toolkit::StyleGuard style(g);
    g.SETCOLOR(255);
    g.SETTEXTSTYLE(4, 0, 16);
    g.SETTEXTJUSTIFY(0, 2);
    g.OUTTEXTXY(5, 450, result_line);
  }
  bool save = false, quit = false;
  int32_t jump = kStay;
  text_button(win, "Zpet", [&] { jump = kBackToSegments; }, 5, 29, 122);
  text_button(win, "Rozmer", [&] { jump = kNewSize; }, 5, 69, 114);
  text_button(win, "Nove", [&] { jump = kNewPicture; }, 5, 109, 110);
  text_button(win, "Uloz", [&] { save = true; }, 5, 149, 32);
  text_button(win, "Konec", [&] { quit = true; }, 5, 189, 13);
  text_button(win, "Pomoc", [&] { help({"helpkonec"}); }, 5, 229, 59);
  tk_.tlacitka.NUTNOVYKRESLIT = true;
  tk_.trace.event("result", total);

  while (running() && jump == kStay && !quit) {
    pass();
    if (save) {
      save = false;
      save_dialog();
    }
  }
  tk_.okna.SMAZOKNO(win);
  if (!running()) return false;
  if (quit) {
    // The end of the program: the caller frees every slot.
    stop_ = true;
    exit_status_ = kExitDone;
    return false;
  }
  SKOCIT = jump;
  from_result_ = jump == kBackToSegments;
  if (jump == kNewPicture) {
    tk_.seznam.SMAZSEZNAM();
    tk_.graph.CLEARDEVICE();
  }
  return true;
}

namespace {

// Whether two names lead to the same file (through links or "." parts); a missing file is
// never the same as anything.
bool same_file(const std::string& a, const std::string& b) {
  std::error_code ec;
  if (a.empty() || b.empty()) return false;
  return std::filesystem::equivalent(a, b, ec) && !ec;
}

}  // namespace

bool Workflow::ask_replace() {
  const int win = open_window(-1, -1, 360, 150, true, "prepsat", "prepsatt");
  if (win < 0) return false;
  bool done = false, yes = false;
  // "&Ne" takes Enter: a quick Enter must not destroy a customer's picture.
  text_button(win, "Ano", [&] { done = yes = true; }, 30, -8, 97);
  text_button(win, "Ne", [&] { done = true; }, -30, -8, 13);
  tk_.tlacitka.VYMAZFRONTU();
  wait_for(done);
  tk_.okna.SMAZOKNO(win);
  tk_.tlacitka.VYMAZFRONTU();
  return yes && running();
}

void Workflow::save_dialog() {
  toolkit::Okna& o = tk_.okna;
  const int win = open_window(-1, -1, 320, 110, true, "ulozit");
  if (win < 0) return;
  const int32_t wx = o.OKNO[win].X, wy = o.OKNO[win].Y;
  const uint8_t body = tk_.images.NAJDIBARVU(92, 92, 92);
  text_button(win, "OK", [&o] { o.KONECZADAVANI = 1; }, 20, -4, 13);
  text_button(win, "Storno", [&o] { o.KONECZADAVANI = 2; }, -20, -4, 27);
  for (;;) {
    int32_t number = 0;
    std::string text = JMENOSOUBORUULOZ, result;
    o.ZISKEJUDAJ(wx + 20, 220, 255, 0, 35, number, text, result);
    if (!running()) return;
    if (o.KONECZADAVANI != 1 && o.KONECZADAVANI != 4) {
      save_status = "storno";
      break;  // "&Storno": nothing is saved and the name stays as it was
    }
    const std::string name = edited_save_name(JMENOSOUBORUULOZ, number, text);
    // A name that would leave the loga folder, or name no file at all, is refused with the
    // field open again instead of writing somewhere the user did not mean.
    if (!is_safe_save_name(name)) {
      save_status = "refused";
      text_at(wx + 10, wy + 55, t("chybajmeno"), tk_.images.NAJDIBARVU(255, 255, 0), body, 300);
      continue;
    }
    const std::string path = dir_ + "loga/" + name + ".bmp";
    // loga/ holds the customers' logos: the picture being worked on is never overwritten, and
    // any other file already there is replaced only when the user says so.
    if (same_file(path, SOUBORKALK)) {
      save_status = "refused";
      text_at(wx + 10, wy + 55, t("chybaotevreny"), tk_.images.NAJDIBARVU(255, 255, 0), body, 300);
      continue;
    }
    std::error_code ec;
    if (std::filesystem::exists(path, ec) && !std::filesystem::is_directory(path, ec) &&
        !ask_replace()) {
      save_status = "kept";
      continue;  // the name field opens again for another name
    }
    JMENOSOUBORUULOZ = name;
    if (tk_.images.ULOZOBRAZEK(engine.PODKLADOVELOGO2, path) != 0) {
      // The failure is shown in the dialog, which stays open for another name or "&Storno".
      save_status = "failed";
      text_at(wx + 10, wy + 55, t("chybaulozeni"), tk_.images.NAJDIBARVU(255, 255, 0), body, 300);
      continue;
    }
    save_status = "saved";
    saved_path = path;
    break;
  }
  o.SMAZOKNO(win);
  if (!saved_path.empty() && save_status == "saved")
    text_at(5, 405, t("ulozeno") + "loga/" + JMENOSOUBORUULOZ + ".bmp", 255, 0, 420);
}

}  // namespace ksv::calculator::ui
