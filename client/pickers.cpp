// User look-ups and the catalogue pickers.
#include "client/pickers.h"

#include <cstdio>
#include <functional>

#include "client/keys.h"
#include "client/screens/catalogues/entry_store.h"
#include "client/screens/users/user_picker.h"
#include "protocol/rights.h"

namespace ksv::client {

namespace {

using namespace keys;

template <class T>
std::vector<T> read_records(const std::string& path, bool header) {
  std::vector<T> out;
  std::FILE* in = std::fopen(path.c_str(), "rb");
  if (!in) return out;
  T r;
  for (bool first = true; std::fread(&r, sizeof r, 1, in) == 1; first = false)
    if (!(header && first)) out.push_back(r);
  std::fclose(in);
  return out;
}

// One catalogue command: the list file named in its reply, downloaded into temp/.
std::optional<std::string> fetch_list(Frame& f, uint8_t code, const char* status_key,
                                      int32_t reply) {
  f.compose();
  if (f.request(code, status_key) != reply) return std::nullopt;
  const std::string name = f.download_named_in_reply();
  if (name.empty()) return std::nullopt;
  return f.temp_path(name);
}

// What the user did in a picker: chose the entry at `at`, asked to add an entry (the editor
// screen follows) or to delete the entry at `at`, or cancelled (also when the screen was left).
struct PickerAnswer {
  enum Kind { kCancelled, kChosen, kAdd, kDelete } kind = kCancelled;
  size_t at = 0;
};

struct PickerSpec {
  std::string title_key;
  int32_t columns = 0;      // where the entry's fields start, right of the name (0: name alone)
  // Column headings above the list: the name's, "|", the fields' (empty: none).
  const char* heading_key = "";
  bool may_add = false;     // pridat: the user has the right to save entries
  bool may_delete = false;  // smaz: the right to delete them
  size_t start_at = 0;      // the entry highlighted first
};

constexpr uint8_t kDeleteKey = 83;  // the Delete key's second code

// The headings over the name and over the fields of a picker's list.
void draw_heading(Frame& f, const toolkit::Window& w, const std::string& heading,
                  int32_t columns) {
  toolkit::Toolkit& tk = f.tk();
  draw::Graph& g = tk.graph;
  toolkit::StyleGuard style(g);
  g.SETCOLOR(tk.images.NAJDIBARVU(192, 192, 255));
  g.SETTEXTSTYLE(4, 0, tk.texty.AKTVELFONTU);
  g.SETTEXTJUSTIFY(0, 0);  // y is the text's top
  const size_t bar = heading.find('|');
  const int32_t x = w.x() + 20, y = w.y() + 28;
  g.OUTTEXTXY(x, y, heading.substr(0, bar));
  if (bar != std::string::npos && columns > 0) g.OUTTEXTXY(x + columns + 5, y, heading.substr(bar + 1));
}

// A list of entries in a pop-up over the current screen.
PickerAnswer choose_entry(Frame& f, const PickerSpec& spec,
                          const std::vector<toolkit::TPrvek>& entries) {
  toolkit::Toolkit& tk = f.tk();
  toolkit::ListGuard keep(tk.seznam);
  tk.seznam.SMAZSEZNAM();
  for (const toolkit::TPrvek& e : entries)
    if (tk.seznam.PRIDEJPRVEK(e.NAZEV, e.SPEC, false) == toolkit::kListFull) break;
  for (size_t i = 0; i < spec.start_at && int(i) + 1 < tk.seznam.PRVKU(); ++i)
    tk.seznam.SEZNAMDOLU();
  PickerAnswer answer;
  bool answered = false;
  auto on_entry = [&](PickerAnswer::Kind kind) {
    return [&, kind] {
      if (tk.seznam.SEZNAM.empty()) return;
      answer.kind = kind;
      answered = true;
    };
  };
  f.DIALOGOTEVREN = true;
  f.dialog(
      Modal::kPicker, spec.title_key, {400, 300, spec.title_key},
      [&](toolkit::Window& w) {
        const bool headed = *spec.heading_key != '\0';
        if (headed) draw_heading(f, w, f.text(spec.heading_key), spec.columns);
        // Mode 1 shows the fields as one text, `columns` pixels further right than usual.
        tk.okna.PRVNISEZNAMVOKNE(w.index(), 10, headed ? 46 : 30, 350, headed ? 209 : 225,
                                 headed ? 10 : 11, spec.columns > 0 ? (spec.columns << 8) | 1 : 0);
        auto redraw = [&tk] { tk.tlacitka.NUTNOVYKRESLIT = true; };
        toolkit::picture_button(
            tk, w.index(), "nahoru.bmp", [&tk, redraw] { tk.seznam.SEZNAMNAHORU(); redraw(); },
            -15, 30, kUp, 22, 20);
        toolkit::picture_button(
            tk, w.index(), "dolu.bmp", [&tk, redraw] { tk.seznam.SEZNAMDOLU(); redraw(); }, -15,
            60, kDown, 22, 20);
        toolkit::picture_button(tk, w.index(), "budiz.bmp", on_entry(PickerAnswer::kChosen), 10,
                                -10, kEnter);
        if (spec.may_add)
          toolkit::picture_button(tk, w.index(), "pridat.bmp", [&] {
            answer.kind = PickerAnswer::kAdd;
            answered = true;
          }, 70, -10, kInsert);
        if (spec.may_delete)
          toolkit::picture_button(tk, w.index(), "smaz.bmp", on_entry(PickerAnswer::kDelete), 130,
                                  -10, kDeleteKey);
        toolkit::picture_button(tk, w.index(), "zrusit.bmp", [&] {
          answer.kind = PickerAnswer::kCancelled;
          answered = true;
        }, -10, -10, kEscape);
      },
      [&] { return answered || f.screen_left(); });
  f.DIALOGOTEVREN = false;
  if (!answered || f.screen_left()) return {};
  const int at = tk.seznam.highlighted();
  if (answer.kind != PickerAnswer::kAdd) {
    if (at < 0 || at >= int(tk.seznam.SEZNAM.size())) return {};
    answer.at = size_t(at);
  }
  return answer;
}

// The name as it fits before the fields' column (bold, as the highlighted row shows it): a long
// one is cut and ends in "...", so it never runs into the fields.
std::string fitted_name(Frame& f, std::string name, int32_t columns) {
  if (columns <= 0) return name;
  draw::Graph& g = f.tk().graph;
  toolkit::StyleGuard style(g);
  g.SETTEXTSTYLE(20, 0, f.tk().texty.AKTVELFONTU);
  const int32_t room = columns - 10;
  // The list keeps 32 characters of a name; the dots must be among them.
  constexpr size_t kListName = 32;
  const bool cut = name.size() > kListName;
  if (cut) name.resize(kListName - 3);
  if (g.TEXTWIDTH(cut ? name + "..." : name) <= room) return cut ? name + "..." : name;
  while (!name.empty() && g.TEXTWIDTH(name + "...") > room) name.pop_back();
  return name + "...";
}

// A catalogue as its picker handles it: how it is fetched and shown, the editor screen that adds
// to it, the rights to add and to delete, and how an entry is deleted.
template <class T>
struct Catalogue {
  const char* title_key;
  const char* heading_key;
  int32_t columns;
  int32_t editor_screen;
  int add_right, delete_right;
  std::optional<std::vector<T>> (*fetch)(Frame&, Workspace&);
  bool (*remove)(Frame&, Workspace&, const T&);
};

// An editor must not open over another editor: the edit in progress there would be lost.
bool on_an_editor(const Frame& f) {
  return f.AKTUALNIOBRAZOVKA >= kThreadEditor && f.AKTUALNIOBRAZOVKA <= kPlacementEditor;
}

// The picker's loop: the list fetched anew every time it is shown, so an entry deleted or
// added is seen at once. Adding leaves for the editor screen, which comes back to this screen.
template <class T>
std::optional<T> pick(Frame& f, Workspace& ws, const Catalogue<T>& c,
                      const std::function<bool(const T&)>& offered,
                      const std::function<toolkit::TPrvek(const T&)>& shown) {
  const int64_t rights = f.info().MOJEPRAVA;
  PickerSpec spec{c.title_key, c.columns, c.heading_key,
                  TESTBIT(rights, c.add_right) && !on_an_editor(f), TESTBIT(rights, c.delete_right),
                  0};
  for (;;) {
    std::optional<std::vector<T>> v = c.fetch(f, ws);
    if (!v || f.screen_left()) return std::nullopt;
    if (offered) std::erase_if(*v, [&](const T& r) { return !offered(r); });
    std::vector<toolkit::TPrvek> entries;
    for (const T& r : *v) {
      entries.push_back(shown(r));
      entries.back().NAZEV = fitted_name(f, entries.back().NAZEV, c.columns);
    }
    const PickerAnswer a = choose_entry(f, spec, entries);
    switch (a.kind) {
      case PickerAnswer::kCancelled: return std::nullopt;
      case PickerAnswer::kChosen: return (*v)[a.at];
      case PickerAnswer::kAdd:
        ws.push_return(f.AKTUALNIOBRAZOVKA);
        f.request_screen(c.editor_screen);
        return std::nullopt;
      case PickerAnswer::kDelete:
        if (f.POTVRZENI() && !f.screen_left()) c.remove(f, ws, (*v)[a.at]);
        if (f.screen_left()) return std::nullopt;
        spec.start_at = a.at;
        break;
    }
  }
}

toolkit::TPrvek entry(std::string name, std::initializer_list<std::string> fields) {
  toolkit::TPrvek e;
  e.NAZEV = std::move(name);
  for (const std::string& f : fields) {
    e.SPEC += f;
    e.SPEC += '\0';
  }
  return e;
}

}  // namespace

// ------------------------------------------------------------------------------------ users

int32_t user_id_of(Frame& f, const std::string& name) {
  f.compose().ULOZRETEZEC(slot::kText, true, name);
  if (f.request(5, "readid") != 245) return -1;
  return f.client().conn.BUFFERPACKET.ZISKEJCISLO(slot::kNumber);
}

std::string user_name_of(Frame& f, Workspace& ws, int32_t id) {
  if (std::optional<std::string> known = ws.users.find(id)) return *known;
  if (id < 0) return "???";
  f.compose().ULOZCISLO(slot::kNumber, id);
  if (f.request(6, "readname") != 245) return "???";
  const std::string name = f.client().conn.BUFFERPACKET.ZISKEJRETEZEC(slot::kText, true);
  if (name.empty()) return "???";
  ws.users.put(id, name);
  return name;
}

std::optional<int32_t> pick_user_id(Frame& f, Workspace& ws, const std::string& title_key) {
  std::optional<std::string> name = choose_user(f, title_key);
  if (!name) return std::nullopt;
  const int32_t id = user_id_of(f, *name);
  if (id < 0) return std::nullopt;
  ws.users.put(id, *name);
  return id;
}

// ------------------------------------------------------------------------------- catalogues

std::vector<TBarva> read_thread_list(const std::string& path) {
  std::vector<TBarva> v = read_records<TBarva>(path, false);
  std::erase_if(v, [](const TBarva& b) { return b.KOD.empty(); });
  return v;
}

std::vector<TMaterial> read_material_list(const std::string& path) {
  std::vector<TMaterial> v = read_records<TMaterial>(path, true);
  std::erase_if(v, [](const TMaterial& m) { return m.NAZEV.empty(); });
  return v;
}

std::vector<TUmisteni> read_placement_list(const std::string& path) {
  std::vector<TUmisteni> v = read_records<TUmisteni>(path, true);
  std::erase_if(v, [](const TUmisteni& u) { return u.POPIS.empty(); });
  return v;
}

std::optional<std::vector<TBarva>> fetch_threads(Frame& f, Workspace& ws) {
  std::optional<std::string> path = fetch_list(f, 57, "readnit", 205);
  if (!path) return std::nullopt;
  std::vector<TBarva> v = read_thread_list(*path);
  ws.threads.clear();
  for (const TBarva& b : v) ws.threads.emplace(thread_key(b), b);
  return v;
}

std::optional<std::vector<TMaterial>> fetch_materials(Frame& f, Workspace& ws) {
  std::optional<std::string> path = fetch_list(f, 58, "readmat", 206);
  if (!path) return std::nullopt;
  std::vector<TMaterial> v = read_material_list(*path);
  ws.materials.clear();
  for (const TMaterial& m : v) ws.materials.put(m.ID, m.NAZEV.str());
  return v;
}

std::optional<std::vector<TUmisteni>> fetch_placements(Frame& f, Workspace& ws) {
  std::optional<std::string> path = fetch_list(f, 59, "readmist", 207);
  if (!path) return std::nullopt;
  std::vector<TUmisteni> v = read_placement_list(*path);
  ws.placements.clear();
  for (const TUmisteni& u : v) ws.placements.put(u.ID, u.POPIS.str());
  return v;
}

std::optional<TBarva> pick_thread(Frame& f, Workspace& ws) {
  static constexpr Catalogue<TBarva> kThreads{"nite", "nitehlav", 80, kThreadEditor, 10, 11, fetch_threads,
                                              catalogues::delete_thread};
  return pick<TBarva>(f, ws, kThreads, nullptr, [&f](const TBarva& b) {
    return entry(b.KOD.str(), {b.PANTONE.str(), std::to_string(b.BARVA),
                               f.text(b.SLABA ? "ano" : "ne")});
  });
}

std::optional<TMaterial> pick_material(Frame& f, Workspace& ws) {
  static constexpr Catalogue<TMaterial> kMaterials{
      "material", "mathlav", 250, kMaterialEditor, 12, 13, fetch_materials, catalogues::delete_material};
  return pick<TMaterial>(f, ws, kMaterials, nullptr, [](const TMaterial& m) {
    return entry(m.NAZEV.str(), {std::to_string(material_speed(m))});
  });
}

std::optional<TUmisteni> pick_placement(Frame& f, Workspace& ws, int32_t material) {
  static constexpr Catalogue<TUmisteni> kPlacements{
      "umisteni", "umisthlav", 190, kPlacementEditor, 14, 15, fetch_placements, catalogues::delete_placement};
  if (ws.materials.empty()) fetch_materials(f, ws);
  // Placements belong to a material; a program offers only those of its own.
  std::function<bool(const TUmisteni&)> offered;
  if (material >= 0) offered = [material](const TUmisteni& u) { return u.MATERIAL == material; };
  return pick<TUmisteni>(f, ws, kPlacements, offered, [&ws](const TUmisteni& u) {
    return entry(u.POPIS.str(), {ws.materials.name_or_unknown(u.MATERIAL)});
  });
}

}  // namespace ksv::client
