// Users and rights: the exact effect of each administration command on "uzivatel.dat", the
// administrator's protections, login bookkeeping with delegation expiry, the replies the client
// reads, and the local administration command line.
#include <sstream>

#include "protocol/record_file.h"
#include "protocol/rights.h"
#include "server/core/cli.h"
#include "server/tests/rig.h"

namespace ksv::server::testing {
namespace {

namespace sl = ksv::slot;

std::vector<TPrava> records(Rig& rig) {
  return read_records<TPrava>(rig.dir.path() + "uzivatel.dat").value_or(std::vector<TPrava>{});
}

std::vector<std::string> names(Rig& rig) {
  std::vector<std::string> out;
  for (const TPrava& p : records(rig)) out.push_back(p.UZIVATEL.str());
  return out;
}

class Users : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(rig.start(), 0);
    rig.add_user("mistr", "tajne", -1);
    c = rig.connect();
    ASSERT_EQ(rig.login(*c, "mistr", "tajne"), 194);
  }
  int create(const std::string& name, const std::string& pass, const std::string& code,
             int64_t rights) {
    return rig.request(*c, 25, [&](Packet& b) {
      b.ULOZRETEZEC(sl::kText, true, name);
      b.ULOZRETEZEC(sl::kText2, true, pass);
      b.SIFRUJHESLO();
      b.ULOZRETEZEC(sl::kText3, true, code);
      b.put_int64(sl::kInt64, rights);
    });
  }
  int by_name(uint8_t code, const std::string& name) {
    return rig.request(*c, code, [&](Packet& b) { b.ULOZRETEZEC(sl::kText, true, name); });
  }
  Rig rig;
  std::unique_ptr<Client> c;
};

TEST_F(Users, IdsAreNeverReusedAndDeletionShiftsLaterRecords) {
  ASSERT_EQ(create("anna", "a", "", 5), 235);
  EXPECT_EQ(c->conn.BUFFERPACKET.ZISKEJCISLO(sl::kNumber), 2);
  ASSERT_EQ(create("bara", "b", "K1", 6), 235);
  ASSERT_EQ(create("cyril", "c", "", 7), 235);
  EXPECT_EQ(records(rig)[0].ID, 4);

  // A middle user: the later ones move forward and keep their IDs.
  ASSERT_EQ(by_name(26, "bara"), 235);
  auto v = records(rig);
  ASSERT_EQ(v.size(), 5u);
  EXPECT_EQ(names(rig), (std::vector<std::string>{"", "admin", "mistr", "anna", "cyril"}));
  EXPECT_EQ(v[4].ID, 4);
  EXPECT_EQ(int64_t(v[4].PRAVA), 7);
  // The last user: the file is simply one record shorter.
  ASSERT_EQ(by_name(26, "cyril"), 235);
  EXPECT_EQ(rig.dir.file_size("uzivatel.dat"), 4 * 808);
  // A new user gets a fresh ID, not a freed one.
  ASSERT_EQ(create("dana", "d", "", 0), 235);
  EXPECT_EQ(c->conn.BUFFERPACKET.ZISKEJCISLO(sl::kNumber), 5);
  EXPECT_EQ(records(rig).back().HESLO.str(), "d");
}

TEST_F(Users, RefusalsLeaveTheFileUnchanged) {
  ASSERT_EQ(create("anna", "a", "K1", 0), 235);
  std::string before = rig.dir.read_file("uzivatel.dat");
  EXPECT_EQ(create("anna", "x", "", 0), 254);   // existing name
  EXPECT_EQ(create("", "x", "", 0), 254);       // empty name
  EXPECT_EQ(create("bob", "x", "K1", 0), 254);  // attendance code in use
  EXPECT_EQ(create("a\nb", "x", "", 0), 254);   // would split the user list
  EXPECT_EQ(by_name(26, "admin"), 254);
  EXPECT_EQ(by_name(26, "nikdo"), 254);
  EXPECT_EQ(by_name(26, ""), 254);  // never the header record
  EXPECT_EQ(rig.request(*c, 61,
                        [](Packet& b) {
                          b.ULOZRETEZEC(sl::kText, true, "admin");
                          b.put_int64(sl::kInt64, 0);
                        }),
            254);
  EXPECT_EQ(by_name(27, "nikdo"), 254);
  EXPECT_EQ(rig.dir.read_file("uzivatel.dat"), before);
  // Two users may both have no attendance code.
  EXPECT_EQ(create("bob", "x", "", 0), 235);
  EXPECT_EQ(create("cyril", "x", "", 0), 235);
}

