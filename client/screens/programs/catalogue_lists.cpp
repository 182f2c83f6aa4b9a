// Fetching the catalogues and picking from them.
#include "client/screens/programs/catalogue_lists.h"

#include <cstdio>

#include "client/keys.h"
#include "client/screens/users/user_picker.h"
#include "protocol/record_file.h"
#include "toolkit/kit/kit.h"

namespace ksv::client::programs {

namespace {

using namespace keys;

// The list file a catalogue command's reply names, downloaded; its records.
template <class T>
std::optional<std::vector<T>> fetch_list(Frame& f, uint8_t code, const char* status_key,
                                        int32_t ok_reply) {
  f.compose();
  if (f.request(code, status_key) != ok_reply) return std::nullopt;
  const std::string name = f.download_named_in_reply();
  if (name.empty()) return std::nullopt;
  return read_records<T>(f.temp_path(name));
}

// Record 0 of the material and placement files holds the last ID given out, not an entry.
template <class T>
std::vector<T> entries_of(std::vector<T> all) {
  if (!all.empty()) all.erase(all.begin());
  std::erase_if(all, [](const T& r) { return r.ID <= 0; });
  return all;
}

}  // namespace

std::optional<std::vector<TBarva>> fetch_threads(Frame& f, Workspace& ws) {
  auto all = fetch_list<TBarva>(f, 57, "readnit", 205);
  if (!all) return std::nullopt;
  std::erase_if(*all, [](const TBarva& t) { return t.KOD.empty(); });
  ws.threads.clear();
  for (const TBarva& t : *all) ws.threads[t.KOD.str()] = t;
  return all;
}

std::optional<std::vector<TMaterial>> fetch_materials(Frame& f, Workspace& ws) {
  auto all = fetch_list<TMaterial>(f, 58, "readmat", 206);
  if (!all) return std::nullopt;
  std::vector<TMaterial> out = entries_of(std::move(*all));
  for (const TMaterial& m : out) ws.materials.put(m.ID, m.NAZEV.str());
  return out;
}

std::optional<std::vector<TUmisteni>> fetch_placements(Frame& f, Workspace& ws) {
  auto all = fetch_list<TUmisteni>(f, 59, "readmist", 207);
  if (!all) return std::nullopt;
  std::vector<TUmisteni> out = entries_of(std::move(*all));
  for (const TUmisteni& u : out) ws.placements.put(u.ID, u.POPIS.str());
  return out;
}

std::vector<TUmisteni> placements_of(const std::vector<TUmisteni>& all, int32_t material) {
  std::vector<TUmisteni> out;
  for (const TUmisteni& u : all)
    if (u.MATERIAL == material) out.push_back(u);
  return out;
}

std::optional<size_t> pick_line(Frame& f, const std::string& title_key,
                                const std::vector<std::string>& lines) {
  toolkit::Toolkit& tk = f.tk();
  toolkit::ListGuard keep(tk.seznam);
  tk.seznam.SMAZSEZNAM();
  for (size_t i = 0; i < lines.size(); ++i)
    if (tk.seznam.PRIDEJPRVEK(lines[i].substr(0, toolkit::kNameLength),
                              lines[i] + '\0' + std::to_string(i) + '\0', false) != 0)
      break;
  if (tk.seznam.SEZNAM.empty()) return std::nullopt;
  enum { kWaiting, kChosen, kCancelled } answer = kWaiting;
  f.DIALOGOTEVREN = true;
  f.dialog(
      Modal::kUserList, title_key, {300, 300, title_key},
      [&](toolkit::Window& w) {
        tk.okna.PRVNISEZNAMVOKNE(w.index(), 10, 30, 250, 225, 11, 0);
        auto redraw = [&tk] { tk.tlacitka.NUTNOVYKRESLIT = true; };
        toolkit::picture_button(tk, w.index(), "nahoru.bmp",
                                [&tk, redraw] { tk.seznam.SEZNAMNAHORU(); redraw(); }, -15, 30, kUp,
                                22, 20);
        toolkit::picture_button(tk, w.index(), "dolu.bmp",
                                [&tk, redraw] { tk.seznam.SEZNAMDOLU(); redraw(); }, -15, 60, kDown,
                                22, 20);
        toolkit::picture_button(tk, w.index(), "budiz.bmp", [&] { answer = kChosen; }, 10, -10,
                                kEnter);
        toolkit::picture_button(tk, w.index(), "zrusit.bmp", [&] { answer = kCancelled; }, -10,
                                -10, kEscape);
      },
      [&] { return answer != kWaiting || f.screen_left(); });
  f.DIALOGOTEVREN = false;
  if (answer != kChosen || f.screen_left()) return std::nullopt;
  const int at = tk.seznam.highlighted();
  if (at < 0 || at >= int(tk.seznam.SEZNAM.size())) return std::nullopt;
  // The list may have been sorted: the line's own index rides in its second field.
  const std::string idx = tk.seznam.VRATSPECPARAM(at, 2);
  return size_t(std::strtoul(idx.c_str(), nullptr, 10));
}

std::optional<int32_t> pick_user_id(Frame& f, Workspace& ws, const std::string& title_key) {
  std::optional<std::string> name = choose_user(f, title_key);
  if (!name || f.screen_left()) return std::nullopt;
  Packet& b = f.compose();
  b.ULOZRETEZEC(slot::kText, true, *name);
  if (f.request(5, "readid") != 245) return std::nullopt;
  const int32_t id = f.client().conn.BUFFERPACKET.ZISKEJCISLO(908);
  if (id == -1) return std::nullopt;
  ws.users.put(id, *name);
  return id;
}

}  // namespace ksv::client::programs
