// The program editor against a real server, driven as a user drives it: a stitch file chosen in
// the browser and uploaded with its figures, then saved; leaving releases the program except for
// the catalogue editors; the checks before production name a missing thread; reserved names are
// never attached.
#include <sys/stat.h>

#include "client/keys.h"
#include "client/screens/orders/editor.h"
#include "client/screens/programs/tests/dst_maker.h"
#include "client/tests/fixture.h"
#include "protocol/record_file.h"
#include "protocol/records/catalogues.h"
#include "protocol/rights.h"
#include "server/store/orders.h"

namespace ksv::client::testing {
namespace {

using programs::testing::DesignBuilder;

int64_t bits(std::initializer_list<int> list) {
  int64_t r = 0;
  for (int b : list) NASTAVBIT(r, b);
  return r;
}

TBarva thread(const char* code, uint8_t colour) {
  TBarva t{};
  t.KOD.assign(code);
  t.BARVA = colour;
  return t;
}

class ProgramScreen : public ClientTest {
 protected:
  void SetUp() override {
    start_server();
    novak = add_user("novak", "n", bits({0, 1, 2, 3, 8, 58}));
    ASSERT_TRUE(write_records<TBarva>(sdir + "nite.dat", {thread("1001", 0xE0), thread("1002", 0x03)}));
    server::OrderStore o(sdir);
    ASSERT_TRUE(o.create_order("Z1", novak));
    for (const char* p : {"P1", "P2"}) ASSERT_TRUE(o.create_program("z1", p, novak, clock.now()));
    ::mkdir((cdir + "designs").c_str(), 0755);
  }
  std::string prog(const char* p) {
    return sdir + "databaze/z1/" + server::lower_ascii(p) + "/prog.dat";
  }
  TProgramZak server_record(const char* p) {
    return read_record<TProgramZak>(prog(p), 0).value_or(TProgramZak{});
  }
  // Logged in, the order open as the order editor leaves it, and the program opened.
  void open_program(const char* code) {
    open_client();
    login_directly("novak", "n");
    Packet& b = f().compose();
    b.ULOZRETEZEC(slot::kText, true, "novak");
    ASSERT_EQ(f().request(27, "info"), 245);
    f().read_user_record();
    f().compose().ULOZRETEZEC(slot::kText, true, "Z1");
    ASSERT_EQ(f().request(17, "openzak"), 225);
    app->config.POSLEDNIADRESAR = cdir + "designs/";
    // The order editor's way into the program editor.
    orders::open_program(f(), app->workspace, code);
    ASSERT_EQ(f().POZADOVANAOBRAZOVKA, 73);
  }
  // Nothing under way: no transfer, the status line back to "wait".
  bool idle() {
    return on_73() && !app->client.transfer_active() && f().status_text == f().text("wait");
  }
  bool on_73() { return f().AKTUALNIOBRAZOVKA == 73 && f().modal.kind == Modal::kNone && settled(); }
  void in_browser(std::function<void()> action) {
    when([this] {
      const auto& l = app->tk.seznam.SEZNAM;
      return settled() && !l.empty() && (l[0].NAZEV == "." || l[0].NAZEV == "..");
    }, std::move(action));
  }
  void shot(const std::string& name) {
    if (const char* d = std::getenv("KSV_SHOTS")) hb().screenshot(std::string(d) + "/" + name + ".png");
  }
  const server::TKlient& session() { return server->session(session_slot()); }