TEST_F(Users, SavingKeepsTheAdministratorsRights) {
  auto save = [&](const std::string& name, const std::string& code, int64_t rights) {
    return rig.request(*c, 28, [&](Packet& b) {
      b.ULOZRETEZEC(sl::kText, true, name);
      b.ULOZRETEZEC(sl::kText2, true, "nove");
      b.SIFRUJHESLO();
      b.ULOZRETEZEC(sl::kText3, true, code);
      b.put_int64(sl::kInt64, rights);
    });
  };
  ASSERT_EQ(create("anna", "a", "K1", 0), 235);
  EXPECT_EQ(save("admin", "", 3), 246);
  EXPECT_EQ(int64_t(records(rig)[1].PRAVA), -1);
  EXPECT_EQ(records(rig)[1].HESLO.str(), "nove");
  EXPECT_EQ(save("mistr", "K1", 3), 254);  // anna's code
  EXPECT_EQ(save("anna", "K1", 3), 246);   // her own code stays hers
  EXPECT_EQ(int64_t(records(rig)[3].PRAVA), 3);
  EXPECT_EQ(save("nikdo", "", 3), 254);
}

TEST_F(Users, RightsRulesForOwnAndOtherRecords) {
  rig.add_user("ucen", "u", 0);
  int64_t own_only = 0;
  NASTAVBIT(own_only, 17);
  NASTAVBIT(own_only, 16);
  ASSERT_EQ(create("vedouci", "v", "", own_only), 235);
  auto v = rig.connect("v");
  ASSERT_EQ(rig.login(*v, "vedouci", "v"), 194);
  auto set = [&](const std::string& name, int64_t r) {
    return rig.request(*v, 61, [&](Packet& b) {
      b.ULOZRETEZEC(sl::kText, true, name);
      b.put_int64(sl::kInt64, r);
    });
  };
  // Bit 17 lets him change his own rights, not another user's (that needs 19).
  EXPECT_EQ(set("ucen", 1), 231);
  EXPECT_EQ(set("vedouci", own_only | 2), 232);
  EXPECT_EQ(rig.request(*v, 60), 230);
  EXPECT_EQ(v->conn.BUFFERPACKET.get_int64(sl::kInt64), own_only | 2);
  // His own details need nothing; another user's need bits 18 and 22.
  EXPECT_EQ(rig.request(*v, 27, [](Packet& b) { b.ULOZRETEZEC(sl::kText, true, "vedouci"); }), 245);
  EXPECT_EQ(rig.request(*v, 27, [](Packet& b) { b.ULOZRETEZEC(sl::kText, true, "ucen"); }), 231);
}

