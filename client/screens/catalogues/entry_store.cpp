// Saving and deleting catalogue entries: the key looked up in a freshly fetched list, the
// record sent at 4, the reply handed back.
#include "client/screens/catalogues/entry_store.h"

#include <optional>
#include <vector>

#include "client/frame.h"
#include "client/pickers.h"
#include "client/screens/catalogues/entry_keys.h"
#include "client/workspace.h"
#include "protocol/commands.h"

namespace ksv::client::catalogues {

namespace {

constexpr int kRecordAt = slot::kText;

template <class T>
int32_t send_record(Frame& f, uint8_t code, const char* status_key, const T& record) {
  f.compose().put_raw(kRecordAt, &record, sizeof record);
  return f.request(code, status_key);
}

// 237 is no error the frame reports by itself: here it means the key exists and the user may
// not replace it, which the user must hear of, or the edit would seem to have been saved.
EntrySave finish(Frame& f, int32_t reply, int32_t ok, bool replaced, int32_t id) {
  if (reply == rep::kNeedsRight) f.error_dialog("error237", f.text("error237"));
  return {reply == ok, reply, replaced, id};
}

}  // namespace

EntrySave save_thread(Frame& f, Workspace& ws, const TBarva& edited) {
  // Threads carry no ID, but the list still tells a replacement from a new entry.
  std::optional<std::vector<TBarva>> listed = fetch_threads(f, ws);
  if (!listed) return {};
  const bool replaced = listed_at(edited, *listed).has_value();
  const int32_t reply = send_record(f, req::kSaveThread, "addnit", edited);
  if (reply == rep::kThreads) {
    // The server matches codes in upper case: the entry replaced may be spelt otherwise.
    std::erase_if(ws.threads, [&](const auto& e) { return same_key(e.second, edited); });
    ws.threads.emplace(thread_key(edited), edited);
  }
  return finish(f, reply, rep::kThreads, replaced, 0);
}

EntrySave save_material(Frame& f, Workspace& ws, const TMaterial& edited) {
  std::optional<std::vector<TMaterial>> listed = fetch_materials(f, ws);
  if (!listed) return {};
  const TMaterial out = material_to_send(edited, *listed);
  const int32_t reply = send_record(f, req::kSaveMaterial, "addmat", out);
  if (reply == rep::kMaterials && out.ID != 0) ws.materials.put(out.ID, out.NAZEV.str());
  return finish(f, reply, rep::kMaterials, out.ID != 0, out.ID);
}

EntrySave save_placement(Frame& f, Workspace& ws, const TUmisteni& edited) {
  std::optional<std::vector<TUmisteni>> listed = fetch_placements(f, ws);
  if (!listed) return {};
  const TUmisteni out = placement_to_send(edited, *listed);
  const int32_t reply = send_record(f, req::kSavePlacement, "addumist", out);
  if (reply == rep::kPlacements && out.ID != 0) ws.placements.put(out.ID, out.POPIS.str());
  return finish(f, reply, rep::kPlacements, out.ID != 0, out.ID);
}

bool delete_thread(Frame& f, Workspace& ws, const TBarva& listed) {
  if (send_record(f, req::kDeleteThread, "delnit", listed) != rep::kThreads) return false;
  std::erase_if(ws.threads, [&](const auto& e) { return same_key(e.second, listed); });
  return true;
}

bool delete_material(Frame& f, Workspace& ws, const TMaterial& listed) {
  if (send_record(f, req::kDeleteMaterial, "delmat", listed) != rep::kMaterials) return false;
  ws.materials.erase(listed.ID);
  return true;
}

bool delete_placement(Frame& f, Workspace& ws, const TUmisteni& listed) {
  if (send_record(f, req::kDeletePlacement, "delumist", listed) != rep::kPlacements) return false;
  ws.placements.erase(listed.ID);
  return true;
}

}  // namespace ksv::client::catalogues
