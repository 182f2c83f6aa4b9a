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

Catalogues catalogues(Context& c) { return Catalogues(c.server.tree().base()); }

template <class T>
T record_at_4(Context& c) {
  T rec{};
  c.packet.get_raw(sl::kText, &rec, sizeof rec);
  return rec;
}

bool may_replace(Context& c) { return TESTBIT(c.session.rights, kReplaceRight); }

void reply_save(Context& c, SaveResult r, uint8_t ok) {
  reply(c, r == SaveResult::kSaved     ? ok
           : r == SaveResult::kNoRight ? rep::kNeedsRight
                                       : rep::kFailed);
}

// A copy of a catalogue file in temp under the session's name for it.
void send_copy(Context& c, const char* file, const char* stem, uint8_t ok) {
  const std::string name = stem + std::to_string(c.slot);
  if (!copy_file(c.server.tree().path(file), c.server.tree().path("temp/" + name))) {
    reply(c, rep::kFailed);
    return;
  }
  c.packet.ULOZRETEZEC(sl::kText, true, name);
  reply(c, ok);
}

}  // namespace

void cmd_thread_list(Context& c) { send_copy(c, kThreadFile, "nite", rep::kThreads); }
void cmd_material_list(Context& c) { send_copy(c, kMaterialFile, "mat", rep::kMaterials); }
void cmd_placement_list(Context& c) { send_copy(c, kPlacementFile, "umist", rep::kPlacements); }

void cmd_save_thread(Context& c) {
  reply_save(c, catalogues(c).save_thread(record_at_4<TBarva>(c), may_replace(c)), rep::kThreads);
}
void cmd_save_material(Context& c) {
  reply_save(c, catalogues(c).save_material(record_at_4<TMaterial>(c), may_replace(c)),
             rep::kMaterials);
}
void cmd_save_placement(Context& c) {
  reply_save(c, catalogues(c).save_placement(record_at_4<TUmisteni>(c), may_replace(c)),
             rep::kPlacements);
}

void cmd_delete_thread(Context& c) {
  reply(c, catalogues(c).delete_thread(record_at_4<TBarva>(c)) ? rep::kThreads : rep::kFailed);
}
void cmd_delete_material(Context& c) {
  reply(c, catalogues(c).delete_material(record_at_4<TMaterial>(c)) ? rep::kMaterials
                                                                     : rep::kFailed);
}
void cmd_delete_placement(Context& c) {
  reply(c, catalogues(c).delete_placement(record_at_4<TUmisteni>(c)) ? rep::kPlacements
                                                                      : rep::kFailed);
}

void cmd_placement_picture(Context& c) {
  const std::string name = "nahl" + std::to_string(c.slot) + ".ksv";
  switch (catalogues(c).copy_placement_picture(record_at_4<TUmisteni>(c),
                                               c.server.tree().path("temp/" + name))) {
    case PictureResult::kCopied:
      c.packet.ULOZRETEZEC(sl::kText, true, name);
      reply(c, rep::kPicture);
      return;
    case PictureResult::kNoPicture:
      reply(c, rep::kPlacements);
      return;
    case PictureResult::kNotFound:
    case PictureResult::kFileError:
      reply(c, rep::kFailed);
      return;
  }
}

void cmd_picture_upload_name(Context& c) {
  std::optional<int32_t> id = catalogues(c).placement_id_exact(record_at_4<TUmisteni>(c));
  if (!id) {
    reply(c, rep::kFailed);
    return;
  }
  const std::string name = picture_upload_name(*id, c.slot);
  c.server.store().expect_picture(c.slot, name);
  c.packet.ULOZRETEZEC(sl::kText, true, name);
  reply(c, rep::kPicture);
}

}  // namespace ksv::server
