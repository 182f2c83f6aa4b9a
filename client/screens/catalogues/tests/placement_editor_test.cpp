// The placement editor against a real server, driven as a user drives it: a description typed, a
// material chosen, a picture loaded through the file browser and drawn on, the placement added.
// What counts is what reached the server's files and what the trace recorded: the picture goes
// up as "umisten/<ID>.ksv" only after the entry was taken, never after a refused replace.
#include <sys/stat.h>

#include <algorithm>
#include <fstream>
#include <sstream>

#include "client/keys.h"
#include "client/screens/orders/editor.h"
#include "client/screens/catalogues/entry_keys.h"
#include "client/screens/catalogues/palette.h"
#include "client/tests/fixture.h"
#include "images/testsupport/picture_builders.h"
#include "protocol/record_file.h"
#include "protocol/records/catalogues.h"
#include "protocol/rights.h"
#include "server/store/orders.h"

namespace ksv::client::testing {
namespace {

using catalogues::kPreview;
using images::testing::Bytes;

constexpr int32_t kPictureLeft = 5 + 16, kPictureTop = 5 + 91;  // the picture on the screen

int64_t bits(std::initializer_list<int> list) {
  int64_t r = 0;
  for (int b : list) NASTAVBIT(r, b);
  return r;
}

TMaterial material(int32_t id, const char* name) {
  TMaterial m{};
  m.ID = id;
  m.NAZEV.assign(name);
  return m;
}

TUmisteni placement(int32_t id, const char* text, int32_t material) {
  TUmisteni u{};
  u.ID = id;
  u.POPIS.assign(text);
  u.MATERIAL = material;
  return u;
}

// A 24-bit BMP of w × h in one colour.
Bytes plain_bmp(int32_t w, int32_t h, uint8_t r, uint8_t g, uint8_t b) {
  std::vector<Bytes> rows;
  rows.resize(size_t(h));
  for (Bytes& row : rows)
    for (int32_t x = 0; x < w; ++x) row.insert(row.end(), {b, g, r});
  return images::testing::windows_bmp(w, h, 24, 0, images::testing::bottom_up_padded(rows));
}

// A ".ksv" picture of w × h in one colour, as the server keeps placement pictures.
std::string plain_ksv(int32_t w, int32_t h, uint8_t colour) {
  images::Obrazky im;
  im.ZALOZOBRAZEK(0, w, h, 1);
  im.OBRAZKY[0].VELX = w;
  im.OBRAZKY[0].VELY = h;
  im.VYMAZBUFFER(0, colour);
  std::vector<uint8_t> out;
  EXPECT_EQ(im.save_ksv_memory(0, out), images::kOk);
  return std::string(out.begin(), out.end());
}

class PlacementEditorTest : public ClientTest {
 protected:
  void SetUp() override {
    start_server();
    ASSERT_TRUE(write_records<TMaterial>(sdir + "material.dat", {material(2, ""), material(1, "BAVLNA"), material(2, "FLEECE")}));
    ::mkdir((cdir + "pics").c_str(), 0755);
    trace = dir / "trace.txt";
  }

  // Logged in with the rights, standing on the menu; the editor is then requested.
  void open_editor(int64_t rights) {
    add_user("novak", "n", rights);
    open_client();
    app->tk.trace.open(trace);
    login_directly("novak", "n");
    f().compose().ULOZRETEZEC(slot::kText, true, "novak");
    ASSERT_EQ(f().request(27, "info"), 245);
    f().read_user_record();
    app->config.POSLEDNIADRESAR = cdir + "pics/";
    f().request_screen(12);
  }
  void picture_file(const Bytes& b) {
    dir.write_file("client/pics/logo.bmp", std::string(b.begin(), b.end()));
  }

  // The editor's window is up with its buttons drawn (not the moment between two fetches before
  // it is built, when a key would find no button to fire).
  bool on_12() {
    if (f().AKTUALNIOBRAZOVKA != 12 || f().modal.kind != Modal::kNone || !settled()) return false;
    for (const auto& b : app->tk.tlacitka.TLACITKO)
      if (b.AKTIVNI && b.picture.find("tuzka.bmp") != std::string::npos) return true;
    return false;
  }
  bool idle() { return on_12() && !app->client.transfer_active() && f().status_text == f().text("wait"); }
  // The next step once the editor stands idle again.
  void then(std::function<void()> action) {
    when([this] { return idle(); }, std::move(action));
  }
  void after(int passes, std::function<void()> action) {
    auto left = std::make_shared<int>(passes);
    when([left] { return --*left <= 0; }, std::move(action));
  }

