// User look-ups and the catalogue pickers.
#include "client/pickers.h"

#include <cstdio>

#include "client/keys.h"
#include "client/screens/users/user_picker.h"

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

// A list of entries in a pop-up over the current screen; the index chosen, nothing when
// cancelled, empty or left.
// `columns` is where the entry's fields start, right of the name (0: the name alone).
std::optional<size_t> choose_entry(Frame& f, const std::string& title_key,
                                   const std::vector<toolkit::TPrvek>& entries, int32_t columns) {
  toolkit::Toolkit& tk = f.tk();
  toolkit::ListGuard keep(tk.seznam);
  tk.seznam.SMAZSEZNAM();
  for (const toolkit::TPrvek& e : entries)
    if (tk.seznam.PRIDEJPRVEK(e.NAZEV, e.SPEC, false) == toolkit::kListFull) break;
  enum { kWaiting, kChosen, kCancelled } answer = kWaiting;
  f.DIALOGOTEVREN = true;
  f.dialog(
      Modal::kPicker, title_key, {400, 300, title_key},
      [&](toolkit::Window& w) {
        // Mode 1 shows the fields as one text, `columns` pixels further right than usual.
        tk.okna.PRVNISEZNAMVOKNE(w.index(), 10, 30, 350, 225, 11, columns > 0 ? (columns << 8) | 1 : 0);
        auto redraw = [&tk] { tk.tlacitka.NUTNOVYKRESLIT = true; };
        toolkit::picture_button(
            tk, w.index(), "nahoru.bmp", [&tk, redraw] { tk.seznam.SEZNAMNAHORU(); redraw(); },
            -15, 30, kUp, 22, 20);
        toolkit::picture_button(
            tk, w.index(), "dolu.bmp", [&tk, redraw] { tk.seznam.SEZNAMDOLU(); redraw(); }, -15,
            60, kDown, 22, 20);
        toolkit::picture_button(
            tk, w.index(), "budiz.bmp",
            [&] { if (!tk.seznam.SEZNAM.empty()) answer = kChosen; }, 10, -10, kEnter);
        toolkit::picture_button(tk, w.index(), "zrusit.bmp", [&] { answer = kCancelled; }, -10,
                                -10, kEscape);
      },
      [&] { return answer != kWaiting || f.screen_left(); });
  f.DIALOGOTEVREN = false;
  if (answer != kChosen || f.screen_left()) return std::nullopt;
  const int at = tk.seznam.highlighted();
  if (at < 0 || at >= int(tk.seznam.SEZNAM.size())) return std::nullopt;
  return size_t(at);
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
  std::optional<std::vector<TBarva>> v = fetch_threads(f, ws);
  if (!v) return std::nullopt;
  std::vector<toolkit::TPrvek> entries;
  for (const TBarva& b : *v)
    entries.push_back(entry(b.KOD.str(), {b.PANTONE.str(), std::to_string(b.BARVA),
                                          f.text(b.SLABA ? "ano" : "ne")}));
  std::optional<size_t> at = choose_entry(f, "nite", entries, 80);
  if (!at) return std::nullopt;
  return (*v)[*at];
}

std::optional<TMaterial> pick_material(Frame& f, Workspace& ws) {
  std::optional<std::vector<TMaterial>> v = fetch_materials(f, ws);
  if (!v) return std::nullopt;
  std::vector<toolkit::TPrvek> entries;
  for (const TMaterial& m : *v) entries.push_back(entry(m.NAZEV.str(), {}));
  std::optional<size_t> at = choose_entry(f, "material", entries, 0);
  if (!at) return std::nullopt;
  return (*v)[*at];
}

std::optional<TUmisteni> pick_placement(Frame& f, Workspace& ws, int32_t material) {
  std::optional<std::vector<TUmisteni>> v = fetch_placements(f, ws);
  if (!v) return std::nullopt;
  // Placements belong to a material; a program offers only those of its own.
  if (material >= 0)
    std::erase_if(*v, [material](const TUmisteni& u) { return u.MATERIAL != material; });
  if (ws.materials.empty()) fetch_materials(f, ws);
  std::vector<toolkit::TPrvek> entries;
  for (const TUmisteni& u : *v)
    entries.push_back(entry(u.POPIS.str(), {ws.materials.name_or_unknown(u.MATERIAL)}));
  std::optional<size_t> at = choose_entry(f, "umisteni", entries, 190);
  if (!at) return std::nullopt;
  return (*v)[*at];
}

}  // namespace ksv::client
