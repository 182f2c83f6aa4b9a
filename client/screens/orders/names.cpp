// Names by id for the orders screens.
#include "client/screens/orders/names.h"

#include <cstdio>

#include "protocol/commands.h"
#include "protocol/records/catalogues.h"

namespace ksv::client::orders {

namespace {

template <typename Record, typename Name>
std::vector<CatalogueName> read_catalogue(const std::string& path, Name name_of) {
  std::vector<CatalogueName> out;
  std::FILE* in = std::fopen(path.c_str(), "rb");
  if (!in) return out;
  Record r{};
  for (bool header = true; std::fread(&r, sizeof r, 1, in) == 1; header = false) {
    if (header) continue;
    std::string name = name_of(r);
    if (!name.empty()) out.push_back({r.ID, std::move(name)});
  }
  std::fclose(in);
  return out;
}

void load(Frame& f, NameCache& cache, uint8_t code, const char* status,
          std::vector<CatalogueName> (*read)(const std::string&)) {
  f.compose();
  const int32_t reply = f.request(code, status);
  if (reply != rep::kMaterials && reply != rep::kPlacements) return;
  const std::string file = f.download_named_in_reply();
  if (file.empty()) return;
  for (const CatalogueName& c : read(f.temp_path(file))) cache.put(c.id, c.name);
}

}  // namespace

std::vector<CatalogueName> read_materials(const std::string& path) {
  return read_catalogue<TMaterial>(path, [](const TMaterial& m) { return m.NAZEV.str(); });
}

std::vector<CatalogueName> read_placements(const std::string& path) {
  return read_catalogue<TUmisteni>(path, [](const TUmisteni& u) { return u.POPIS.str(); });
}

std::string user_name(Frame& f, Workspace& ws, int32_t id) {
  if (id == -1) return "";
  if (std::optional<std::string> known = ws.users.find(id)) return *known;
  f.compose().ULOZCISLO(slot::kNumber, id);
  if (f.request(req::kUserName, "readname") != rep::kUser) return "???";
  std::string name = f.client().conn.BUFFERPACKET.ZISKEJRETEZEC(slot::kText, true);
  if (name.empty()) return "???";
  ws.users.put(id, name);
  return name;
}

void load_catalogue_names(Frame& f, Workspace& ws) {
  if (ws.materials.empty()) load(f, ws.materials, req::kMaterialList, "readmat", read_materials);
  if (ws.placements.empty())
    load(f, ws.placements, req::kPlacementList, "readumist", read_placements);
}

}  // namespace ksv::client::orders