  // The field starts with the description as it stands: `erase` characters of it go first.
  void type_description(const std::string& text, int erase = 0) {
    then([this] { key('p'); });
    when_modal(Modal::kInput, [this, text, erase] {
      for (int i = 0; i < erase; ++i) key(keys::kBackspace);
      type(text);
      key(keys::kEnter);
    });
  }
  // The material picker lists the materials in file order; `down` moves the highlight.
  void choose_material(int down) {
    then([this] { key('m'); });
    when([this] { return f().modal.kind == Modal::kPicker && f().modal.key == "material" && settled(); },
         [this, down] {
           for (int i = 0; i < down; ++i) hb().extended_key(keys::kDown);
           key(keys::kEnter);
         });
  }
  void load_picture() {
    then([this] { key('o'); });
    when([this] {
      const auto& l = app->tk.seznam.SEZNAM;
      return settled() && !l.empty() && (l[0].NAZEV == "." || l[0].NAZEV == "..");
    }, [this] {
      hb().extended_key(79);  // End: the one file is the last entry
      key(keys::kEnter);
    });
  }
  // A pencil stroke across the picture from (x0, y0) to (x1, y1), picture coordinates.
  void pencil_stroke(int x0, int y0, int x1, int y1) {
    then([this] { key('t'); });
    after(20, [this, x0, y0] { hb().move_mouse(kPictureLeft + x0, kPictureTop + y0); });
    after(3, [this] { hb().set_buttons(1); });
    after(3, [this, x1, y1] { hb().move_mouse(kPictureLeft + x1, kPictureTop + y1); });
    after(3, [this] { hb().set_buttons(0); });
    after(3, [this] {
      if (const char* d = std::getenv("KSV_SHOTS")) hb().screenshot(std::string(d) + "/placement-drawing.png");
      hb().move_mouse(600, 470);
      key('t');  // the pencil put down again
    });
  }
  // The palette: a click on the colour's cell, then Enter.
  void choose_colour(uint8_t colour) {
    then([this] { key('b'); });
    using namespace catalogues;
    const int x = 320 - kPaletteW / 2 + kGridX + (colour % 16) * kCell + 3;
    const int y = 240 - kPaletteH / 2 + kGridY + (colour / 16) * kCell + 3;
    when([this] { return f().modal.key == "paletakresby" && settled(); },
         [this, x, y] { hb().move_mouse(x, y); });
    after(3, [this] { hb().set_buttons(1); });
    after(3, [this] { hb().set_buttons(0); });
    after(3, [this] {
      if (const char* d = std::getenv("KSV_SHOTS")) hb().screenshot(std::string(d) + "/placement-palette.png");
      key(keys::kEnter);
    });
  }
  std::string trace_text() { return dir.read_file("trace.txt"); }
  int traced(const std::string& line) {
    std::istringstream in(trace_text());
    int n = 0;
    for (std::string l; std::getline(in, l);)
      if (l.find("\t" + line) != std::string::npos) ++n;
    return n;
  }
  // The reply traced after the last request with this code; "" when none.
  std::string reply_to(int code) {
    std::istringstream in(trace_text());
    std::string reply;
    bool after = false;
    for (std::string l; std::getline(in, l);) {
      if (l.find("\tsend\t") != std::string::npos) after = l.ends_with("\tsend\t" + std::to_string(code));
      else if (after && l.find("\treply\t") != std::string::npos) {
        reply = l.substr(l.rfind('\t') + 1);
        after = false;
      }
    }
    return reply;
  }
  uint8_t screen(int x, int y) { return app->graph.screen_pixel(x, y); }
  uint8_t background() { return app->images.NAJDIBARVU(32, 32, 32); }

  static uint8_t app_images_blue() { return images::Obrazky().NAJDIBARVU(0, 0, 255); }

