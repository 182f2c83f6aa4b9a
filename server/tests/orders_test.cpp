// Orders and programs through the dispatcher: directory names and the order lock between
// sessions, names that try to leave the data tree, the program counter and the new program's
// record, linked programs (stitch data and stitch file), copying an order, deleting one.
#include <dirent.h>

#include <algorithm>
#include <set>

#include "protocol/records/orders.h"
#include "server/tests/store_rig.h"

namespace ksv::server::testing {
namespace {

namespace sl = ksv::slot;

std::set<std::string> entries(const std::string& dir) {
  std::set<std::string> out;
  if (DIR* d = ::opendir(dir.c_str())) {
    while (dirent* e = ::readdir(d))
      if (std::string(e->d_name) != "." && std::string(e->d_name) != "..") out.insert(e->d_name);
    ::closedir(d);
  }
  return out;
}

class Orders : public ::testing::Test {
 protected:
  void SetUp() override {
    mistr = st.seat(0, "mistr");
    druhy = st.seat(1, "druhy");
  }
  StoreRig st;
  int32_t mistr = -1, druhy = -1;
};

TEST_F(Orders, CreateLowerCasesTheDirectoryAndAnOpenOrderIsLockedAgainstOthers) {
  ASSERT_EQ(st.text(0, 19, "A-100"), 224);
  EXPECT_EQ(st.reply_number(), 0);
  EXPECT_EQ(entries(st.path("databaze")), std::set<std::string>{"a-100"});
  auto info = st.read<TPolozkaDatabanky>("databaze/a-100/info.dat");
  EXPECT_EQ(info.CISLO.str(), "A-100");
  EXPECT_EQ(info.AUTOR, mistr);
  EXPECT_EQ(info.PROGRAMU, 0);
  EXPECT_EQ(st.text(0, 19, "a-100"), 254) << "the same directory twice";

  ASSERT_EQ(st.text(0, 17, "A-100"), 225);
  EXPECT_EQ(st.reply_number(), 0);
  EXPECT_EQ(st.server().session(0).open_order, "a-100");
  EXPECT_EQ(st.text(0, 19, "B-1"), 254) << "no new order while one is open";
  EXPECT_EQ(st.text(0, 17, "A-100"), 254) << "already open in this session";

  // The second session is refused while the first holds it, under any spelling.
  EXPECT_EQ(st.text(1, 17, "a-100"), 254);
  EXPECT_EQ(st.text(1, 14, "A-100"), 254);
  EXPECT_EQ(st.text(0, 14, "A-100"), 254) << "not even its holder may delete it";

  st.compose(18);
  ASSERT_EQ(st.run(0), 226);
  EXPECT_EQ(st.text(1, 17, "a-100"), 225);
  st.compose(18);
  ASSERT_EQ(st.run(1), 226);
  st.compose(18);
  EXPECT_EQ(st.run(1), 254) << "nothing open to close";

  EXPECT_EQ(st.text(0, 17, "nikde"), 254) << "a missing order";
  ASSERT_EQ(st.text(1, 14, "A-100"), 223);
  EXPECT_FALSE(st.rig.dir.exists("databaze/a-100"));
  EXPECT_EQ(st.text(1, 14, "A-100"), 254);
}

TEST_F(Orders, DisconnectReleasesTheOrder) {
  st.open(0, "Z1", "P1");
  EXPECT_EQ(st.text(1, 17, "Z1"), 254);
  st.server().disconnect(0);
  EXPECT_EQ(st.text(1, 17, "Z1"), 225);
}

TEST_F(Orders, NamesThatWouldLeaveTheDataTreeAreRefusedAndNothingIsCreated) {
  st.rig.dir.write_file("databaze/good/info.dat", std::string(1072, '\0'));
  const std::set<std::string> base_before = entries(st.base());
  const std::vector<std::string> bad = {"../evil", "..",    "a/b", "a\\b", "",   ".",
                                        "x..y",    "ok\x01", std::string("n\0ul", 4), "\x7f"};
  for (const std::string& name : bad) {
    SCOPED_TRACE(name);
    EXPECT_EQ(st.text(0, 19, name), 254);
    EXPECT_EQ(st.text(0, 17, name), 254);
    EXPECT_EQ(st.text(0, 14, name), 254);
    Packet& b = st.compose(16);
    b.ULOZRETEZEC(sl::kText, true, "good");
    b.ULOZRETEZEC(sl::kText2, true, name);
    EXPECT_EQ(st.run(0), 254);
  }
  ASSERT_EQ(st.text(0, 17, "good"), 225);
  for (const std::string& name : bad) {
    SCOPED_TRACE(name);
    EXPECT_EQ(st.text(0, 42, name), 254);
    EXPECT_EQ(st.text(0, 40, name), 254);
  }
  EXPECT_EQ(entries(st.base()), base_before);
  EXPECT_EQ(entries(st.path("databaze")), std::set<std::string>{"good"});
  EXPECT_EQ(entries(st.path("databaze/good")), std::set<std::string>{"info.dat"});
}

TEST_F(Orders, ProgramsAreCountedAndStartWithNobodyAndAnEmptyHistory) {
  st.open(0, "Z1");
  ASSERT_EQ(st.text(0, 42, "Logo-A"), 229);
  ASSERT_EQ(st.text(0, 42, "Logo-B"), 229);
  EXPECT_EQ(st.text(0, 42, "LOGO-a"), 254) << "the directory exists";
  EXPECT_EQ(st.read<TPolozkaDatabanky>("databaze/z1/info.dat").PROGRAMU, 2);

  auto p = st.read<TProgramZak>("databaze/z1/logo-a/prog.dat");
  EXPECT_EQ(p.KOD.str(), "Logo-A");
  EXPECT_EQ(p.AUTOR, mistr);
  EXPECT_EQ(p.DATUM.DEN, 10);
  EXPECT_EQ(p.DATUM.MES, 3);
  EXPECT_EQ(p.DATUM.ROK, 2026);
  EXPECT_EQ(p.CAS.HOD, 10);
  for (int32_t id : {p.SCHVALIL, p.MATERIAL, p.VZOROVAL, p.VYSIL, p.MASIT, p.MANIPULACE,
                     p.UMISTENI})
    EXPECT_EQ(id, -1);
  EXPECT_EQ(p.KUSU, 0);
  EXPECT_EQ(p.DATABANKA, 0);
  const auto* h = reinterpret_cast<const uint8_t*>(p.HISTORIE);
  EXPECT_TRUE(std::all_of(h, h + sizeof p.HISTORIE, [](uint8_t c) { return c == 0xFF; }));

  // Opening creates an empty link table; a second program cannot be opened over the first.
  ASSERT_EQ(st.text(0, 40, "LOGO-A"), 227);
  EXPECT_EQ(st.rig.dir.read_file("databaze/z1/logo-a/proglnk.dat"), std::string(408, '\0'));
  EXPECT_EQ(st.text(0, 40, "logo-b"), 254);
  EXPECT_EQ(st.text(0, 42, "logo-c"), 254);
  st.compose(41);
  EXPECT_EQ(st.run(0), 228);
  st.compose(41);
  EXPECT_EQ(st.run(0), 254);
  EXPECT_EQ(st.text(0, 40, "chybi"), 254);

  // Without an order nothing about programs works.
  st.compose(18);
  ASSERT_EQ(st.run(0), 226);
  EXPECT_EQ(st.text(0, 42, "x"), 254);
  EXPECT_EQ(st.text(0, 40, "logo-a"), 254);
}

TEST_F(Orders, ClosingTheOrderAlsoReleasesItsProgram) {
  st.open(0, "Z1", "P1");
  st.compose(18);
  ASSERT_EQ(st.run(0), 226);
  EXPECT_TRUE(st.server().session(0).open_program.empty());
  // Otherwise the stale program would refuse every later program open.
  st.open(0, "Z1", "P2");
}

// The order, with programs p1, p2, p3; p1 links P2, p3 and a program that does not exist.
class Links : public Orders {
 protected:
  void SetUp() override {
    Orders::SetUp();
    st.open(0, "Z1");
    for (const char* p : {"p1", "p2", "p3", "p4"}) ASSERT_EQ(st.text(0, 42, p), 229);
    TLinkovani l{};
    l.codes[0].assign("P2");
    l.codes[3].assign("ghost");
    l.codes[5].assign("p3");
    st.write("databaze/z1/p1/proglnk.dat", l);
  }
  int stitch(int slot, int32_t stitches, int32_t colours, int32_t width, int32_t height) {
    Packet& b = st.compose(33);
    b.ULOZCISLO(4, stitches);
    b.ULOZCISLO(8, colours);
    b.ULOZCISLO(12, width);
    b.ULOZCISLO(16, height);
    return st.run(slot);
  }
};

TEST_F(Links, StitchDataGoesToTheProgramAndEveryLinkedOneInTheClientsOrder) {
  EXPECT_EQ(stitch(0, 1, 2, 3, 4), 254) << "no program open";
  ASSERT_EQ(st.text(0, 40, "p1"), 227);
  ASSERT_EQ(stitch(0, 12000, 5, 650, 420), 213);
  for (const char* p : {"p1", "p2", "p3"}) {
    SCOPED_TRACE(p);
    auto r = st.read<TProgramZak>(std::string("databaze/z1/") + p + "/prog.dat");
    EXPECT_EQ(r.STEHU, 12000);
    EXPECT_EQ(r.BAREV, 5);
    EXPECT_EQ(r.X, 650);
    EXPECT_EQ(r.Y, 420);
    EXPECT_EQ(r.SCHVALIL, -1) << "nothing else changes";
  }
  EXPECT_EQ(st.read<TProgramZak>("databaze/z1/p4/prog.dat").STEHU, 0) << "not linked";
  EXPECT_FALSE(st.rig.dir.exists("databaze/z1/ghost")) << "a missing link is skipped";

  // A program without links changes alone.
  st.compose(41);
  ASSERT_EQ(st.run(0), 228);
  ASSERT_EQ(st.text(0, 40, "p2"), 227);
  ASSERT_EQ(stitch(0, 7, 1, 10, 20), 213);
  EXPECT_EQ(st.read<TProgramZak>("databaze/z1/p2/prog.dat").STEHU, 7);
  EXPECT_EQ(st.read<TProgramZak>("databaze/z1/p1/prog.dat").STEHU, 12000);
}

TEST_F(Links, EachSessionUsesTheLinksOfItsOwnProgram) {
  ASSERT_EQ(st.text(0, 40, "p1"), 227);
  // Another session opens a program of another order afterwards; its (empty) links must not
  // replace the first session's.
  st.open(1, "Z2", "q1");
  ASSERT_EQ(stitch(0, 500, 2, 30, 40), 213);
  EXPECT_EQ(st.read<TProgramZak>("databaze/z1/p2/prog.dat").STEHU, 500);
  // And the first session's links never reach the other order.
  ASSERT_EQ(st.text(1, 42, "p2"), 254) << "a program is open there";
  ASSERT_EQ(stitch(1, 9, 9, 9, 9), 213);
  EXPECT_EQ(st.read<TProgramZak>("databaze/z1/p2/prog.dat").STEHU, 500);
}

TEST_F(Links, AFinishedStitchFileUploadIsCopiedToTheLinkedPrograms) {
  ASSERT_EQ(st.text(0, 40, "p1"), 227);
  const std::string data = "LA:test\nST:1000\n" + std::string(2000, 'x');
  // The upload as the transfer commands carry it: start, then two blocks.
  Packet& b = st.compose(30);
  b.NASTAVPRIKAZ(30, 0, false);
  b.ULOZRETEZEC(sl::kText, true, "PROG.DST");
  ASSERT_EQ(st.run(0), 221);
  b = st.compose(120);
  b.NASTAVPRIKAZ(120, 0, false);
  b.ULOZCISLO(sl::kText, 1016);
  std::memcpy(b.bytes + sl::kData, data.data(), 1016);
  ASSERT_EQ(st.run(0), 221);
  b = st.compose(120);
  b.NASTAVPRIKAZ(120, 1, true);
  b.ULOZCISLO(sl::kText, int32_t(data.size() - 1016));
  std::memcpy(b.bytes + sl::kData, data.data() + 1016, data.size() - 1016);
  ASSERT_EQ(st.run(0), 221);

  EXPECT_EQ(st.rig.dir.read_file("databaze/z1/p1/prog.dst"), data);
  EXPECT_EQ(st.rig.dir.read_file("databaze/z1/p2/prog.dst"), data);
  EXPECT_EQ(st.rig.dir.read_file("databaze/z1/p3/prog.dst"), data);
  EXPECT_FALSE(st.rig.dir.exists("databaze/z1/p4/prog.dst"));
  EXPECT_FALSE(st.rig.dir.exists("databaze/z1/ghost"));
}

TEST_F(Orders, TheProgramInUseFlagFollowsTheOpenProgramsOfAllSessions) {
  st.open(0, "Z1", "P1");
  // The order lock keeps a second session out, so the flag is seen only when two sessions hold
  // the same program some other way; set that up by hand.
  TKlient& other = st.server().session(1);
  other.open_order = "z1";
  other.open_program = "p1";
  update_program_flags(st.server());
  EXPECT_TRUE(st.server().session(0).program_in_use_elsewhere);
  EXPECT_TRUE(other.program_in_use_elsewhere);
  EXPECT_EQ(st.text(1, 42, "p9"), 253);
  st.server().disconnect(1);
  EXPECT_FALSE(st.server().session(0).program_in_use_elsewhere);
  st.compose(41);
  ASSERT_EQ(st.run(0), 228);
  EXPECT_EQ(st.text(0, 42, "p9"), 229);
}

class Copy : public Orders {
 protected:
  void SetUp() override {
    Orders::SetUp();
    st.open(0, "Z1");
    for (const char* p : {"p1", "p2"}) ASSERT_EQ(st.text(0, 42, p), 229);
    st.change<TPolozkaDatabanky>("databaze/z1/info.dat", [](TPolozkaDatabanky& o) {
      o.POPIS.assign("cepice");
      o.ZAKAZNIK.assign("Hasici");
      o.UZAVRENO = 1;
    });
    st.change<TProgramZak>("databaze/z1/p1/prog.dat", [&](TProgramZak& p) {
      p.STEHU = 8000;
      p.BAREV = 2;
      p.BARVY[0].assign("1800");
      p.BARVY[1].assign("1801");
      p.KUSU = 50;
      p.MATERIAL = 3;
      p.UMISTENI = 4;
      p.FAKTURA.assign("F-77");
      p.VZOREK = p.SCHVALENO = p.SCHVALILZAK = p.VYROBNI = p.UZAVRENO = 1;
      p.SCHVALIL = p.VZOROVAL = p.VYSIL = p.MASIT = p.MANIPULACE = druhy;
      p.VYSITOKDY = TDatum{1, 2, 2026};
      p.MANIPUL = TDatum{2, 2, 2026};
      p.HISTORIE[0] = THistorie{5, druhy};
      p.DATUM = TDatum{1, 1, 2025};
    });
    st.rig.dir.write_file("databaze/z1/p1/prog.dst", "stitches");
    st.rig.dir.write_file("databaze/z1/navrh.pdf", "pdf");
    st.compose(18);
    ASSERT_EQ(st.run(0), 226);
  }
  int copy(int slot, const std::string& from, const std::string& to,
           const std::vector<std::string>& codes, int32_t count = -1) {
    Packet& b = st.compose(16);
    b.ULOZRETEZEC(sl::kText, true, from);
    b.ULOZRETEZEC(sl::kText2, true, to);
    b.ULOZCISLO(600, count >= 0 ? count : int32_t(codes.size()));
    for (size_t k = 1; k <= codes.size(); ++k) {
      const int at = 604 + 17 * int(k);
      if (at >= kPacketSize) break;
      const size_t n = std::min({codes[k - 1].size(), size_t(16), size_t(kPacketSize - at - 1)});
      b.bytes[at] = uint8_t(codes[k - 1].size());
      std::memcpy(b.bytes + at + 1, codes[k - 1].data(), n);
    }
    return st.run(slot);
  }
};

TEST_F(Copy, CopiedProgramsStartAfreshButKeepTheirDesign) {
  ASSERT_EQ(copy(1, "Z1", "Z1-KOPIE", {"P1"}), 224);
  EXPECT_EQ(entries(st.path("databaze/z1-kopie")),
            (std::set<std::string>{"info.dat", "navrh.pdf", "p1"}));
  EXPECT_EQ(st.rig.dir.read_file("databaze/z1-kopie/navrh.pdf"), "pdf");
  EXPECT_EQ(st.rig.dir.read_file("databaze/z1-kopie/p1/prog.dst"), "stitches");

  auto o = st.read<TPolozkaDatabanky>("databaze/z1-kopie/info.dat");
  EXPECT_EQ(o.CISLO.str(), "Z1-KOPIE");
  EXPECT_EQ(o.PROGRAMU, 1);
  EXPECT_EQ(o.AUTOR, druhy);
  EXPECT_EQ(o.UZAVRENO, 0);
  EXPECT_EQ(o.POPIS.str(), "cepice");
  EXPECT_EQ(o.ZAKAZNIK.str(), "Hasici");

  auto p = st.read<TProgramZak>("databaze/z1-kopie/p1/prog.dat");
  EXPECT_EQ(p.DATABANKA, 2);
  EXPECT_EQ(p.AUTOR, druhy);
  EXPECT_EQ(p.DATUM.ROK, 2026);
  EXPECT_EQ(p.DATUM.MES, 3);
  for (uint8_t f : {p.VZOREK, p.SCHVALENO, p.SCHVALILZAK, p.VYROBNI, p.UZAVRENO}) EXPECT_EQ(f, 0);
  for (int32_t id : {p.SCHVALIL, p.VZOROVAL, p.VYSIL, p.MASIT, p.MANIPULACE}) EXPECT_EQ(id, -1);
  EXPECT_EQ(p.VYSITOKDY.ROK, 0);
  EXPECT_EQ(p.MANIPUL.ROK, 0);
  EXPECT_EQ(p.HISTORIE[0].ZMENA, -1);
  EXPECT_EQ(p.HISTORIE[0].UZIVATEL, -1);
  // The design stays.
  EXPECT_EQ(p.STEHU, 8000);
  EXPECT_EQ(p.BAREV, 2);
  EXPECT_EQ(p.BARVY[1].str(), "1801");
  EXPECT_EQ(p.KUSU, 50);
  EXPECT_EQ(p.MATERIAL, 3);
  EXPECT_EQ(p.UMISTENI, 4);
  EXPECT_EQ(p.FAKTURA.str(), "F-77");
  EXPECT_EQ(p.KOD.str(), "p1");
  // The source is untouched.
  EXPECT_EQ(st.read<TProgramZak>("databaze/z1/p1/prog.dat").DATABANKA, 0);
  EXPECT_EQ(st.read<TPolozkaDatabanky>("databaze/z1/info.dat").UZAVRENO, 1);
}

TEST_F(Copy, RefusalsAndCounts) {
  EXPECT_EQ(copy(1, "Z1", "Z1", {}), 254) << "the new directory exists";
  EXPECT_EQ(copy(1, "nikde", "N1", {}), 254) << "no source";
  EXPECT_FALSE(st.rig.dir.exists("databaze/n1"));

  ASSERT_EQ(st.text(0, 17, "Z1"), 225);
  EXPECT_EQ(copy(1, "Z1", "N2", {"p1"}), 254) << "the source is open in a session";
  EXPECT_EQ(copy(0, "Z1", "N2", {"p1"}), 254) << "also in the requesting one";
  EXPECT_FALSE(st.rig.dir.exists("databaze/n2"));
  st.compose(18);
  ASSERT_EQ(st.run(0), 226);

  // No programs: only the order's files.
  ASSERT_EQ(copy(1, "Z1", "N3", {}), 224);
  EXPECT_EQ(entries(st.path("databaze/n3")), (std::set<std::string>{"info.dat", "navrh.pdf"}));
  EXPECT_EQ(st.read<TPolozkaDatabanky>("databaze/n3/info.dat").PROGRAMU, 0);

  // A code listed twice is copied once and counted once.
  ASSERT_EQ(copy(1, "Z1", "N4", {"p1", "P1", "p2"}), 224);
  EXPECT_EQ(st.read<TPolozkaDatabanky>("databaze/n4/info.dat").PROGRAMU, 2);

  // A program that is not there fails the copy, and nothing of it is left to block the number.
  EXPECT_EQ(copy(1, "Z1", "N5", {"p1", "chybi"}), 254);
  EXPECT_FALSE(st.rig.dir.exists("databaze/n5"));
  EXPECT_EQ(entries(st.path("databaze")), (std::set<std::string>{"z1", "n3", "n4"}));
  EXPECT_EQ(copy(1, "Z1", "N5", {"p1"}), 224);

  // A code with a path in it refuses the whole copy before anything is made.
  EXPECT_EQ(copy(1, "Z1", "N6", {"p1", "../../x"}), 254);
  EXPECT_FALSE(st.rig.dir.exists("databaze/n6"));
}

TEST_F(Copy, TheLastCodesReachThePacketsEnd) {
  ASSERT_EQ(st.text(0, 17, "Z1"), 225);
  std::vector<std::string> codes = {"p1", "p2"};
  for (int i = 3; i <= 24; ++i) {
    codes.push_back(std::string("p").append(std::to_string(i)));
    ASSERT_EQ(st.text(0, 42, codes.back()), 229);
  }
  st.compose(18);
  ASSERT_EQ(st.run(0), 226);
  // The 24th code sits at 604 + 17 * 24 = 1012: a code of up to 11 characters still fits.
  ASSERT_EQ(copy(1, "Z1", "N1", codes), 224);
  EXPECT_EQ(st.read<TPolozkaDatabanky>("databaze/n1/info.dat").PROGRAMU, 24);
  EXPECT_TRUE(st.rig.dir.exists("databaze/n1/p24/prog.dat"));
  // A longer one would be read past the packet: refused before anything is made.
  codes.back() = "abcdefghijkl";
  EXPECT_EQ(copy(1, "Z1", "N2", codes), 254);
  EXPECT_FALSE(st.rig.dir.exists("databaze/n2"));
  // 25 programs is more than a copy carries: the order alone is copied.
  ASSERT_EQ(copy(1, "Z1", "N3", {}, 25), 224);
  EXPECT_EQ(entries(st.path("databaze/n3")), (std::set<std::string>{"info.dat", "navrh.pdf"}));
}

}  // namespace
}  // namespace ksv::server::testing