TEST_F(Users, DetailsReplyCarriesTheFieldsTheClientReads) {
  ASSERT_EQ(create("anna", "heslo1", "K7", 0x1234), 235);
  ASSERT_EQ(rig.request(*c, 62,
                        [](Packet& b) {
                          b.ULOZRETEZEC(sl::kText, true, "anna");
                          b.put_int64(sl::kRights, 0x30000);
                          TDatum d{20, 3, 2026};
                          b.put_raw(sl::kDate, &d, sizeof d);
                        }),
            233);
  ASSERT_EQ(by_name(27, "anna"), 245);
  Packet b = c->conn.BUFFERPACKET;
  EXPECT_EQ(b.ZISKEJRETEZEC(sl::kText, true), "anna");
  b.DESIFRUJHESLO();
  EXPECT_EQ(b.ZISKEJRETEZEC(sl::kText2, true), "heslo1");
  EXPECT_EQ(b.ZISKEJRETEZEC(sl::kText3, true), "K7");
  EXPECT_EQ(b.get_int64(sl::kInt64), 0x1234);
  EXPECT_EQ(b.ZISKEJCISLO(sl::kNumber), 2);
  EXPECT_EQ(b.get_int64(sl::kRights), 0x30000);
  EXPECT_EQ(b.get_word(sl::kDate), 20);
  EXPECT_EQ(b.get_word(sl::kDate + 4), 2026);
  // Delegation adds to what was delegated before.
  ASSERT_EQ(rig.request(*c, 62,
                        [](Packet& b2) {
                          b2.ULOZRETEZEC(sl::kText, true, "anna");
                          b2.put_int64(sl::kRights, 0x1);
                          TDatum d{21, 3, 2026};
                          b2.put_raw(sl::kDate, &d, sizeof d);
                        }),
            233);
  EXPECT_EQ(int64_t(records(rig)[3].PREDANAPRAVA), 0x30001);
  EXPECT_EQ(records(rig)[3].PLATIDO.DEN, 21);
  EXPECT_EQ(by_name(62, "nikdo"), 254);
}

TEST_F(Users, LoginStampsLastLoginAndRepliesWithThePreviousOne) {
  rig.clock.set(2026, 3, 11, 8, 15, 30);
  auto again = rig.connect("again");
  ASSERT_EQ(rig.login(*again, "mistr", "tajne"), 194);
  // The previous login was the fixture's, on 10.3.2026 at 10:00:00.
  const Packet& b = again->conn.BUFFERPACKET;
  EXPECT_EQ(b.get_word(928), 10);
  EXPECT_EQ(b.get_word(930), 3);
  EXPECT_EQ(b.get_word(932), 2026);
  EXPECT_EQ(b.get_word(934), 10);
  EXPECT_EQ(b.get_word(936), 0);
  TPrava m = records(rig)[2];
  EXPECT_EQ(m.NAPOSLEDY.DATUM.DEN, 11);
  EXPECT_EQ(m.NAPOSLEDY.CAS.HOD, 8);
  EXPECT_EQ(m.NAPOSLEDY.CAS.MIN, 15);
  EXPECT_EQ(m.NAPOSLEDY.CAS.SEC, 30);
}

TEST_F(Users, ExpiredDelegationGrantsNothingAndIsCleared) {
  int64_t base = 0, extra = 0;
  NASTAVBIT(base, 16);
  NASTAVBIT(extra, 20);
  ASSERT_EQ(create("anna", "a", "", base), 235);
  auto delegate = [&](TDatum until) {
    return rig.request(*c, 62, [&](Packet& b) {
      b.ULOZRETEZEC(sl::kText, true, "anna");
      b.put_int64(sl::kRights, extra);
      b.put_raw(sl::kDate, &until, sizeof until);
    });
  };
  // Valid through today: the session has both sets.
  ASSERT_EQ(delegate(TDatum{10, 3, 2026}), 233);
  auto a = rig.connect("a");
  ASSERT_EQ(rig.login(*a, "anna", "a"), 194);
  int slot = rig.slot_of_last();
  EXPECT_EQ(rig.server->session(slot).rights, base | extra);
  EXPECT_EQ(rig.server->session(slot).delegated_rights, extra);
  EXPECT_EQ(int64_t(records(rig)[3].PREDANAPRAVA), extra);

  // Expired yesterday: only the own rights, and the file forgets the delegation.
  ASSERT_EQ(delegate(TDatum{9, 3, 2026}), 233);
  auto b = rig.connect("b");
  ASSERT_EQ(rig.login(*b, "anna", "a"), 194);
  slot = rig.slot_of_last();
  EXPECT_EQ(rig.server->session(slot).rights, base);
  EXPECT_EQ(rig.server->session(slot).delegated_rights, 0);
  EXPECT_EQ(int64_t(records(rig)[3].PREDANAPRAVA), 0);
  EXPECT_EQ(records(rig)[3].PLATIDO.ROK, 0);
  EXPECT_EQ(rig.request(*b, 25, [](Packet& p) { p.ULOZRETEZEC(sl::kText, true, "x"); }), 231);
}