  std::string trace;
};

TEST_F(PlacementEditorTest, APlacementIsSavedAndThenItsPictureWhichTheServerShowsBack) {
  picture_file(plain_bmp(300, 100, 0, 255, 0));  // green, fitted to 230 × 76
  open_editor(bits({14}));
  type_description("Hrudnik vlevo");
  choose_material(1);
  load_picture();
  choose_colour(0xE0);  // red
  pencil_stroke(20, 20, 180, 50);
  then([this] { key('a'); });
  bool saved = false;
  when([this] { return on_12() && f().status_text == f().text("umobrulozen"); },
       [&, this] {
         saved = true;
         if (const char* d = std::getenv("KSV_SHOTS")) hb().screenshot(std::string(d) + "/placement-saved.png");
         // The screen shows what 37 brought back: the loaded picture fitted, the stroke on it.
         EXPECT_EQ(screen(kPictureLeft + 5, kPictureTop + 70), app->images.NAJDIBARVU(0, 255, 0));
         EXPECT_EQ(screen(kPictureLeft + 100, kPictureTop + 35), 0xE0);
         EXPECT_EQ(screen(kPictureLeft + 5, kPictureTop + 100), background()) << "below the picture";
       });
  ASSERT_TRUE(run_until([&] { return saved; }));

  // The entry got the first ID and the material chosen (FLEECE, the second one listed).
  std::vector<TUmisteni> listed = read_records<TUmisteni>(sdir + "umisten.dat").value_or(std::vector<TUmisteni>{});
  ASSERT_EQ(listed.size(), 2U);
  EXPECT_EQ(listed[1].ID, 1);
  EXPECT_EQ(listed[1].POPIS.str(), "Hrudnik vlevo");
  EXPECT_EQ(listed[1].MATERIAL, 2);

  // The picture is the server's: the loaded one fitted, with the stroke on it.
  images::Obrazky im(nullptr, cdir);
  ASSERT_EQ(im.ZALOZOBRAZEK(0, kPreview.w, kPreview.h, 1), images::kOk);
  ASSERT_EQ(im.NAHRAJKSV(0, sdir + "umisten/1.ksv"), images::kOk);
  EXPECT_EQ(im.OBRAZKY[0].VELX, 230);
  EXPECT_EQ(im.OBRAZKY[0].VELY, 76);
  auto px = [&](int x, int y) { return im.OBRAZKY[0].BUFFER[size_t(y) * im.OBRAZKY[0].MAXX + x]; };
  EXPECT_EQ(px(5, 70), im.NAJDIBARVU(0, 255, 0));
  EXPECT_EQ(px(20, 20), 0xE0) << "the stroke starts in the colour chosen";
  EXPECT_EQ(px(180, 50), 0xE0);
  EXPECT_EQ(px(100, 35), 0xE0) << "and runs through";

  // In order: the entry, then the name for the picture, then the picture; then 37 shows it, and
  // the screen with it.
  const std::string t = trace_text();
  const size_t save = t.find("send\t55"), name = t.find("send\t38"), up = t.find("upload\t1%"),
               shown = t.find("send\t37", up == std::string::npos ? 0 : up);
  ASSERT_NE(save, std::string::npos);
  EXPECT_EQ(reply_to(55), "207");
  EXPECT_EQ(reply_to(38), "237");
  ASSERT_NE(name, std::string::npos);
  EXPECT_LT(save, name);
  ASSERT_NE(up, std::string::npos);
  EXPECT_LT(name, up);
  EXPECT_NE(shown, std::string::npos);
  EXPECT_FALSE(dir.exists("server/temp/1%0" + std::to_string(session_slot()) + ".ksv"));
  // 37 after the upload brought the server's file itself.
  const std::string shown_file = "nahl" + std::to_string(session_slot()) + ".ksv";
  EXPECT_NE(t.find("reply\t237", shown), std::string::npos);
  EXPECT_NE(t.find("download\t" + shown_file, shown), std::string::npos);
  EXPECT_EQ(dir.read_file("client/temp/" + shown_file), dir.read_file("server/umisten/1.ksv"));
}

TEST_F(PlacementEditorTest, ARefusedReplaceSendsNeitherTheNameNorThePicture) {
  // HRUDNIK on BAVLNA exists with its picture; this user may add but not replace.
  ASSERT_TRUE(write_records<TUmisteni>(sdir + "umisten.dat", {placement(5, "", 0), placement(5, "HRUDNIK", 1)}));
  const std::string old_picture = plain_ksv(80, 50, 0x03);
  dir.write_file("server/umisten/5.ksv", old_picture);
  picture_file(plain_bmp(60, 40, 255, 0, 0));
  open_editor(bits({14}));
  type_description("hrudnik");
  choose_material(0);
  load_picture();
  then([this] { key('a'); });
  when_modal(Modal::kError, [this] {
    EXPECT_EQ(f().modal.key, "error237");
    key(keys::kEnter);
  });
  // The picture is still only here: leaving asks first, and "no" stays.
  when([this] { return on_12() && f().status_text == f().text("umneulozeno"); },
       [this] { key(keys::kEscape); });
  when_modal(Modal::kConfirm, [this] { key(keys::kEscape); });
  when([this] { return on_12(); }, [this] { key(keys::kEscape); });
  when_modal(Modal::kConfirm, [this] { key(keys::kEnter); });
  ASSERT_TRUE(run_until([this] { return f().AKTUALNIOBRAZOVKA == kScreenMenu; }));
  EXPECT_EQ(std::count(seen.begin(), seen.end(), "potvrdit"), 2);

  EXPECT_EQ(reply_to(55), "237");
  EXPECT_EQ(f().requests_sent[38], 0);
  EXPECT_EQ(f().requests_sent[30], 0);
  EXPECT_EQ(traced("upload"), 0);
  EXPECT_EQ(dir.read_file("server/umisten/5.ksv"), old_picture);
  std::vector<TUmisteni> listed = read_records<TUmisteni>(sdir + "umisten.dat").value_or(std::vector<TUmisteni>{});
  ASSERT_EQ(listed.size(), 2U);
  EXPECT_EQ(listed[1].POPIS.str(), "HRUDNIK");
  EXPECT_EQ(listed[1].ID, 5);
}

TEST_F(PlacementEditorTest, AListedPlacementShowsItsPictureAndOneWithoutClearsIt) {
  // Two placements on BAVLNA: ZADA with a picture, RUKAV without one.
  ASSERT_TRUE(write_records<TUmisteni>(sdir + "umisten.dat",
                                       {placement(7, "", 0), placement(6, "ZADA", 1), placement(7, "RUKAV", 1)}));
  const uint8_t blue = app_images_blue();
  dir.write_file("server/umisten/6.ksv", plain_ksv(100, 60, blue));

  open_editor(bits({14}));
  choose_material(0);
  type_description("zada");
  uint8_t with_picture = 0, cleared = 0;
  then([&, this] {
    with_picture = screen(kPictureLeft + 50, kPictureTop + 30);
    if (const char* d = std::getenv("KSV_SHOTS")) hb().screenshot(std::string(d) + "/placement-listed.png");
  });
  type_description("RUKAV", 4);
  bool done = false;
  then([&, this] {
    cleared = screen(kPictureLeft + 50, kPictureTop + 30);
    done = true;
  });
  ASSERT_TRUE(run_until([&] { return done; }));
  EXPECT_EQ(with_picture, blue);
  EXPECT_EQ(cleared, background()) << "RUKAV has no picture: ZADA's must not stay on show";
  EXPECT_EQ(f().requests_sent[55], 0);
}

}  // namespace
}  // namespace ksv::client::testing

