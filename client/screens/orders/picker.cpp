// The user and material pickers of the search screen.
#include "client/screens/orders/picker.h"

#include <cstdio>
#include <cstring>
#include <map>

#include "client/keys.h"
#include "client/screens/orders/names.h"
#include "protocol/commands.h"
#include "toolkit/kit/list_guard.h"
#include "toolkit/kit/modal.h"
#include "toolkit/kit/picture_button.h"

namespace ksv::client::orders {

using namespace keys;

namespace {

// The names, one a line, of the user list file (fetched with command 10 when the login did not
// leave one in temp/).
std::vector<std::string> user_names(Frame& f) {
  std::vector<std::string> names;
  if (f.SEZNAMUZIVATELU.empty()) {
    Packet& b = f.compose();
    std::memcpy(b.bytes + slot::kSignature, f.config().PODPIS.data(), kSignatureBytes);
    if (f.CEKEJNAODPOVED(req::kUserList, "getlist", true, true) == rep::kUserListFile &&
        !f.received_file().empty())
      f.SEZNAMUZIVATELU = f.received_file();
  }
  if (f.SEZNAMUZIVATELU.empty()) return names;
  std::FILE* in = std::fopen(f.temp_path(f.SEZNAMUZIVATELU).c_str(), "rb");
  if (!in) return names;
  char line[512];
  while (std::fgets(line, sizeof line, in)) {
    std::string name(line);
    while (!name.empty() && (name.back() == '\n' || name.back() == '\r')) name.pop_back();
    if (!name.empty()) names.push_back(name);
  }
  std::fclose(in);
  return names;
}

// A pop-up list of the names with "-" first; the chosen name ("-" for anyone), nullopt when
// cancelled.
std::optional<std::string> choose(Frame& f, const std::string& title_key,
                                  const std::vector<std::string>& names) {
  toolkit::Toolkit& tk = f.tk();
  toolkit::ListGuard kept(tk.seznam);
  tk.seznam.SMAZSEZNAM();
  for (const std::string& n : names)
    if (tk.seznam.PRIDEJPRVEK(n, n + '\0', false) != 0) break;
  if (tk.seznam.PRVKU() > 0) tk.seznam.SETRIDSEZNAM(0, 0, false);
  tk.seznam.SEZNAM.insert(tk.seznam.SEZNAM.begin(), toolkit::TPrvek{"-", std::string("-") + '\0'});
  if (tk.seznam.SEZNAM.size() > size_t(toolkit::kListSize)) tk.seznam.SEZNAM.pop_back();

  const int32_t h = tk.okna.VYTVOROKNO(-1, -1, 250, 300, true, title_key, "");
  if (h == toolkit::kNoFreeWindow) return std::nullopt;
  const int w = h >> 8;
  int result = 0;
  tk.okna.PRVNISEZNAMVOKNE(w, 10, 30, 200, 230, 230 / (tk.texty.AKTVELFONTU + 1) - 1, 0);
  toolkit::picture_button(tk, w, "nahoru.bmp", [&tk] { tk.seznam.SEZNAMNAHORU(); }, -15, 30, kUp, 22);
  toolkit::picture_button(tk, w, "dolu.bmp", [&tk] { tk.seznam.SEZNAMDOLU(); }, -15, 60, kDown, 22);
  toolkit::picture_button(tk, w, "budiz.bmp", [&result] { result = 1; }, 10, -5, kEnter);
  toolkit::picture_button(tk, w, "zrusit.bmp", [&result] { result = 2; }, -10, -5, kEscape);
  tk.tlacitka.VYMAZFRONTU();
  {
    toolkit::ModalScope<Modal> marked(f.modal, Modal::kInput, title_key);
    tk.trace.event("dialog", title_key);
    f.DIALOGOTEVREN = true;
    while (result == 0 && !f.ending() && f.POZADOVANAOBRAZOVKA != kScreenConnect) f.event_step();
    f.DIALOGOTEVREN = false;
  }
  std::optional<std::string> chosen;
  if (result == 1 && tk.seznam.PRVKU() > 0) {
    const std::string& spec = tk.seznam.SEZNAM[size_t(tk.seznam.highlighted())].SPEC;
    chosen = spec.substr(0, spec.find('\0'));
  }
  tk.okna.SMAZOKNO(w);
  return chosen;
}

}  // namespace

std::optional<int32_t> pick_user(Frame& f, Workspace& ws) {
  const std::optional<std::string> name = choose(f, "uzivatel", user_names(f));
  if (!name) return std::nullopt;
  if (*name == "-") return kAnyone;
  f.compose().ULOZRETEZEC(slot::kText, true, *name);
  if (f.request(req::kUserId, "readid") != rep::kUser) return std::nullopt;
  const int32_t id = f.client().conn.BUFFERPACKET.ZISKEJCISLO(slot::kNumber);
  if (id == -1) return std::nullopt;
  ws.users.put(id, *name);
  return id;
}

std::optional<int32_t> pick_material(Frame& f, Workspace& ws) {
  load_catalogue_names(f, ws);
  std::map<std::string, int32_t> by_name;
  std::vector<std::string> names;
  for (const auto& [id, name] : ws.materials.entries()) {
    by_name[name] = id;
    names.push_back(name);
  }
  const std::optional<std::string> name = choose(f, "material2", names);
  if (!name) return std::nullopt;
  if (*name == "-") return kAnyone;
  auto it = by_name.find(*name);
  return it == by_name.end() ? std::nullopt : std::optional<int32_t>(it->second);
}

}  // namespace ksv::client::orders
