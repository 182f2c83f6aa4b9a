// Saving a program's links: the links dialog uploads the table as "proglnk.upd"; the server
// checks it, makes it the program's "proglnk.dat" and the session's table in force. And the
// placement picture an upload may become only under the name 38 gave the session.
#include <cstring>

#include "protocol/records/catalogues.h"
#include "protocol/records/orders.h"
#include "server/tests/store_rig.h"

namespace ksv::server::testing {
namespace {

namespace sl = ksv::slot;

class ProgramLinks : public ::testing::Test {
 protected:
  void SetUp() override {
    st.seat(0, "mistr");
    st.open(0, "Z1");
    for (const char* p : {"p1", "p2", "p3"}) ASSERT_EQ(st.text(0, 42, p), 229);
    ASSERT_EQ(st.text(0, 40, "p1"), 227);
  }

  // An upload through the transfer commands, as a client sends it; the reply to the last block.
  int upload(const std::string& name, const std::string& data) {
    Packet& b = st.compose(30);
    b.NASTAVPRIKAZ(30, 0, false);
    b.ULOZRETEZEC(sl::kText, true, name);
    if (int r = st.run(0); r != 221) return r;
    size_t at = 0;
    for (uint16_t block = 0;; ++block) {
      const size_t n = std::min<size_t>(1016, data.size() - at);
      const bool last = at + n == data.size();
      Packet& c = st.compose(120);
      c.NASTAVPRIKAZ(120, block, last);
      c.ULOZCISLO(sl::kText, int32_t(n));
      std::memcpy(c.bytes + sl::kData, data.data() + at, n);
      at += n;
      const int r = st.run(0);
      if (last || r != 221) return r;
    }
  }
  static std::string table(std::initializer_list<const char*> codes) {
    TLinkovani l{};
    int i = 0;
    for (const char* c : codes) l.codes[i++ * 2].assign(c);  // every other entry, holes between
    return std::string(reinterpret_cast<const char*>(&l), sizeof l);
  }
  int stitch(int32_t stitches) {
    Packet& b = st.compose(33);
    b.ULOZCISLO(4, stitches);
    b.ULOZCISLO(8, 2);
    b.ULOZCISLO(12, 100);
    b.ULOZCISLO(16, 50);
    return st.run(0);
  }
  int32_t stitches_of(const char* program) {
    return st.read<TProgramZak>(std::string("databaze/z1/") + program + "/prog.dat").STEHU;
  }

  StoreRig st;
};

TEST_F(ProgramLinks, AnUploadedTableBecomesTheLinksInForceAtOnce) {
  ASSERT_EQ(upload("PROGLNK.UPD", table({"P2"})), 221);
  EXPECT_EQ(st.rig.dir.read_file("databaze/z1/p1/proglnk.dat"), table({"P2"}));
  EXPECT_FALSE(st.rig.dir.exists("databaze/z1/p1/proglnk.upd"));

  // Without reopening the program, stitch data and the stitch file follow the new links.
  ASSERT_EQ(stitch(4321), 213);
  EXPECT_EQ(stitches_of("p2"), 4321);
  EXPECT_EQ(stitches_of("p3"), 0);
  ASSERT_EQ(upload("prog.dst", "LA:x\r" + std::string(600, ' ')), 221);
  EXPECT_TRUE(st.rig.dir.exists("databaze/z1/p2/prog.dst"));
  EXPECT_FALSE(st.rig.dir.exists("databaze/z1/p3/prog.dst"));

  // A new table replaces the old one: p2 is no longer linked.
  ASSERT_EQ(upload("proglnk.upd", table({"p3"})), 221);
  ASSERT_EQ(stitch(99), 213);
  EXPECT_EQ(stitches_of("p3"), 99);
  EXPECT_EQ(stitches_of("p2"), 4321);
  // And the table stays after the program is closed and opened again.
  st.compose(41);
  ASSERT_EQ(st.run(0), 228);
  ASSERT_EQ(st.text(0, 40, "p1"), 227);
  ASSERT_EQ(stitch(7), 213);
  EXPECT_EQ(stitches_of("p3"), 7);
}

TEST_F(ProgramLinks, ABadTableIsRefusedAndTheOldOneStays) {
  ASSERT_EQ(upload("proglnk.upd", table({"p2"})), 221);
  std::string too_long = table({"p3"});
  too_long[2 * 17] = 17;  // a length past the 16 characters of the field
  const std::string bad[] = {table({"p3", "P1"}) /* the program itself */, table({"../z2"}),
                             table({"a/b"}), too_long, table({"p3"}).substr(0, 407),
                             table({"p3"}) + "x", ""};
  for (const std::string& t : bad) {
    SCOPED_TRACE(t.size());
    EXPECT_EQ(upload("proglnk.upd", t), 254);
    EXPECT_EQ(st.rig.dir.read_file("databaze/z1/p1/proglnk.dat"), table({"p2"}));
    EXPECT_FALSE(st.rig.dir.exists("databaze/z1/p1/proglnk.upd"));
  }
  ASSERT_EQ(stitch(55), 213);
  EXPECT_EQ(stitches_of("p2"), 55) << "the links in force are still the old ones";
  EXPECT_EQ(stitches_of("p3"), 0);

  // The table itself can never be uploaded, and a table without an open program is refused.
  EXPECT_EQ(upload("ProgLnk.Dat", table({"p3"})), 254);
  st.compose(41);
  ASSERT_EQ(st.run(0), 228);
  EXPECT_EQ(upload("proglnk.upd", table({"p3"})), 254);
  EXPECT_FALSE(st.rig.dir.exists("databaze/z1/proglnk.upd"));
}

TUmisteni placement(const char* name, int32_t material) {
  TUmisteni u{};
  u.POPIS.assign(name);
  u.MATERIAL = material;
  return u;
}

TEST_F(ProgramLinks, OnlyTheNameFrom38BecomesAPlacementPictureAndOnlyOnce) {
  st.seat(1, "druhy");
  ASSERT_EQ(st.record(0, 55, placement("ZADA", 3)), 207);  // placement 1
  ASSERT_EQ(st.record(0, 55, placement("RUKAV", 3)), 207);  // placement 2

  // An attachment that merely looks like a picture upload stays an attachment.
  ASSERT_EQ(upload("1%00.ksv", "KSVv attachment"), 221);
  EXPECT_FALSE(st.rig.dir.exists("umisten/1.ksv"));
  EXPECT_EQ(st.rig.dir.read_file("databaze/z1/p1/1%00.ksv"), "KSVv attachment");

  // 38 names the upload; another id, or the name given to another session, is no picture.
  ASSERT_EQ(st.record(0, 38, placement("ZADA", 3)), 237);
  ASSERT_EQ(st.reply_text(), "1%00.ksv");
  ASSERT_EQ(st.record(1, 38, placement("RUKAV", 3)), 237);
  ASSERT_EQ(upload("2%00.ksv", "not mine"), 221);
  EXPECT_FALSE(st.rig.dir.exists("umisten/2.ksv"));
  ASSERT_EQ(upload("1%00.ksv", "KSVv picture"), 221);
  EXPECT_EQ(st.rig.dir.read_file("umisten/1.ksv"), "KSVv picture");
  EXPECT_FALSE(st.rig.dir.exists("databaze/z1/p1/1%00.ksv"));

  // The name is used up.
  ASSERT_EQ(upload("1%00.ksv", "again"), 221);
  EXPECT_EQ(st.rig.dir.read_file("umisten/1.ksv"), "KSVv picture");
}

}  // namespace
}  // namespace ksv::server::testing
