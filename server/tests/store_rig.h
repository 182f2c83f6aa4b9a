// A started server whose sessions are seated straight into their
// slots, so data-store commands can be run through the real dispatcher (admission, rights, the
// program lock) without a socket; plus small readers of the records the commands leave on disk.
#pragma once
#include <sys/stat.h>
#include <utime.h>

#include <cstring>
#include <string>
#include <vector>

#include "protocol/record_file.h"
#include "server/core/store_handlers.h"
#include "server/tests/rig.h"

namespace ksv::server::testing {

class StoreRig {
 public:
  StoreRig() {
    EXPECT_EQ(rig.start(), 0);
  }

  Server& server() { return *rig.server; }
  const std::string& base() const { return rig.dir.path(); }
  std::string path(const std::string& rel) const { return rig.dir.path() + rel; }

  // A logged-in session in `slot` for a new user with these rights.
  int32_t seat(int slot, const std::string& name, int64_t rights = -1) {
    int32_t id = rig.add_user(name, "heslo", rights);
    TKlient& k = server().session(slot);
    k.in_use = true;
    k.user_id = id;
    k.rights = rights;
    return id;
  }

  // A fresh request in the server's buffer.
  Packet& compose(uint8_t code) {
    Packet& b = server().buffer();
    b.clear();
    b.NASTAVPRIKAZ(code, 0, true);
    return b;
  }

  // Runs the request in the buffer for the slot; the reply code (0 for none).
  int run(int slot) { return server().execute(slot); }

  // A request with one counted string at 4.
  int text(int slot, uint8_t code, const std::string& s) {
    compose(code).ULOZRETEZEC(ksv::slot::kText, true, s);
    return run(slot);
  }
  template <class T>
  int record(int slot, uint8_t code, const T& rec) {
    compose(code).put_raw(ksv::slot::kText, &rec, sizeof rec);
    return run(slot);
  }
  std::string reply_text() { return server().buffer().ZISKEJRETEZEC(ksv::slot::kText, true); }
  int32_t reply_number() { return server().buffer().ZISKEJCISLO(ksv::slot::kText); }

  // Session `slot` has order and program open (both created on the way when missing).
  void open(int slot, const std::string& order, const std::string& program = "") {
    if (!rig.dir.exists("databaze/" + lower(order))) {
      ASSERT_EQ(text(slot, 19, order), 224);
    }
    ASSERT_EQ(text(slot, 17, order), 225);
    if (program.empty()) return;
    if (!rig.dir.exists("databaze/" + lower(order) + "/" + lower(program))) {
      ASSERT_EQ(text(slot, 42, program), 229);
    }
    ASSERT_EQ(text(slot, 40, program), 227);
  }

  template <class T>
  T read(const std::string& rel) {
    std::optional<T> r = read_record<T>(path(rel), 0);
    EXPECT_TRUE(r.has_value()) << rel;
    return r.value_or(T{});
  }
  template <class T>
  std::vector<T> read_all(const std::string& rel) {
    return read_records<T>(path(rel)).value_or(std::vector<T>{});
  }
  template <class T>
  void write(const std::string& rel, const T& rec) {
    ASSERT_TRUE(write_records<T>(path(rel), std::vector<T>{rec})) << rel;
  }
  template <class T, class F>
  void change(const std::string& rel, F&& f) {
    T rec = read<T>(rel);
    f(rec);
    write(rel, rec);
  }

  // Sets a file's or directory's modification time (seconds since the epoch).
  void set_mtime(const std::string& rel, int64_t t) {
    utimbuf u{time_t(t), time_t(t)};
    ASSERT_EQ(::utime(path(rel).c_str(), &u), 0) << rel;
  }

  static std::string lower(std::string s) {
    for (char& c : s)
      if (c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
    return s;
  }

  Rig rig;
};

}  // namespace ksv::server::testing