TEST_F(Users, LookupsByNameAndId) {
  EXPECT_EQ(by_name(5, "mistr"), 245);
  EXPECT_EQ(c->conn.BUFFERPACKET.ZISKEJCISLO(sl::kNumber), 1);
  EXPECT_EQ(by_name(5, "nikdo"), 245);
  EXPECT_EQ(c->conn.BUFFERPACKET.ZISKEJCISLO(sl::kNumber), -1);
  EXPECT_EQ(rig.request(*c, 6, [](Packet& b) { b.ULOZCISLO(sl::kNumber, 0); }), 245);
  EXPECT_EQ(c->conn.BUFFERPACKET.ZISKEJRETEZEC(sl::kText, true), "admin");
  EXPECT_EQ(rig.request(*c, 6, [](Packet& b) { b.ULOZCISLO(sl::kNumber, 77); }), 245);
  EXPECT_EQ(c->conn.BUFFERPACKET.ZISKEJRETEZEC(sl::kText, true), "");
  // The header record has an empty name; the ID lookup by name scans from it.
  EXPECT_EQ(rig.server->users().id_by_name(""), 1);
  EXPECT_EQ(rig.server->users().id_by_code(""), 1);
}

TEST(UserCli, AddUserAndPasswordEditTheFileSafely) {
  ksv::testing::TempDir dir;
  auto run = [&](std::vector<std::string> args, std::string* out_text = nullptr) {
    args.insert(args.begin(), {"ksvserver", "--dir", dir.path()});
    std::vector<char*> argv;
    for (std::string& a : args) argv.push_back(a.data());
    std::ostringstream out, err;
    int rc = run_cli(int(argv.size()), argv.data(), out, err, nullptr);
    if (out_text) *out_text = out.str();
    return rc;
  };
  EXPECT_EQ(run({"--add-user", "mistr", "tajne", "--rights", "0,5,63"}), 0);
  EXPECT_EQ(run({"--add-user", "mistr", "jine"}), kExitRefused);
  EXPECT_EQ(run({"--add-user", "x", "y", "--rights", "64"}), kExitUsage);
  EXPECT_EQ(run({"--bogus"}), kExitUsage);
  EXPECT_EQ(run({"--passwd", "nikdo", "x"}), kExitRefused);
  EXPECT_EQ(run({"--passwd", "mistr", "nove"}), 0);
  std::string listing;
  EXPECT_EQ(run({"--list-users"}, &listing), 0);
  EXPECT_EQ(listing, "0\tadmin\tall\n1\tmistr\t0,5,63\n");
  auto v = read_records<TPrava>(dir.path() + "uzivatel.dat").value();
  ASSERT_EQ(v.size(), 3u);
  EXPECT_EQ(v[2].HESLO.str(), "nove");
  EXPECT_EQ(int64_t(v[2].PRAVA), int64_t(uint64_t(1) | 32 | (uint64_t(1) << 63)));
  std::string help;
  EXPECT_EQ(run({"--help"}, &help), 0);
  EXPECT_NE(help.find("--add-user"), std::string::npos);
}

TEST(UserCli, ParseRights) {
  EXPECT_EQ(parse_rights("all"), -1);
  EXPECT_EQ(parse_rights("none"), 0);
  EXPECT_EQ(parse_rights("0,1"), 3);
  EXPECT_EQ(parse_rights(""), std::nullopt);
  EXPECT_EQ(parse_rights("1,,2"), std::nullopt);
  EXPECT_EQ(parse_rights("-1"), std::nullopt);
  EXPECT_EQ(parse_rights("100"), std::nullopt);
}

}  // namespace
}  // namespace ksv::server::testing
