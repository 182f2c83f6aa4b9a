// The orders screens' rules without a server: the copy request's places in the packet, the
// numbers of new orders and the criteria each list starts from.
#include <gtest/gtest.h>

#include "client/screens/orders/order_rules.h"

namespace ksv::client::orders {
namespace {

std::string code_at(const Packet& p, int k) {
  const int at = kCopyCodes + 17 * k;
  return std::string(reinterpret_cast<const char*>(p.bytes + at + 1), p.bytes[at]);
}

TEST(CopyRequest, CodesLieAt604Plus17kAndTheTwentyFourthMayHoldElevenCharacters) {
  std::vector<std::string> codes;
  for (int i = 1; i <= 23; ++i) codes.push_back("CODE-OF-SIXTEEN" + std::string(1, char('A' + i)));
  codes.push_back("ELEVEN-CHRS");
  Packet p;
  ASSERT_TRUE(put_copy_request(p, "SRC", "NEW", codes));
  EXPECT_EQ(p.ZISKEJRETEZEC(4, true), "SRC");
  EXPECT_EQ(p.ZISKEJRETEZEC(300, true), "NEW");
  EXPECT_EQ(p.ZISKEJCISLO(600), 24);
  EXPECT_EQ(code_at(p, 1), codes[0]);  // at 621
  EXPECT_EQ(code_at(p, 23), codes[22]);
  EXPECT_EQ(code_at(p, 24), "ELEVEN-CHRS");  // at 1012, its last byte the packet's last
  EXPECT_EQ(p.bytes[1023], 'S');

  codes.back() = "TWELVE-CHARS";
  Packet q;
  EXPECT_FALSE(put_copy_request(q, "SRC", "NEW", codes));
  EXPECT_EQ(code_that_does_not_fit(codes), std::optional<size_t>(23));
  EXPECT_EQ(q.ZISKEJCISLO(600), 0);  // nothing was put in
  codes.push_back("X");  // a 25th program is never sent
  EXPECT_FALSE(put_copy_request(q, "SRC", "NEW", codes));
  EXPECT_EQ(max_code_length(23), 16);
  EXPECT_EQ(max_code_length(24), 11);
}

TEST(NewOrder, NumbersAreWrittenPlainlyAndAccentedLettersGo) {
  EXPECT_EQ(new_order_number("007"), "7");
  EXPECT_EQ(new_order_number("000"), "0");
  EXPECT_EQ(new_order_number("12345678901234"), "12345678901234");  // past a LongInt: still plain
  EXPECT_EQ(new_order_number("\xC8\xE1p"), "__p");                 // "Čáp" in Windows-1250
  EXPECT_EQ(new_order_number("A-007"), "A-007");
  EXPECT_EQ(customer_text("0042"), "42");
  EXPECT_EQ(customer_text("0042 s.r.o."), "0042 s.r.o.");
}

TEST(Criteria, TheProgramListAsksForEveryProgramOfTheOrder) {
  const TKriteria k = program_list_criteria();
  EXPECT_EQ(k.mode, 7);
  EXPECT_EQ(k.from.DEN, 0);
  EXPECT_EQ(k.to.DEN, 0);
  EXPECT_EQ(k.author, -1);
  EXPECT_EQ(k.material, -1);
  EXPECT_EQ(k.to_embroider, -1);
  EXPECT_EQ(k.production, 1);
  EXPECT_EQ(k.without_sample, 1);
  const TKriteria b = browser_criteria({10, 3, 2026});
  EXPECT_EQ(b.mode, 6);
  EXPECT_EQ(b.from.DEN, 10);
  EXPECT_EQ(b.to.MES, 3);
  EXPECT_EQ(b.programs, 0);
  const TKriteria s = search_criteria();
  EXPECT_EQ(s.from.DEN, 0);
  EXPECT_EQ(s.programs, 1);
  EXPECT_EQ(s.production, 1);
  EXPECT_EQ(s.without_sample, 1);
}

}  // namespace
}  // namespace ksv::client::orders
