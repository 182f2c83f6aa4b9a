// The catalogue commands: lists of threads, materials and placements, saving and deleting their
// entries (replacing one needs right 59), and the placement pictures.
#include "protocol/commands.h"
#include "protocol/file_util.h"
#include "protocol/rights.h"
#include "server/core/handlers.h"
#include "server/core/server.h"
#include "server/core/store_handlers.h"
#include "server/store/catalogues.h"

namespace ksv::server {

namespace {

namespace sl = ksv::slot;

constexpr int kReplaceRight = 59;

Catalogues catalogues(Server& s) { return Catalogues(s.tree().base()); }

template <class T>
T record_at_4(Server& s) {
  T rec{};
  s.buffer().get_raw(sl::kText, &rec, sizeof rec);
  return rec;
}

bool may_replace(Server& s, int slot) { return TESTBIT(s.session(slot).rights, kReplaceRight); }

void reply_save(Server& s, SaveResult r, uint8_t ok) {
  reply(s, r == SaveResult::kSaved     ? ok
           : r == SaveResult::kNoRight ? rep::kNeedsRight
                                       : rep::kFailed);
}

// A copy of a catalogue file in temp under the session's name for it.
void send_copy(Server& s, int slot, const char* file, const char* stem, uint8_t ok) {
  const std::string name = stem + std::to_string(slot);
  if (!copy_file(s.tree().path(file), s.tree().path("temp/" + name))) {
    reply(s, rep::kFailed);
    return;
  }
  s.buffer().ULOZRETEZEC(sl::kText, true, name);
  reply(s, ok);
}

}  // namespace

void cmd_thread_list(Server& s, int slot) {
  send_copy(s, slot, kThreadFile, "nite", rep::kThreads);
}
void cmd_material_list(Server& s, int slot) {
  send_copy(s, slot, kMaterialFile, "mat", rep::kMaterials);
}
void cmd_placement_list(Server& s, int slot) {
  send_copy(s, slot, kPlacementFile, "umist", rep::kPlacements);
}

void cmd_save_thread(Server& s, int slot) {
  reply_save(s, catalogues(s).save_thread(record_at_4<TBarva>(s), may_replace(s, slot)),
             rep::kThreads);
}
void cmd_save_material(Server& s, int slot) {
  reply_save(s, catalogues(s).save_material(record_at_4<TMaterial>(s), may_replace(s, slot)),
             rep::kMaterials);
}
void cmd_save_placement(Server& s, int slot) {
  reply_save(s, catalogues(s).save_placement(record_at_4<TUmisteni>(s), may_replace(s, slot)),
             rep::kPlacements);
}

void cmd_delete_thread(Server& s, int) {
  reply(s, catalogues(s).delete_thread(record_at_4<TBarva>(s)) ? rep::kThreads : rep::kFailed);
}
void cmd_delete_material(Server& s, int) {
  reply(s,
        catalogues(s).delete_material(record_at_4<TMaterial>(s)) ? rep::kMaterials : rep::kFailed);
}
void cmd_delete_placement(Server& s, int) {
  reply(s, catalogues(s).delete_placement(record_at_4<TUmisteni>(s)) ? rep::kPlacements
                                                                     : rep::kFailed);
}

void cmd_placement_picture(Server& s, int slot) {
  const std::string name = "nahl" + std::to_string(slot) + ".ksv";
  switch (catalogues(s).copy_placement_picture(record_at_4<TUmisteni>(s),
                                               s.tree().path("temp/" + name))) {
    case PictureResult::kCopied:
      s.buffer().ULOZRETEZEC(sl::kText, true, name);
      reply(s, rep::kPicture);
      return;
    case PictureResult::kNoPicture:
      reply(s, rep::kPlacements);
      return;
    case PictureResult::kNotFound:
    case PictureResult::kFileError:
      reply(s, rep::kFailed);
      return;
  }
}

void cmd_picture_upload_name(Server& s, int slot) {
  std::optional<int32_t> id = catalogues(s).placement_id_exact(record_at_4<TUmisteni>(s));
  if (!id) {
    reply(s, rep::kFailed);
    return;
  }
  s.buffer().ULOZRETEZEC(sl::kText, true, picture_upload_name(*id, slot));
  reply(s, rep::kPicture);
}

}  // namespace ksv::server
