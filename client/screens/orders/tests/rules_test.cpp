// The orders screens' rules without a server: the copy request's places in the packet, the
// numbers of new orders, the list lines and their number columns, pages of a list file and the
// criteria each list starts from.
#include <gtest/gtest.h>

#include <cstdio>

#include "client/screens/orders/order_rules.h"
#include "client/workspace.h"
#include "protocol/testsupport/temp_dir.h"

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

TEST(ListLines, OrderAndProgramColumnsWithNumbersThatSortAsNumbers) {
  TSeznamDatabanky r{};
  r.CISLO.assign("Z-1");
  r.DATUM = {9, 3, 2026};
  r.ZAKAZNIK.assign("Customer with a long name");
  r.PROGRAMU = 7;
  r.TERMIN = {1, 4, 2026};
  r.UZAVRENA = 1;
  const ListLine o = order_line(r);
  EXPECT_EQ(o.name, "Z-1");
  EXPECT_EQ(o.spec, std::string("2026.03.09\0Customer w\0   7\0\0" "2026.04.01\0" "1\0", 41));
  // Right-aligned counts sort as numbers byte by byte: "   7" before "  10".
  r.PROGRAMU = 10;
  EXPECT_EQ(order_line(r).spec.substr(22, 4), "  10");
  EXPECT_LT(o.spec.substr(22, 4), order_line(r).spec.substr(22, 4));

  Workspace ws;
  ws.materials.put(3, "Bavlna cerna dlouha");
  TSeznamDatabanky p{};
  p.KOD.assign("P1");
  p.MATERIAL = 3;
  p.UMISTENI = 9;  // not in the catalogue
  p.POPISMAT.assign("Tricko");
  p.VYROBNI = 1;
  p.VZOREK = 1;
  p.X = 1234;
  p.Y = 455;
  p.STEHU = 4321;
  const ListLine l = program_line(p, ws.materials, ws.placements);
  EXPECT_EQ(l.name, "P1");
  EXPECT_EQ(l.spec, std::string("Bavlna cerna \0???\0Tricko\0 6\0" "123x46\0    4321\0", 44));
  p.MATERIAL = -1;
  EXPECT_EQ(program_line(p, ws.materials, ws.placements).spec.substr(0, 1), std::string(1, '\0'));
  EXPECT_TRUE(skipped(TSeznamDatabanky{}, 6));
  EXPECT_TRUE(skipped(r, 7));  // an order line has no program code
  EXPECT_FALSE(skipped(r, 6));
}

TEST(ListPages, PagesOf4096AndAFileCutShort) {
  EXPECT_EQ(page_count(0), 1);
  EXPECT_EQ(page_count(4096), 1);
  EXPECT_EQ(page_count(4097), 2);
  ksv::testing::TempDir dir;
  const std::string path = dir.path() + "seznd0";
  std::FILE* out = std::fopen(path.c_str(), "wb");
  ASSERT_TRUE(out);
  for (int i = 0; i < 5000; ++i) {
    TSeznamDatabanky r{};
    r.CISLO.assign(std::to_string(i));
    std::fwrite(&r, sizeof r, 1, out);
  }
  std::fwrite("torn", 4, 1, out);  // a last record cut short is no record
  std::fclose(out);
  const ListPage first = read_list_page(path, 0), second = read_list_page(path, 1);
  EXPECT_EQ(first.records, 5000);
  EXPECT_EQ(first.lines.size(), 4096u);
  EXPECT_EQ(second.lines.size(), 904u);
  EXPECT_EQ(second.lines.front().CISLO.str(), "4096");
  EXPECT_EQ(second.lines.back().CISLO.str(), "4999");
  EXPECT_TRUE(read_list_page(path, 2).lines.empty());
  EXPECT_EQ(read_list_page(dir.path() + "missing", 0).records, 0);
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
