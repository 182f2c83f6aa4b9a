// The pickers' add and delete and the thread and material editors, driven through the keys and
// the mouse of the real client against a real server: an entry added from a picker lands in the
// server's file and is offered when the editor returns to the screen that opened the picker;
// a delete removes only the chosen entry, and only with the right.
#include <algorithm>
#include <cstdlib>

#include "client/keys.h"
#include "client/pickers.h"
#include "client/screens/catalogues/palette.h"
#include "client/tests/fixture.h"
#include "protocol/rights.h"

namespace ksv::client::testing {
namespace {

constexpr int32_t kOpener = 500;  // a screen of the test's own that opens a picker

template <class T>
std::vector<T> file_records(const std::string& bytes) {
  std::vector<T> out(bytes.size() / sizeof(T));
  if (!out.empty()) std::memcpy(out.data(), bytes.data(), out.size() * sizeof(T));
  return out;
}

TBarva thread(const char* code, bool thin, uint8_t colour) {
  TBarva b{};
  b.KOD.assign(code);
  b.SLABA = thin;
  b.BARVA = colour;
  return b;
}

int64_t rights(std::initializer_list<int> bits) {
  int64_t r = 0;
  for (int b : bits) NASTAVBIT(r, b);
  return r;
}

class Editors : public ClientTest {
 protected:
  void start(int64_t user_rights) {
    start_server();
    add_user("novak", "n", user_rights);
    open_client();
    login_directly();
    // The own rights, as the login screen takes them.
    f().compose().ULOZRETEZEC(slot::kText, true, "novak");
    ASSERT_EQ(f().request(27, "info"), 245);
    f().read_user_record();
    ASSERT_EQ(info().MOJEPRAVA, user_rights);
  }
  Workspace& ws() { return app->workspace; }

