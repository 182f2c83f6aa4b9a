// The order editor (screen 71): the header of the open order with its fields edited in place,
// the list of its programs, and saving, closing, deleting and duplicating the order. Leaving it
// for anything but a program or the calculation releases the order on the server.
//
// Sections: form · program list · save · leaving · the screen
#include <cstdio>

#include "client/keys.h"
#include "client/screens/orders/editor.h"
#include "client/pickers.h"
#include "client/record_list.h"
#include "client/screens/orders/order_rules.h"
#include "client/screens/orders/orders.h"
#include "client/screens/programs/attachments.h"
#include "toolkit/kit/text_field.h"
#include "protocol/commands.h"
#include "protocol/file_util.h"
#include "toolkit/kit/picture_button.h"
#include "toolkit/kit/style_guard.h"

namespace ksv::client::orders {

using namespace keys;

namespace {

constexpr int32_t kWidth = 630, kHeight = 410, kTop = 5;
constexpr int32_t kLabelX = 5, kValueX = 80, kValueW = 480;
constexpr int32_t kFirstRow = 28, kRowStep = 22;
constexpr int32_t kHeadingsY = 266, kListX = 10, kListY = 270, kListW = 610, kListH = 95;
constexpr int kFields = 7;

// The form's rows: label, and for the edited fields their index (-1: shown only).
struct Row {
  const char* label;
  int field;
};
constexpr Row kRows[] = {{"cis", -1},     {"autor", -1},  {"popis", 0},   {"zakaz", 1},
                         {"termin", 2},   {"vysit", 3},   {"vzorek", 4},  {"velik.", 5},
                         {"kalkul.", 6}};

int32_t row_y(int field) { return kFirstRow + (field + 2) * kRowStep; }

bool is_date(int field) { return field >= 2 && field <= 4; }

TDatum& date_of(TPolozkaDatabanky& z, int field) {
  return field == 2 ? z.TERMIN : field == 3 ? z.VYSIT : z.VZOREK;
}

PString<255>& text_of(TPolozkaDatabanky& z, int field) {
  switch (field) {
    case 0: return z.POPIS;
    case 1: return z.ZAKAZNIK;
    case 5: return z.VELIKOST;
    default: return z.KALKULACE;
  }
}

std::string shown_value(TPolozkaDatabanky& z, int field) {
  return is_date(field) ? format_date(date_of(z, field)) : text_of(z, field).str();
}

// ---- form --------------------------------------------------------------------------------------

void draw_value(Frame& f, const EditorState& st, int32_t y, const std::string& value) {
  toolkit::Toolkit& tk = f.tk();
  if (!tk.okna.is_open(st.window)) return;
  const toolkit::TOkno& o = tk.okna.OKNO[size_t(st.window)];
  draw::Graph& g = tk.graph;
  toolkit::StyleGuard style(g);
  g.SETFILLSTYLE(1, tk.images.NAJDIBARVU(64, 64, 64));
  g.BAR(o.X + kValueX, o.Y + y, o.X + kValueX + kValueW, o.Y + y + tk.texty.AKTVELFONTU);
  g.SETCOLOR(tk.images.NAJDIBARVU(255, 255, 255));
  g.SETTEXTSTYLE(4, 0, tk.texty.AKTVELFONTU);
  g.SETTEXTJUSTIFY(0, 0);  // y is the text's top
  std::string shown = value;
  while (!shown.empty() && g.TEXTWIDTH(shown) > kValueW - 2) shown.pop_back();
  g.OUTTEXTXY(o.X + kValueX + 1, o.Y + y + 1, shown);
  tk.tlacitka.NUTNOVYKRESLIT = true;
}

void draw_form(Frame& f, Workspace& ws, const EditorState& st, const std::string& author) {
  toolkit::Toolkit& tk = f.tk();
  const toolkit::TOkno& o = tk.okna.OKNO[size_t(st.window)];
  draw::Graph& g = tk.graph;
  {
    toolkit::StyleGuard style(g);
    g.SETCOLOR(tk.images.NAJDIBARVU(192, 192, 255));
    g.SETTEXTSTYLE(4, 0, tk.texty.AKTVELFONTU);
    g.SETTEXTJUSTIFY(0, 0);  // y is the text's top
    for (size_t i = 0; i < std::size(kRows); ++i)
      g.OUTTEXTXY(o.X + kLabelX, o.Y + kFirstRow + int32_t(i) * kRowStep + 1, kRows[i].label);
  }
  draw_value(f, st, kFirstRow, ws.AKTZAKAZKA.CISLO.str());
  draw_value(f, st, kFirstRow + kRowStep, author);
  for (int field = 0; field < kFields; ++field)
    draw_value(f, st, row_y(field), shown_value(ws.AKTZAKAZKA, field));
}

// Edits the current field in place; the value is stored when the field is confirmed (the
// field buttons, save, and the other buttons that act on the order all confirm it).
void edit_field(Frame& f, Workspace& ws, EditorState& st) {
  toolkit::Toolkit& tk = f.tk();
  const toolkit::TOkno& o = tk.okna.OKNO[size_t(st.window)];
  const int field = st.field;
  std::string text = shown_value(ws.AKTZAKAZKA, field);
  const size_t max = is_date(field) ? 10 : 255;
  toolkit::TextField input(tk, o.X + kValueX, o.Y + row_y(field), kValueW / (tk.texty.AKTVELFONTU / 2),
                           max, text);
  input.text_colour = tk.images.NAJDIBARVU(255, 255, 255);
  input.background = tk.images.NAJDIBARVU(0, 0, 96);
  // A key typed right after the previous field was confirmed was taken by the event step between
  // the two fields; it is the first of this one (the field's edit starts with an empty queue).
  for (int k; (k = tk.tlacitka.take_key()) >= 0;) input.key(k);
  const bool confirmed = input.edit();
  text = input.text();
  if (!confirmed) {
    draw_value(f, st, row_y(field), shown_value(ws.AKTZAKAZKA, field));
    return;
  }
  if (is_date(field)) {
    date_of(ws.AKTZAKAZKA, field) = parse_date(text);
  } else {
    // A customer typed as a number is kept as the number, without leading zeros.
    if (field == 1) text = customer_text(text);
    text_of(ws.AKTZAKAZKA, field).assign(text);
  }
  if (tk.okna.is_open(st.window)) draw_value(f, st, row_y(field), shown_value(ws.AKTZAKAZKA, field));
}

// ---- program list ------------------------------------------------------------------------------

void show_programs(Frame& f, Workspace& ws, EditorState& st) {
  // The program lines name their material and placement.
  if (ws.materials.empty()) fetch_materials(f, ws);
  if (ws.placements.empty()) fetch_placements(f, ws);
  const TKriteria kept = ws.KRITERIA;
  ws.KRITERIA = program_list_criteria();
  fetch_list(f, ws);
  ws.KRITERIA = kept;
  fill_list(f.tk().seznam, read_list_page(f.temp_path(ws.list.file), 0), ListLayout::kPrograms,
            ws, 0);
  st.codes.clear();
  for (const toolkit::TPrvek& e : f.tk().seznam.SEZNAM) st.codes.push_back(e.NAZEV);
  draw_headings(f.tk(), st.window, ListLayout::kPrograms, kListX, "sloupprg", kHeadingsY);
  f.tk().okna.PRVNISEZNAMVOKNE(st.window, kListX, kListY, kListW, kListH,
                               kListH / (f.tk().texty.AKTVELFONTU + 1) - 1,
                               box_mode(ListLayout::kPrograms));
}

// ---- save --------------------------------------------------------------------------------------

}  // namespace

bool save_order(Frame& f, Workspace& ws) {
  if (has_right(f, kRightEditOrder)) ws.AKTZAKAZKA.AUTOR = f.info().MOJEID;
  const std::string path = f.temp_path("info.dat");
  std::FILE* out = std::fopen(path.c_str(), "wb");
  const bool written = out && std::fwrite(&ws.AKTZAKAZKA, sizeof ws.AKTZAKAZKA, 1, out) == 1;
  if (out && std::fclose(out) != 0) return false;
  if (!written) {
    // Nothing went to the server; the user must not believe the order saved.
    f.status("savechyba");
    return false;
  }
  return f.upload(path, "info.dat", "savezak");
}

namespace {

// ---- leaving -----------------------------------------------------------------------------------

void leave(Frame& f, Workspace& ws, const EditorState& st) {
  const int32_t next = f.POZADOVANAOBRAZOVKA;
  // The program editor and the calculation work on the open order.
  if (next == kScreenProgram || next == kScreenCalculation) return;
  // The editor built again on the order it has just reopened (after a copy), or the order
  // released already by a copy whose reopening failed.
  if (next == kScreenEditor || st.released) return;
  // Whatever comes next, the browser's list is out of date and this screen overwrote its file.
  ws.NACISTZNOVU = true;
  // A lost connection, a logout or the end of the program: the server has released the order.
  if (next == kScreenConnect || next == kScreenLogin || f.ending() || !f.info().SPOJENO) return;
  f.compose();
  f.send_and_wait(req::kCloseOrder, "closezak");
  f.status("wait");
  ws.JENCIST = f.client().conn.BUFFERPACKET.ZISKEJCISLO(slot::kText) == 1;
  f.HLASENICHYBY();
  if (st.delete_order && !ws.JENCIST && f.info().SPOJENO) {
    f.compose().ULOZRETEZEC(slot::kText, true, ws.AKTZAKAZKA.CISLO.view());
    f.request(req::kDeleteOrder, "delzak");
  }
  if (f.POZADOVANAOBRAZOVKA != kScreenConnect) f.request_screen(kScreenBrowser);
}

// ---- actions -----------------------------------------------------------------------------------

void run_action(Frame& f, Workspace& ws, EditorState& st) {
  const EditorAction a = st.action;
  st.action = EditorAction::kNone;
  st.edit_next = true;
  switch (a) {
    case EditorAction::kNone: break;
    case EditorAction::kSave: save_order(f, ws); break;
    case EditorAction::kClose:
      if (!f.POTVRZENI()) break;
      // The mark must reach the server: a close that is not saved is lost with the editor.
      ws.AKTZAKAZKA.UZAVRENO = 1;
      if (save_order(f, ws)) st.leave = true;
      else ws.AKTZAKAZKA.UZAVRENO = 0;
      break;
    case EditorAction::kDelete:
      // Deleting takes the programs and their files with it: asked first.
      if (f.POTVRZENI()) {
        st.delete_order = true;
        st.leave = true;
      }
      break;
    case EditorAction::kDuplicate: duplicate_order(f, ws, st); break;
    case EditorAction::kOpenProgram: {
      const toolkit::Seznam& list = f.tk().seznam;
      if (list.PRVKU() > 0) open_program(f, ws, list.SEZNAM[size_t(list.highlighted())].NAZEV);
      break;
    }
    case EditorAction::kNewProgram: new_program(f, ws); break;
    case EditorAction::kAttachments:
    case EditorAction::kAttach:
      // The order's own folder: no program is open while this editor runs.
      if (a == EditorAction::kAttach) programs::attach_file(f);
      else programs::show_attachments(f);
      // The browser and the list were drawn over the form.
      if (!f.screen_left()) f.request_screen(kScreenEditor);
      break;
  }
}

}  // namespace

// ---- the screen ----------------------------------------------------------------------------------

void build_editor(Frame& f, Workspace& ws) {
  toolkit::Toolkit& tk = f.tk();
  tk.okna.SMAZOKNA();
  EditorState st;
  st.editable = !ws.AKTZAKAZKA.UZAVRENO && !ws.JENCIST;
  const std::string author = user_name_of(f, ws, ws.AKTZAKAZKA.AUTOR);
  const int32_t h = tk.okna.VYTVOROKNO(-1, kTop, kWidth, kHeight, false,
                                       st.editable ? "zakazka" : "zakazkaro", "");
  if (h == toolkit::kNoFreeWindow) return;
  st.window = h >> 8;
  const int w = st.window;

  EditorState* sp = &st;
  // A button that acts on the order ends the field being edited first, keeping what was typed.
  auto act = [&tk, sp](EditorAction a) {
    return [&tk, sp, a] {
      sp->action = a;
      tk.okna.KONECZADAVANI = 1;
    };
  };
  auto button = [&](const char* picture, int32_t x, int32_t y, uint8_t key,
                    std::function<void()> action, int32_t width = 50) {
    toolkit::picture_button(tk, w, picture, std::move(action), x, y, key, width);
  };
  const bool edit = has_right(f, kRightEditOrder);
  if (st.editable) {
    button("stranap.bmp", -10, 40, kTab, [&tk, sp] {
      sp->field = sp->field == 0 ? kFields - 1 : sp->field - 1;
      sp->edit_next = true;
      tk.okna.KONECZADAVANI = 1;
    });
    button("stranad.bmp", -10, 70, kEnter, [&tk, sp] {
      sp->field = sp->field == kFields - 1 ? 0 : sp->field + 1;
      sp->edit_next = true;
      tk.okna.KONECZADAVANI = 1;
    });
  }
  Frame* fp = &f;
  button("pomoc.bmp", 10, -10, kF1, [&tk, fp, sp] {
    fp->defer([fp] { fp->help(); });
    sp->edit_next = true;
    tk.okna.KONECZADAVANI = 1;
  });
  button("budiz.bmp", -10, -10, kEscape, [&tk, sp] {
    sp->leave = true;
    tk.okna.KONECZADAVANI = 1;
  });
  if (edit && st.editable) button("uloz.bmp", -75, -10, kF2, act(EditorAction::kSave));
  if (has_right(f, kRightDeleteOrder)) button("smaz.bmp", -150, -10, kCtrlD, act(EditorAction::kDelete));
  if (edit) button("kopiruj.bmp", -225, -10, kInsert, act(EditorAction::kDuplicate));
  if (programs::may_list_attachments(f))
    button("prilohy.bmp", -300, -10, '*', act(EditorAction::kAttachments));
  if (programs::may_attach(f) && st.editable)
    button("prilozit.bmp", -360, -10, '+', act(EditorAction::kAttach));
  button("kalkulace.bmp", -427, -10, kCtrlC, [&tk, fp] {
    fp->request_screen(kScreenCalculation);
    tk.okna.KONECZADAVANI = 1;
  });
  if (has_right(f, kRightDeleteOrder) && st.editable)
    button("uzavrit.bmp", -500, -10, kCtrlQ, act(EditorAction::kClose));
  button("nahoru.bmp", -17, 130, kUp, [&tk] { tk.seznam.SEZNAMNAHORU(); }, 22);
  button("dolu.bmp", -17, 160, kDown, [&tk] { tk.seznam.SEZNAMDOLU(); }, 22);
  button("edituj.bmp", -10, 200, kCtrlE, act(EditorAction::kOpenProgram));
  if (has_right(f, kRightNewProgram) && st.editable)
    button("nova.bmp", -10, 230, kCtrlN, act(EditorAction::kNewProgram));

  draw_form(f, ws, st, author);
  show_programs(f, ws, st);
  // Keys the browser did not take (a space without the right to create) are not the form's.
  tk.tlacitka.VYMAZFRONTU();

  while (!f.screen_left() && !st.leave) {
    // One step first: it runs what the buttons left for after the poll (help, logout).
    f.event_step();
    if (f.screen_left() || st.leave) break;
    if (st.action != EditorAction::kNone) {
      run_action(f, ws, st);
    } else if (st.editable && st.edit_next) {
      st.edit_next = false;
      edit_field(f, ws, st);
    }
  }
  if (st.leave && !f.screen_left()) f.request_screen(kScreenBrowser);
  leave(f, ws, st);
}

}  // namespace ksv::client::orders
