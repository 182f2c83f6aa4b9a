// Orders and programs for a session: create, open, close, copy and delete orders; create, open
// and close programs; stitch data for linked programs; the lists and searches of command 63; and
// what finished uploads and closing sessions mean to the store.
#include <algorithm>
#include <vector>

#include "protocol/commands.h"
#include "protocol/file_util.h"
#include "server/core/handlers.h"
#include "server/core/server.h"
#include "server/core/store_handlers.h"
#include "server/store/catalogues.h"
#include "server/store/order_search.h"
#include "server/store/orders.h"

namespace ksv::server {

namespace {

namespace sl = ksv::slot;

// Copy order: the number of programs at 600 and the k-th code (k from 1) as a String[16] at
// 604 + 17 * k.
constexpr int kCopyCount = 600;
constexpr int kCopyCodes = 604;

OrderStore orders(Server& s) { return OrderStore(s.tree().base()); }

// The order and program replies carry the read-only mark at 4; a held order is refused
// outright, so it is always 0.
void reply_open(Server& s, uint8_t code) {
  s.buffer().ULOZCISLO(sl::kText, 0);
  reply(s, code);
}

// The directory key of the counted string at `at`.
std::optional<std::string> key_at(Server& s, int at) {
  std::string name;
  if (!s.buffer().ZISKEJRETEZEC(at, true, name)) return std::nullopt;
  return directory_key(name);
}

// Some session (`except` left out) has the order open.
bool order_held(Server& s, const std::string& key, int except = -1) {
  for (int i = 0; i < kMaxSessions; ++i)
    if (i != except && s.session(i).in_use && s.session(i).open_order == key) return true;
  return false;
}

// The program codes of a copy request; nothing when one of them cannot be read or is not a
// plain name. A count outside 1..24 copies no program.
std::optional<std::vector<std::string>> copy_codes(const Packet& b) {
  std::vector<std::string> codes;
  const int32_t n = b.ZISKEJCISLO(kCopyCount);
  if (n < 1 || n > kMaxCopiedPrograms) return codes;
  for (int k = 1; k <= n; ++k) {
    const int at = kCopyCodes + 17 * k;
    if (at >= kPacketSize) return std::nullopt;
    const size_t len = b.bytes[at];
    // The last entries reach past the packet's end; a code that does not fit is refused.
    if (len > kCodeLength || at + 1 + int(len) > kPacketSize) return std::nullopt;
    std::optional<std::string> key =
        directory_key(std::string_view(reinterpret_cast<const char*>(b.bytes + at + 1), len));
    if (!key) return std::nullopt;
    codes.push_back(*key);
  }
  return codes;
}

void end_program(Server& s, int slot) {
  s.session(slot).open_program.clear();
  s.store().clear_links(slot);
}

}  // namespace

void update_program_flags(Server& s, int leaving) {
  for (int i = 0; i < kMaxSessions; ++i) {
    TKlient& k = s.session(i);
    bool elsewhere = false;
    if (i != leaving && k.in_use && !k.open_order.empty() && !k.open_program.empty()) {
      for (int j = 0; j < kMaxSessions && !elsewhere; ++j) {
        const TKlient& o = s.session(j);
        elsewhere = j != i && j != leaving && o.in_use && o.open_order == k.open_order &&
                    o.open_program == k.open_program;
      }
    }
    k.program_in_use_elsewhere = elsewhere;
  }
}

void cmd_create_order(Context& c) {
  TKlient& k = c.session;
  std::string number;
  if (!k.open_order.empty() || !c.packet.ZISKEJRETEZEC(sl::kText, true, number)) {
    reply(c, rep::kFailed);
    return;
  }
  std::optional<std::string> key = directory_key(number);
  OrderStore o = orders(c.server);
  if (!key || o.order_exists(*key) || !o.create_order(number, k.user_id)) {
    reply(c, rep::kFailed);
    return;
  }
  reply_open(c.server, rep::kOrderCreated);
}

void cmd_open_order(Context& c) {
  TKlient& k = c.session;
  std::optional<std::string> key = key_at(c.server, sl::kText);
  if (!k.open_order.empty() || !key || order_held(c.server, *key, c.slot) ||
      !orders(c.server).order_exists(*key)) {
    reply(c, rep::kFailed);
    return;
  }
  k.open_order = *key;
  reply_open(c.server, rep::kOrderOpened);
}

void cmd_close_order(Context& c) {
  TKlient& k = c.session;
  if (k.open_order.empty()) {
    reply(c, rep::kFailed);
    return;
  }
  // A program cannot stay open without its order: it would block every later open.
  end_program(c.server, c.slot);
  k.open_order.clear();
  update_program_flags(c.server);
  reply_open(c.server, rep::kOrderClosed);
}

void cmd_delete_order(Context& c) {
  std::optional<std::string> key = key_at(c.server, sl::kText);
  OrderStore o = orders(c.server);
  if (!key || !o.order_exists(*key) || order_held(c.server, *key) || !o.delete_order(*key)) {
    reply(c, rep::kFailed);
    return;
  }
  reply(c, rep::kOrderDeleted);
}

void cmd_copy_order(Context& c) {
  Packet& b = c.packet;
  std::optional<std::string> source = key_at(c.server, sl::kText);
  std::string number;
  std::optional<std::vector<std::string>> codes = copy_codes(b);
  if (!source || !b.ZISKEJRETEZEC(sl::kText2, true, number) || !directory_key(number) || !codes) {
    reply(c, rep::kFailed);
    return;
  }
  OrderStore o = orders(c.server);
  if (!o.order_exists(*source) || order_held(c.server, *source) ||
      !o.copy_order(*source, number, *codes, c.session.user_id, c.server.clock().now())) {
    reply(c, rep::kFailed);
    return;
  }
  reply_open(c.server, rep::kOrderCreated);
}

void cmd_create_program(Context& c) {
  TKlient& k = c.session;
  std::string code;
  if (k.open_order.empty() || !k.open_program.empty() ||
      !c.packet.ZISKEJRETEZEC(sl::kText, true, code)) {
    reply(c, rep::kFailed);
    return;
  }
  std::optional<std::string> key = directory_key(code);
  OrderStore o = orders(c.server);
  if (!key || o.program_exists(k.open_order, *key) ||
      !o.create_program(k.open_order, code, k.user_id, c.server.clock().now())) {
    reply(c, rep::kFailed);
    return;
  }
  reply_open(c.server, rep::kProgramCreated);
}

void cmd_open_program(Context& c) {
  TKlient& k = c.session;
  std::optional<std::string> key = key_at(c.server, sl::kText);
  OrderStore o = orders(c.server);
  if (k.open_order.empty() || !k.open_program.empty() || !key ||
      !o.program_exists(k.open_order, *key)) {
    reply(c, rep::kFailed);
    return;
  }
  std::optional<TLinkovani> links = o.load_links(k.open_order, *key);
  if (!links) {
    reply(c, rep::kFailed);
    return;
  }
  c.server.store().links(c.slot) = *links;
  k.open_program = *key;
  update_program_flags(c.server);
  reply_open(c.server, rep::kProgramOpened);
}

void cmd_close_program(Context& c) {
  TKlient& k = c.session;
  if (k.open_order.empty() || k.open_program.empty()) {
    reply(c, rep::kFailed);
    return;
  }
  end_program(c.server, c.slot);
  update_program_flags(c.server);
  reply_open(c.server, rep::kProgramClosed);
}

void cmd_stitch_data(Context& c) {
  TKlient& k = c.session;
  const Packet& b = c.packet;
  if (k.open_order.empty() || k.open_program.empty()) {
    reply(c, rep::kFailed);
    return;
  }
  // The client sends stitches, colours, width and height, in that order.
  StitchData d;
  d.stitches = b.ZISKEJCISLO(4);
  d.colours = b.ZISKEJCISLO(8);
  d.width = b.ZISKEJCISLO(12);
  d.height = b.ZISKEJCISLO(16);
  if (!orders(c.server).set_stitch_data(k.open_order, k.open_program, d,
                                        c.server.store().links(c.slot))) {
    reply(c, rep::kFailed);
    return;
  }
  reply(c, rep::kStitchDataSet);
}

void cmd_list(Context& c) {
  TKlient& k = c.session;
  Packet& b = c.packet;
  const int32_t mode = b.ZISKEJCISLO(sl::kText);
  const std::string n = std::to_string(c.slot);
  OrderStore o = orders(c.server);
  std::string name;
  bool ok = false;
  if (mode >= 0 && mode <= 5) {
    name = "sezns" + n;
    if (!k.open_order.empty()) {
      const std::string dir = k.open_program.empty() ? o.order_dir(k.open_order)
                                                     : o.program_dir(k.open_order, k.open_program);
      ok = write_file_list(dir, mode, c.server.tree().path("temp/" + name));
    }
  } else if (mode == 6 || mode == 7) {
    name = "seznd" + n;
    std::optional<std::string> scope;
    if (!k.open_order.empty()) scope = k.open_order;
    ok = search_orders(o.databaze(), scope, read_criteria(b), c.server.tree().path("temp/" + name));
  }
  if (!ok) {
    reply(c, rep::kFailed);
    return;
  }
  b.ULOZRETEZEC(sl::kText, true, name);
  reply(c, rep::kListFile);
}

// ---- the server's calls -----------------------------------------------------------------------

bool store_upload_finished(Server& s, int slot, const std::string& path) {
  const size_t cut = path.rfind('/');
  const std::string name = cut == std::string::npos ? path : path.substr(cut + 1);
  const TKlient& k = s.session(slot);
  OrderStore o = orders(s);

  // A placement picture: "<id>%<slot>.ksv" becomes "umisten/<id>.ksv" — but only under the name
  // command 38 gave this session, so a plain attachment of that name changes no picture.
  if (std::optional<int32_t> id = picture_upload_id(name, slot)) {
    if (name == s.store().picture_name(slot)) {
      s.store().expect_picture(slot, {});
      Catalogues c(s.tree().base());
      if (copy_file(path, c.picture_path(*id))) erase_file(path);
    }
    return true;
  }
  // A new link table from the links dialog: checked, made the program's "proglnk.dat" and the
  // session's table in force. (No other session can hold the program: uploads into a shared
  // program are refused with 253 before they start.)
  if (name == kLinkUploadFile) {
    std::optional<TLinkovani> links;
    if (!k.open_order.empty() && !k.open_program.empty() &&
        path == o.program_dir(k.open_order, k.open_program) + kLinkUploadFile)
      links = o.replace_links(k.open_order, k.open_program, path);
    erase_file(path);
    if (!links) return false;
    s.store().links(slot) = *links;
    return true;
  }
  // A new stitch file of the open program goes to every linked program as well.
  if (k.open_order.empty() || k.open_program.empty()) return true;
  if (path == o.program_dir(k.open_order, k.open_program) + kStitchFile)
    o.copy_stitch_file_to_links(k.open_order, k.open_program, s.store().links(slot));
  return true;
}

void store_session_closing(Server& s, int slot) {
  s.store().clear_links(slot);
  s.store().expect_picture(slot, {});
  update_program_flags(s, slot);
}

}  // namespace ksv::server