  // Screen kOpener opens `picker` each time it is built and keeps what was chosen.
  template <class T>
  void opener(std::optional<T> (*picker)(Frame&, Workspace&), std::vector<T>& chosen) {
    f().set_builder(kOpener, [this, picker, &chosen] {
      app->tk.okna.SMAZOKNA();
      ++opened;
      if (std::optional<T> r = picker(f(), ws())) chosen.push_back(*r);
    });
    f().request_screen(kOpener);
  }
  // The names the picker now on show offers.
  std::vector<std::string> offered() {
    std::vector<std::string> names;
    for (const auto& e : app->tk.seznam.SEZNAM) names.push_back(e.NAZEV + "|" + e.SPEC);
    return names;
  }
  void shot(const std::string& name) {
    if (const char* d = std::getenv("KSV_KEEP_SHOTS")) hb().screenshot(std::string(d) + "/" + name);
  }
  // The open pop-up of the given width (the palette), -1 when there is none.
  int window_of_width(int32_t w) {
    for (int i = 0; i < 4; ++i)
      if (app->tk.okna.is_open(i) && app->tk.okna.OKNO[size_t(i)].VX == w) return i;
    return -1;
  }
  bool modal_is(Modal m, const std::string& key) {
    return f().modal.kind == m && f().modal.key == key && settled();
  }
  int opened = 0;
};

TEST_F(Editors, MaterialAddedFromThePickerKeepsItsSpeedAndIsOfferedBack) {
  start(rights({12, 13}));
  std::vector<TMaterial> chosen;
  opener<TMaterial>(pick_material, chosen);
  std::vector<std::string> seen_after;
  when([this] { return modal_is(Modal::kPicker, "material"); },
       [this] { hb().extended_key(keys::kInsert); });
  when([this] { return f().AKTUALNIOBRAZOVKA == 11 && settled(); }, [this] { key('n'); });
  when([this] { return modal_is(Modal::kInput, "jmenmat"); }, [this] {
    type("Flis modry");
    key(13);
  });
  when([this] { return f().modal.kind == Modal::kNone && settled(); }, [this] { key('r'); });
  when([this] { return modal_is(Modal::kInput, "rychlost"); }, [this] {
    type("650");
    key(13);
  });
  when([this] { return f().modal.kind == Modal::kNone && settled(); }, [this] {
    shot("material-editor.png");
    key('a');
  });
  when([this] { return f().requests_sent[53] == 1 && f().status_text == f().text("katpridano"); },
       [this] { key(27); });
  // Back on the screen that opened the picker, which offers the new material with its speed.
  when([this] { return opened == 2 && modal_is(Modal::kPicker, "material"); }, [this, &seen_after] {
    seen_after = offered();
    shot("material-picker.png");
    key(13);
  });
  ASSERT_TRUE(run_until([&] { return !chosen.empty(); }));
  EXPECT_EQ(seen_after, (std::vector<std::string>{std::string("Flis modry|650\0", 15)}));
  ASSERT_EQ(chosen.size(), 1u);
  EXPECT_EQ(chosen[0].ID, 1);
  std::vector<TMaterial> disk = file_records<TMaterial>(dir.read_file("server/material.dat"));
  ASSERT_EQ(disk.size(), 2u);
  EXPECT_EQ(disk[1].NAZEV.str(), "Flis modry");
  EXPECT_EQ(disk[1].RYCHLOST, 650);
  EXPECT_EQ(ws().return_depth(), 0u);
}

TEST_F(Editors, ThreadEditorTakesItsColourFromThePalette) {
  start(rights({10}));
  std::vector<TBarva> chosen;
  opener<TBarva>(pick_thread, chosen);
  when([this] { return modal_is(Modal::kPicker, "nite"); },
       [this] { hb().extended_key(keys::kInsert); });
  when([this] { return f().AKTUALNIOBRAZOVKA == 10 && settled(); }, [this] { key('k'); });
  when([this] { return modal_is(Modal::kInput, "kodnite"); }, [this] {
    type("2001");
    key(13);
  });
  when([this] { return f().modal.kind == Modal::kNone && settled(); }, [this] { key('p'); });
  when([this] { return modal_is(Modal::kInput, "popisnite"); }, [this] {
    type("Zlata");
    key(13);
  });
  when([this] { return f().modal.kind == Modal::kNone && settled(); }, [this] { key('b'); });
  // Colour 53 is row 3, column 5 of the grid.
  when([this] { return modal_is(Modal::kPicker, "paleta"); }, [this] {
    const toolkit::TOkno& w = app->tk.okna.OKNO[size_t(window_of_width(catalogues::kPaletteW))];
    hb().move_mouse(w.X + catalogues::kGridX + 5 * catalogues::kCell + 3,
                    w.Y + catalogues::kGridY + 3 * catalogues::kCell + 3);
    hb().set_buttons(1);
  });
  when([this] { return app->tk.tlacitka.TLACM & 1; }, [this] {
    hb().set_buttons(0);
    shot("palette.png");
    key(13);
  });
  when([this] { return f().modal.kind == Modal::kNone && settled(); }, [this] { key('t'); });
  when([this] { return f().modal.kind == Modal::kNone && settled(); }, [this] {
    shot("thread-editor.png");
    key('a');
  });
  when([this] { return f().requests_sent[51] == 1 && f().status_text == f().text("katpridano"); },
       [this] { key(27); });
  when([this] { return opened == 2 && modal_is(Modal::kPicker, "nite"); }, [this] { key(13); });
  ASSERT_TRUE(run_until([&] { return !chosen.empty(); }));
  // The server starts the file with an empty record, which no picker shows.
  std::vector<TBarva> disk = file_records<TBarva>(dir.read_file("server/nite.dat"));
  std::erase_if(disk, [](const TBarva& b) { return b.KOD.empty(); });
  ASSERT_EQ(disk.size(), 1u);
  EXPECT_EQ(disk[0].KOD.str(), "2001");
  EXPECT_EQ(disk[0].PANTONE.str(), "Zlata");
  EXPECT_EQ(disk[0].BARVA, 53);
  EXPECT_EQ(disk[0].SLABA, 1);
  ASSERT_EQ(chosen.size(), 1u);
  EXPECT_EQ(chosen[0].BARVA, 53);
}

// A picker opened from an editor offers no pridat: leaving for another editor would lose the
// entry being edited there.
TEST_F(Editors, NoAddingFromAPickerOverAnEditor) {
  start(rights({12, 14}));
  f().AKTUALNIOBRAZOVKA = f().POZADOVANAOBRAZOVKA = kPlacementEditor;
  when([this] { return modal_is(Modal::kPicker, "material"); }, [this] {
    hb().extended_key(keys::kInsert);
    key(27);
  });
  EXPECT_FALSE(pick_material(f(), ws()));
  EXPECT_EQ(f().POZADOVANAOBRAZOVKA, kPlacementEditor);
  EXPECT_EQ(ws().return_depth(), 0u);
  EXPECT_FALSE(timed_out);
}

class PickerDelete : public Editors {
 protected:
  void seed() {
    const TBarva both[] = {thread("1147", true, 224), thread("1147", false, 225),
                           thread("2001", false, 53)};
    dir.write_file("server/nite.dat", std::string(reinterpret_cast<const char*>(both), sizeof both));
  }
  // Moves to the second entry (the strong 1147), presses Delete, confirms when asked, and
  // notes what the picker offers afterwards.
  void script_delete(std::vector<std::string>& after) {
    when([this] { return modal_is(Modal::kPicker, "nite"); }, [this] {
      shot("thread-picker.png");
      hb().extended_key(keys::kDown);
      hb().extended_key(83);
    });
    when([this] { return modal_is(Modal::kConfirm, "potvrdit") || f().requests_sent[52] > 0 ||
                         steps > 400; },
         [this] { if (f().modal.kind == Modal::kConfirm) key(13); });
    when([this] { return modal_is(Modal::kPicker, "nite") && steps > 400; }, [this, &after] {
      after = offered();
      key(27);
    });
  }
};

TEST_F(PickerDelete, DeletesOnlyTheChosenWeight) {
  start(rights({11}));
  seed();
  std::vector<std::string> after;
  script_delete(after);
  EXPECT_FALSE(pick_thread(f(), ws()));
  EXPECT_EQ(f().requests_sent[52], 1);
  ASSERT_EQ(after.size(), 2u);
  std::vector<TBarva> disk = file_records<TBarva>(dir.read_file("server/nite.dat"));
  ASSERT_EQ(disk.size(), 2u);
  EXPECT_EQ(disk[0].KOD.str(), "1147");
  EXPECT_EQ(disk[0].SLABA, 1);
  EXPECT_EQ(disk[1].KOD.str(), "2001");
  EXPECT_EQ(ws().threads.count({"1147", false}), 0u);
  EXPECT_EQ(ws().threads.count({"1147", true}), 1u);
  EXPECT_FALSE(timed_out);
}

TEST_F(PickerDelete, NothingIsDeletedWithoutTheRight) {
  start(rights({10}));
  seed();
  const std::string before = dir.read_file("server/nite.dat");
  std::vector<std::string> after;
  script_delete(after);
  EXPECT_FALSE(pick_thread(f(), ws()));
  EXPECT_EQ(f().requests_sent[52], 0);
  EXPECT_EQ(after.size(), 3u);
  EXPECT_EQ(dir.read_file("server/nite.dat"), before);
  EXPECT_EQ(std::count(seen.begin(), seen.end(), "potvrdit"), 0);
  EXPECT_FALSE(timed_out);
}

}  // namespace
}  // namespace ksv::client::testing