namespace ksv::client::testing {
namespace {

// The way in from a program: its placement picker adds a placement for the program's material,
// and leaving the editor goes back to the program, which stayed open on the server meanwhile.
TEST_F(PlacementEditorTest, FromAProgramTheNewPlacementTakesItsMaterialAndLeadsBack) {
  const int32_t novak = add_user("novak", "n", bits({0, 1, 2, 3, 8, 14, 58}));
  server::OrderStore o(sdir);
  ASSERT_TRUE(o.create_order("Z1", novak));
  ASSERT_TRUE(o.create_program("z1", "P1", novak, clock.now()));
  open_client();
  app->tk.trace.open(trace);
  login_directly("novak", "n");
  f().compose().ULOZRETEZEC(slot::kText, true, "novak");
  ASSERT_EQ(f().request(27, "info"), 245);
  f().read_user_record();
  f().compose().ULOZRETEZEC(slot::kText, true, "Z1");
  ASSERT_EQ(f().request(17, "openzak"), 225);
  orders::open_program(f(), app->workspace, "P1");
  ASSERT_EQ(f().POZADOVANAOBRAZOVKA, 73);

  auto on_73 = [this] { return f().AKTUALNIOBRAZOVKA == 73 && f().modal.kind == Modal::kNone && settled(); };
  when(on_73, [this] { key('m'); });  // the program's material: FLEECE, the second one
  when([this] { return f().modal.key == "material" && settled(); }, [this] {
    hb().extended_key(keys::kDown);
    key(keys::kEnter);
  });
  when([=, this] { return on_73() && f().status_text == f().text("wait"); }, [this] { key('u'); });
  when([this] { return f().modal.key == "umisteni" && settled(); },
       [this] { hb().extended_key(keys::kInsert); });
  type_description("Kapsa");
  then([this] { key('a'); });
  bool left = false;
  when([this] { return on_12() && f().status_text == f().text("umulozeno"); }, [&, this] {
    left = true;
    key(keys::kEscape);
  });
  int closes = -1;  // program closings sent by the time the program editor is back
  ASSERT_TRUE(run_until([&] {
    if (!left || !on_73()) return false;
    closes = f().requests_sent[41];
    return true;
  }));

  std::vector<TUmisteni> listed = read_records<TUmisteni>(sdir + "umisten.dat").value_or(std::vector<TUmisteni>{});
  ASSERT_EQ(listed.size(), 2U);
  EXPECT_EQ(listed[1].POPIS.str(), "Kapsa");
  EXPECT_EQ(listed[1].MATERIAL, 2) << "the material of the program";
  EXPECT_EQ(f().requests_sent[38], 0) << "no picture was made";
  EXPECT_EQ(closes, 0) << "the program stayed open";
}

}  // namespace
}  // namespace ksv::client::testing
