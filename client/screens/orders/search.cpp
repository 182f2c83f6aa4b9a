// The order search (screen 72): the criteria of the browser, twelve of them typed in place, the
// people and the material chosen from lists, three switches. Searching returns to the browser
// with the criteria kept and the list fetched anew; cancelling returns without either.
#include <cstdio>

#include "client/keys.h"
#include "client/pickers.h"
#include "client/screens/orders/order_rules.h"
#include "client/screens/orders/orders.h"
#include "toolkit/kit/text_field.h"
#include "toolkit/kit/picture_button.h"
#include "toolkit/kit/style_guard.h"

namespace ksv::client::orders {

using namespace keys;

namespace {

constexpr int32_t kAnyone = -1;
constexpr int32_t kWidth = 600, kHeight = 340;
constexpr int32_t kFirstRow = 30, kRowStep = 24;
constexpr int32_t kLeftX = 10, kRightX = 305, kValueOffset = 40, kValueW = 200;

// What a field of the screen is: one of the typed criteria (in the order the arrows walk them),
// a person or the material chosen from a list, or a switch.
enum class Kind { kText, kDate, kUser, kMaterial, kSwitch };

struct Field {
  const char* label;
  Kind kind;
  int typed = -1;  // index among the typed criteria, 0-11
};

// Screen order: the left column, then the right one.
constexpr Field kFields[] = {
    {"cis", Kind::kText, 0},   {"pop", Kind::kText, 1},  {"od:", Kind::kDate, 2},
    {"do:", Kind::kDate, 3},   {"uzv", Kind::kUser},     {"zak", Kind::kText, 4},
    {"trm", Kind::kDate, 5},   {"vys", Kind::kDate, 6},  {"blB", Kind::kSwitch},
    {"mat", Kind::kMaterial},  {"vzo", Kind::kSwitch},   {"nev", Kind::kSwitch},
    {"sic", Kind::kUser},      {"sil", Kind::kUser},     {"mpl", Kind::kUser},
    {"pmt", Kind::kText, 7},   {"prg", Kind::kUser},     {"dat", Kind::kDate, 8},
    {"dvs", Kind::kDate, 9},   {"kod", Kind::kText, 10}, {"fkt", Kind::kText, 11},
};
constexpr int kFieldCount = int(std::size(kFields));
constexpr int kLeftRows = 11;
constexpr int kTyped = 12;

void place(int i, int32_t& x, int32_t& y) {
  x = i < kLeftRows ? kLeftX : kRightX;
  y = kFirstRow + (i < kLeftRows ? i : i - kLeftRows) * kRowStep;
}

int field_of_typed(int typed) {
  for (int i = 0; i < kFieldCount; ++i)
    if (kFields[i].typed == typed) return i;
  return 0;
}

// The criterion behind a field: its text, date, id or switch.
PString<255>* text_ptr(TKriteria& k, const std::string& l) {
  if (l == "pop") return &k.description;
  if (l == "zak") return &k.customer;
  if (l == "pmt") return &k.material_text;
  return nullptr;
}
PString<16>* code_ptr(TKriteria& k, const std::string& l) {
  if (l == "cis") return &k.number;
  if (l == "kod") return &k.code;
  if (l == "fkt") return &k.invoice;
  return nullptr;
}
TDatum* date_ptr(TKriteria& k, const std::string& l) {
  if (l == "od:") return &k.from;
  if (l == "do:") return &k.to;
  if (l == "trm") return &k.due;
  if (l == "vys") return &k.embroider_by;
  if (l == "dat") return &k.created;
  if (l == "dvs") return &k.embroidered_on;
  return nullptr;
}
int32_t* id_ptr(TKriteria& k, const std::string& l) {
  if (l == "uzv") return &k.author;
  if (l == "mat") return &k.material;
  if (l == "sic") return &k.to_embroider;
  if (l == "sil") return &k.embroidered_by;
  if (l == "mpl") return &k.handled_by;
  if (l == "prg") return &k.program_author;
  if (l == "blB") return &k.production;
  if (l == "vzo") return &k.without_sample;
  if (l == "nev") return &k.programs;
  return nullptr;
}

std::string value_text(Frame& f, Workspace& ws, int i) {
  TKriteria& k = ws.KRITERIA;
  const std::string l = kFields[i].label;
  switch (kFields[i].kind) {
    case Kind::kText:
      if (PString<255>* t = text_ptr(k, l)) return t->str();
      return code_ptr(k, l)->str();
    case Kind::kDate: return format_date(*date_ptr(k, l));
    case Kind::kUser: {
      const int32_t id = *id_ptr(k, l);
      return id == kAnyone ? "-" : user_name_of(f, ws, id);
    }
    case Kind::kMaterial: {
      const int32_t id = *id_ptr(k, l);
      return id == kAnyone ? "-" : ws.materials.name_or_unknown(id);
    }
    case Kind::kSwitch: {
      const bool on = *id_ptr(k, l) != 0;
      if (l == "blB") return f.text(on ? "bloky-ab" : "bloka");
      return f.text(on ? "ano" : "ne");
    }
  }
  return "";
}

struct SearchState {
  int window = -1;
  int typed = 0;          // the typed criterion now edited
  bool edit_next = true;
  int result = 0;         // 4 search, 2 cancel
  int chosen = -1;        // a picker or switch field to act on
};

void draw_value(Frame& f, Workspace& ws, const SearchState& st, int i) {
  toolkit::Toolkit& tk = f.tk();
  if (!tk.okna.is_open(st.window)) return;
  const toolkit::TOkno& o = tk.okna.OKNO[size_t(st.window)];
  int32_t x, y;
  place(i, x, y);
  const std::string v = value_text(f, ws, i);
  draw::Graph& g = tk.graph;
  toolkit::StyleGuard style(g);
  const int32_t vx = o.X + x + kValueOffset, vy = o.Y + y;
  const int32_t vw = kFields[i].kind == Kind::kText || kFields[i].kind == Kind::kDate ? kValueW
                                                                                       : kValueW - 50;
  g.SETFILLSTYLE(1, tk.images.NAJDIBARVU(32, 32, 32));
  g.BAR(vx, vy, vx + vw, vy + tk.texty.AKTVELFONTU);
  g.SETCOLOR(tk.images.NAJDIBARVU(255, 255, 255));
  g.SETTEXTSTYLE(4, 0, tk.texty.AKTVELFONTU);
  g.SETTEXTJUSTIFY(0, 0);  // y is the text's top
  std::string shown = v;
  while (!shown.empty() && g.TEXTWIDTH(shown) > vw - 2) shown.pop_back();
  g.OUTTEXTXY(vx + 1, vy + 1, shown);
  tk.tlacitka.NUTNOVYKRESLIT = true;
}

void edit_typed(Frame& f, Workspace& ws, SearchState& st) {
  toolkit::Toolkit& tk = f.tk();
  const int i = field_of_typed(st.typed);
  const toolkit::TOkno& o = tk.okna.OKNO[size_t(st.window)];
  int32_t x, y;
  place(i, x, y);
  TKriteria& k = ws.KRITERIA;
  const std::string l = kFields[i].label;
  std::string text = value_text(f, ws, i);
  const size_t max = kFields[i].kind == Kind::kDate ? 10 : code_ptr(k, l) ? 16 : 255;
  toolkit::TextField input(tk, o.X + x + kValueOffset, o.Y + y,
                           kValueW / (tk.texty.AKTVELFONTU / 2), max, text);
  input.text_colour = tk.images.NAJDIBARVU(255, 255, 255);
  input.background = tk.images.NAJDIBARVU(0, 0, 96);
  // A key typed right after the previous criterion was confirmed starts this one.
  for (int key; (key = tk.tlacitka.take_key()) >= 0;) input.key(key);
  if (input.edit()) {
    text = input.text();
    if (TDatum* d = date_ptr(k, l)) *d = parse_date(text);
    else if (PString<255>* t = text_ptr(k, l)) t->assign(text);
    else code_ptr(k, l)->assign(text);
  }
  draw_value(f, ws, st, i);
}

// A picker or switch field, chosen by its button. A person or material already chosen is
// cleared by the button ("-": anyone); otherwise the picker offers one.
void act_on(Frame& f, Workspace& ws, SearchState& st, int i) {
  TKriteria& k = ws.KRITERIA;
  int32_t* id = id_ptr(k, kFields[i].label);
  switch (kFields[i].kind) {
    case Kind::kUser:
      if (*id != kAnyone) *id = kAnyone;
      else if (std::optional<int32_t> v = pick_user_id(f, ws, "uzivatel")) *id = *v;
      break;
    case Kind::kMaterial:
      if (*id != kAnyone) *id = kAnyone;
      else if (std::optional<TMaterial> m = pick_material(f, ws)) *id = m->ID;
      break;
    case Kind::kSwitch: *id = *id ? 0 : 1; break;
    default: break;
  }
  draw_value(f, ws, st, i);
}

}  // namespace

void build_search(Frame& f, Workspace& ws) {
  toolkit::Toolkit& tk = f.tk();
  tk.okna.SMAZOKNA();
  const int32_t h = tk.okna.VYTVOROKNO(-1, -1, kWidth, kHeight, false, "hledzak", "");
  if (h == toolkit::kNoFreeWindow) return;
  SearchState st;
  st.window = h >> 8;
  const int w = st.window;
  SearchState* sp = &st;
  Frame* fp = &f;
  auto end_field = [&tk, sp] {
    sp->edit_next = true;
    tk.okna.KONECZADAVANI = 1;
  };
  toolkit::picture_button(tk, w, "pomoc.bmp", [fp, end_field] {
    fp->defer([fp] { fp->help(); });
    end_field();
  }, 10, -10, kF1);
  toolkit::picture_button(tk, w, "stranap.bmp", [sp, end_field] {
    sp->typed = sp->typed == 0 ? kTyped - 1 : sp->typed - 1;
    end_field();
  }, 70, -10, kTab);
  toolkit::picture_button(tk, w, "stranad.bmp", [sp, end_field] {
    sp->typed = sp->typed == kTyped - 1 ? 0 : sp->typed + 1;
    end_field();
  }, 130, -10, kEnter);
  toolkit::picture_button(tk, w, "hledej.bmp", [sp, end_field] {
    sp->result = 4;
    end_field();
  }, -65, -10, kF2);
  toolkit::picture_button(tk, w, "zrusit.bmp", [&tk, sp] {
    sp->result = 2;
    tk.okna.KONECZADAVANI = 2;
  }, -10, -10, kEscape);

  {
    draw::Graph& g = tk.graph;
    toolkit::StyleGuard style(g);
    const toolkit::TOkno& o = tk.okna.OKNO[size_t(w)];
    g.SETCOLOR(tk.images.NAJDIBARVU(192, 192, 255));
    g.SETTEXTSTYLE(4, 0, tk.texty.AKTVELFONTU);
    g.SETTEXTJUSTIFY(0, 0);  // y is the text's top
    for (int i = 0; i < kFieldCount; ++i) {
      int32_t x, y;
      place(i, x, y);
      g.OUTTEXTXY(o.X + x, o.Y + y + 1, kFields[i].label);
    }
  }
  for (int i = 0; i < kFieldCount; ++i) {
    draw_value(f, ws, st, i);
    if (kFields[i].kind == Kind::kText || kFields[i].kind == Kind::kDate) continue;
    int32_t x, y;
    place(i, x, y);
    toolkit::picture_button(tk, w, "zmena.bmp", [sp, i, end_field] {
      sp->chosen = i;
      end_field();
    }, x + kValueOffset + kValueW - 45, y, 0, 45, 18);
  }

  tk.tlacitka.VYMAZFRONTU();  // keys the browser left are not criteria
  while (!f.screen_left() && st.result == 0) {
    f.event_step();
    if (f.screen_left() || st.result != 0) break;
    if (st.chosen >= 0) {
      const int i = st.chosen;
      st.chosen = -1;
      act_on(f, ws, st, i);
    } else if (st.edit_next) {
      st.edit_next = false;
      edit_typed(f, ws, st);
    }
  }
  if (f.screen_left()) return;
  if (st.result == 4) {
    ws.PONECHATKRITERIA = true;
    ws.NACISTZNOVU = true;
  }
  f.request_screen(kScreenBrowser);
}

}  // namespace ksv::client::orders
