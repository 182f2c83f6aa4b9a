// One working session of the orders screens over loopback with the client's own protocol code:
// create and open an order and programs, set stitch data, upload the stitch file (copied to the
// linked program), fetch the file list and the order list as the client does.
#include "protocol/records/file_list.h"
#include "protocol/records/orders.h"
#include "server/store/order_search.h"
#include "server/tests/store_rig.h"

namespace ksv::server::testing {
namespace {

namespace sl = ksv::slot;

TEST(StoreOverLoopback, OrderProgramStitchFileAndLists) {
  Rig rig;
  ASSERT_EQ(rig.start(), 0);
  rig.add_user("mistr", "tajne", -1);
  auto c = rig.connect();
  ASSERT_EQ(rig.login(*c, "mistr", "tajne"), 194);
  auto text = [&](uint8_t code, const std::string& s) {
    return rig.request(*c, code, [&](Packet& b) { b.ULOZRETEZEC(sl::kText, true, s); });
  };

  ASSERT_EQ(text(19, "Zak-7"), 224);
  ASSERT_EQ(text(17, "Zak-7"), 225);
  EXPECT_EQ(c->conn.BUFFERPACKET.ZISKEJCISLO(sl::kText), 0) << "not read-only";
  ASSERT_EQ(text(42, "P1"), 229);
  ASSERT_EQ(text(42, "P2"), 229);
  TLinkovani links{};
  links.codes[0].assign("P2");
  ASSERT_TRUE(write_records<TLinkovani>(rig.dir.path() + "databaze/zak-7/p1/proglnk.dat",
                                        std::vector<TLinkovani>{links}));
  ASSERT_EQ(text(40, "P1"), 227);

  Packet& b = Rig::compose(*c, 33);
  b.ULOZCISLO(4, 15000);  // stitches
  b.ULOZCISLO(8, 6);      // colours
  b.ULOZCISLO(12, 800);   // width
  b.ULOZCISLO(16, 550);   // height
  ASSERT_TRUE(rig.exchange(*c, 33));
  ASSERT_EQ(c->conn.INFOKLIENT.POSLAKCE, 213);
  for (const char* p : {"p1", "p2"}) {
    auto r = read_record<TProgramZak>(rig.dir.path() + "databaze/zak-7/" + p + "/prog.dat", 0);
    ASSERT_TRUE(r);
    EXPECT_EQ(r->STEHU, 15000);
    EXPECT_EQ(r->BAREV, 6);
    EXPECT_EQ(r->X, 800);
    EXPECT_EQ(r->Y, 550);
  }

  const std::string dst(3000, 'S');
  rig.dir.write_file("client/temp/prog.dst", dst);
  ASSERT_EQ(c->ZACNIODESILAT(rig.dir.path() + "client/temp/prog.dst"), 0);
  ASSERT_TRUE(rig.finish_transfer(*c));
  EXPECT_EQ(rig.dir.read_file("databaze/zak-7/p1/prog.dst"), dst);
  EXPECT_EQ(rig.dir.read_file("databaze/zak-7/p2/prog.dst"), dst);

  // The stitch file list of the open program, fetched like the program editor does.
  ASSERT_EQ(rig.request(*c, 63, [](Packet& b) { b.ULOZCISLO(sl::kText, 3); }), 252);
  ASSERT_EQ(c->conn.BUFFERPACKET.ZISKEJRETEZEC(sl::kText, true), "sezns0");
  ASSERT_EQ(c->ZACNIPRIJIMAT(rig.dir.path() + "client/temp/sezns0"), 0);
  ASSERT_TRUE(rig.finish_transfer(*c));
  auto files = read_records<TSeznamSoub>(rig.dir.path() + "client/temp/sezns0");
  ASSERT_TRUE(files);
  ASSERT_EQ(files->size(), 1u);
  EXPECT_EQ((*files)[0].JMENO.str(), "prog.dst");
  EXPECT_EQ((*files)[0].VEL, 3000);

  // Back in the browser: the order list with the programs' sums.
  ASSERT_EQ(rig.request(*c, 41), 228);
  ASSERT_EQ(rig.request(*c, 18), 226);
  TKriteria f;
  f.mode = 6;
  f.programs = f.without_sample = f.production = true;
  ASSERT_EQ(rig.request(*c, 63, [&](Packet& b) { write_criteria(b, f); }), 252);
  ASSERT_EQ(c->conn.BUFFERPACKET.ZISKEJRETEZEC(sl::kText, true), "seznd0");
  ASSERT_EQ(c->ZACNIPRIJIMAT(rig.dir.path() + "client/temp/seznd0"), 0);
  ASSERT_TRUE(rig.finish_transfer(*c));
  auto orders = read_records<TSeznamDatabanky>(rig.dir.path() + "client/temp/seznd0");
  ASSERT_TRUE(orders);
  ASSERT_EQ(orders->size(), 1u);
  EXPECT_EQ((*orders)[0].CISLO.str(), "Zak-7");
  EXPECT_EQ((*orders)[0].PROGRAMU, 2);
  EXPECT_EQ((*orders)[0].STEHU, 30000);
  EXPECT_EQ((*orders)[0].DATUM.ROK >= 2026, true);

  // Copying and deleting an order, and the calculation settings: the client's wait ends on
  // each command's own reply.
  ASSERT_EQ(rig.request(*c, 16,
                        [](Packet& p) {
                          p.ULOZRETEZEC(sl::kText, true, "Zak-7");
                          p.ULOZRETEZEC(sl::kText2, true, "Zak-8");
                          p.ULOZCISLO(600, 1);
                          p.ULOZRETEZEC(604 + 17, false, "P1");
                        }),
            224);
  EXPECT_TRUE(rig.dir.exists("databaze/zak-8/p1/prog.dat"));
  ASSERT_EQ(text(14, "Zak-8"), 223);
  EXPECT_FALSE(rig.dir.exists("databaze/zak-8"));
  ASSERT_EQ(rig.request(*c, 8), 209);
  ASSERT_EQ(rig.request(*c, 9, [](Packet& p) { p.ULOZCISLO(4, 1234); }), 209);
  ASSERT_EQ(rig.request(*c, 8), 209);
  EXPECT_EQ(c->conn.BUFFERPACKET.ZISKEJCISLO(4), 1234);
}

}  // namespace
}  // namespace ksv::server::testing