  int32_t novak = -1;
};

TEST_F(ProgramScreen, AStitchFileIsUploadedWithItsFiguresAndASaveKeepsThem) {
  DesignBuilder d;
  d.to(300, 0).to(300, 200).change().jump(0, 200).to(0, 0);
  const std::string file = d.file("LOGO");
  dir.write_file("client/designs/logo.dst", file);
  // P2 is linked to P1: it gets the stitch file and the figures too.
  TLinkovani l{};
  l.codes[0].assign("P2");
  ASSERT_TRUE(write_records<TLinkovani>(sdir + "databaze/z1/p1/proglnk.dat", {l}));
  open_program("P1");

  when([this] { return on_73(); }, [this] { hb().extended_key(keys::kInsert); });
  in_browser([this] {
    hb().extended_key(79);  // End: the one file is the last entry
    key(13);
  });
  bool uploaded = false;
  when([&, this] { return on_73() && f().requests_sent[30] >= 1 && f().status_text == f().text("wait"); },
       [&, this] {
         uploaded = true;
         shot("program-uploaded");
         hb().extended_key(keys::kF2);
       });
  ASSERT_TRUE(run_until([&, this] { return uploaded && f().requests_sent[30] >= 2 && idle(); }));

  EXPECT_EQ(dir.read_file("server/databaze/z1/p1/prog.dst"), file);
  EXPECT_EQ(dir.read_file("server/databaze/z1/p2/prog.dst"), file);
  const TProgramZak p1 = server_record("P1");
  EXPECT_EQ(p1.STEHU, d.count) << "the save wrote the new figures, not the old ones";
  EXPECT_EQ(p1.BAREV, 2);
  EXPECT_EQ(p1.X, 300);
  EXPECT_EQ(p1.Y, 200);
  EXPECT_EQ(server_record("P2").STEHU, d.count);
  EXPECT_EQ(app->workspace.AKTPROGRAM.STEHU, d.count);

  // The preview holds the design, each block in a colour of its own (no threads chosen yet).
  const images::TOBRAZEK& slot = app->images.OBRAZKY[0];
  int red = 0, other = 0;
  for (int y = 0; y < slot.VELY; ++y)
    for (int x = 0; x < slot.VELX; ++x) {
      const uint8_t px = slot.BUFFER[size_t(y) * size_t(slot.MAXX) + size_t(x)];
      red += px == 0xE0;
      other += px != 0xE0 && px != 0xFF;
    }
  EXPECT_GT(red, 100) << "the second block in the second stand-in colour";
  EXPECT_GT(other, 100) << "the first block";
}

TEST_F(ProgramScreen, AnUnreadableHeaderSendsNothing) {
  std::string bad = programs::testing::header_with(
      {"ST:   5432", "CO: x", "+X:  350", "-X:  250", "+Y:  100", "-Y:  100"});
  dir.write_file("client/designs/bad.dst", bad + std::string(30, '\0'));
  open_program("P1");
  when([this] { return on_73(); }, [this] { hb().extended_key(keys::kInsert); });
  in_browser([this] {
    hb().extended_key(79);
    key(13);
  });
  ASSERT_TRUE(run_until([this] { return on_73() && script.empty() && f().status_text.find("bad.dst") != std::string::npos; }));
  EXPECT_EQ(f().requests_sent[33], 0);
  EXPECT_EQ(f().requests_sent[30], 0);
  EXPECT_FALSE(::access((sdir + "databaze/z1/p1/prog.dst").c_str(), F_OK) == 0);
}

TEST_F(ProgramScreen, LinksChosenInTheDialogCarryTheNextStitchFile) {
  ASSERT_TRUE(server::OrderStore(sdir).create_program("z1", "P3", novak, clock.now()));
  DesignBuilder d;
  d.to(100, 0).to(100, 100);
  dir.write_file("client/designs/logo.dst", d.file());
  open_program("P1");
  bool listed = false;
  when([this] { return idle(); }, [this] { key(12); });  // Ctrl+L: the links dialog
  when_modal(Modal::kInput, [&, this] {
    listed = true;
    shot("program-links");
    key('a');  // the first program offered: P2 (never P1 itself)
  });
  int polls = 0;
  when([&, this] { return f().modal.kind == Modal::kInput && ++polls > 20; }, [this] { key(13); });
  when([&, this] { return f().requests_sent[30] >= 1 && idle(); },
       [this] { hb().extended_key(keys::kInsert); });
  in_browser([this] {
    hb().extended_key(79);
    key(13);
  });
  ASSERT_TRUE(run_until([&, this] { return listed && script.empty() && f().requests_sent[30] >= 2 && idle(); }));

  TLinkovani l = read_record<TLinkovani>(sdir + "databaze/z1/p1/proglnk.dat", 0).value_or(TLinkovani{});
  EXPECT_EQ(l.codes[0].str(), "P2");
  EXPECT_TRUE(l.codes[1].empty()) << "P3 was not chosen";
  EXPECT_EQ(dir.read_file("server/databaze/z1/p2/prog.dst"), d.file());
  EXPECT_EQ(server_record("P2").STEHU, d.count);
  EXPECT_EQ(server_record("P3").STEHU, 0);
}

TEST_F(ProgramScreen, TheStoredStitchFileGoesToTheFloppyAndAnAttachmentToTheOpener) {
  dir.write_file("server/databaze/z1/p1/prog.dst", "stored design");
  dir.write_file("server/databaze/z1/p1/navod.txt", "instructions");
  ::mkdir((cdir + "floppy").c_str(), 0755);
  open_program("P1");
  std::vector<std::string> opened;
  app->tk.opener.launcher = [&](const std::string& path) {
    opened.push_back(path);
    return toolkit::OpenResult::kStarted;
  };
  // f: the program's stitch file, fetched from the server, onto the floppy as <code>.dst.
  when([this] { return idle(); }, [this] { key('f'); });
  // *: the attachments; the list holds navod.txt and prog.dst, sorted by name.
  when([this] { return idle() && f().requests_sent[31] >= 4; }, [this] { key('*'); });
  when_modal(Modal::kPicker, [this] {
    const auto& l = app->tk.seznam.SEZNAM;
    for (size_t i = 0; i < l.size() && l[i].NAZEV.rfind("navod.txt", 0) != 0; ++i)
      hb().extended_key(keys::kDown);
    key(13);
  });
  ASSERT_TRUE(run_until([&, this] { return !opened.empty() && idle(); }));
  EXPECT_EQ(dir.read_file("client/floppy/P1.dst"), "stored design");
  ASSERT_EQ(opened.size(), 1u);
  EXPECT_EQ(opened[0], cdir + "temp/navod.txt");
  EXPECT_EQ(dir.read_file("client/temp/navod.txt"), "instructions");
}

TEST_F(ProgramScreen, ClosingTheProgramReachesTheServerAtOnce) {
  open_program("P1");
  when([this] { return idle(); }, [this] { key(keys::kCtrlQ); });
  when_modal(Modal::kConfirm, [this] { key(13); });
  ASSERT_TRUE(run_until([this] { return f().requests_sent[30] >= 1 && idle(); }));
  EXPECT_TRUE(server_record("P1").UZAVRENO);
  EXPECT_EQ(f().modal.kind, Modal::kNone);
}

TEST_F(ProgramScreen, TheCatalogueEditorsKeepTheProgramOpen) {
  open_program("P1");
  bool checked = false;
  when([this] { return on_73(); }, [this] { f().request_screen(11); });
  when([this] { return f().AKTUALNIOBRAZOVKA == 11; }, [&, this] {
    EXPECT_EQ(f().requests_sent[41], 0);
    EXPECT_EQ(session().open_program, "p1");
    checked = true;
  });
  ASSERT_TRUE(run_until([&] { return checked; }));
}

TEST_F(ProgramScreen, LeavingForTheOrderEditorReleasesTheProgram) {
  open_program("P1");
  when([this] { return idle(); }, [this] { key(keys::kEscape); });
  ASSERT_TRUE(run_until([this] {
    return f().requests_sent[41] == 1 && session().open_program.empty() && info().POSLAKCE == 228;
  }));
  EXPECT_EQ(f().POZADOVANAOBRAZOVKA, 71);
}

TEST_F(ProgramScreen, ProductionNamesTheMissingThread) {
  TProgramZak p = server_record("P1");
  p.STEHU = 100;
  p.UMISTENI = 1;
  p.MATERIAL = 1;
  p.KUSU = 5;
  p.BAREV = 2;
  p.BARVY[0].assign("1001");
  p.BARVY[1].assign("7777");
  ASSERT_TRUE(write_records<TProgramZak>(prog("P1"), {p}));
  open_program("P1");
  // The field cursor down to the production toggle, then Enter.
  int polls = 0;
  for (int i = 0; i < 9; ++i)
    when([&, this] { return idle() && ++polls % 20 == 0; }, [this] { hb().extended_key(keys::kDown); });
  when([&, this] { return idle() && ++polls % 20 == 0; }, [this] {
    shot("program-production");
    key(13);
  });
  bool seen = false;
  when_modal(Modal::kError, [&, this] {
    seen = true;
    EXPECT_EQ(f().modal.key, "error138");
    EXPECT_EQ(f().subject_name, "7777");
    shot("program-error138");
    key(13);
  });
  ASSERT_TRUE(run_until([&, this] { return seen && on_73(); }));
  EXPECT_FALSE(app->workspace.AKTPROGRAM.VYROBNI);
}

TEST_F(ProgramScreen, ReservedNamesAreNeverAttached) {
  dir.write_file("client/designs/PROG.DAT", "not a program record");
  open_program("P1");
  when([this] { return on_73(); }, [this] { key('+'); });
  in_browser([this] {
    hb().extended_key(79);
    key(13);
  });
  ASSERT_TRUE(run_until([this] { return on_73() && script.empty() && f().status_text.find("PROG.DAT") != std::string::npos; }));
  EXPECT_EQ(f().requests_sent[30], 0);
  EXPECT_EQ(server_record("P1").KOD.str(), "P1") << "the program record is untouched";
}

}  // namespace
}  // namespace ksv::client::testing
