// Dates as typed and listed, and the record lists: entries of each layout, pages of 4096
// records, the sort column's cycle and marker, and the columns drawn for the list modes.
#include "client/dates.h"
#include "client/record_list.h"
#include "client/tests/fixture.h"

namespace ksv::client::testing {
namespace {

bool same(const TDatum& a, const TDatum& b) {
  return a.DEN == b.DEN && a.MES == b.MES && a.ROK == b.ROK;
}

TEST(Dates, PartsAreTakenUntilTheFirstThatFails) {
  EXPECT_TRUE(same(parse_date("07.03.2026"), TDatum{7, 3, 2026}));
  EXPECT_TRUE(same(parse_date("1.12.1900"), TDatum{1, 12, 1900}));
  EXPECT_TRUE(same(parse_date("31.1.2098"), TDatum{31, 1, 2098}));
  // The failing part and every later one stay 0.
  EXPECT_TRUE(same(parse_date("31.13.2026"), TDatum{31, 0, 0}));
  EXPECT_TRUE(same(parse_date("32.12.2026"), TDatum{0, 0, 0}));
  EXPECT_TRUE(same(parse_date("5.5.2099"), TDatum{5, 5, 0}));
  EXPECT_TRUE(same(parse_date("5.5.1899"), TDatum{5, 5, 0}));
  EXPECT_TRUE(same(parse_date("5.x.2026"), TDatum{5, 0, 0}));
  EXPECT_TRUE(same(parse_date("0.5.2026"), TDatum{0, 0, 0}));
  EXPECT_TRUE(same(parse_date("5.5"), TDatum{5, 5, 0}));
  EXPECT_TRUE(same(parse_date(""), TDatum{}));
  EXPECT_TRUE(same(parse_date("-1.5.2026"), TDatum{}));
  EXPECT_EQ(format_date(TDatum{7, 3, 2026}), "07.03.2026");
  EXPECT_EQ(list_date(TDatum{7, 3, 2026}), "2026.03.07");
  EXPECT_EQ(format_date(TDatum{0, 3, 2026}), "");
  EXPECT_EQ(list_date(TDatum{0, 3, 2026}), "");
}

TSeznamDatabanky order(const std::string& number) {
  TSeznamDatabanky r{};
  r.CISLO.assign(number);
  r.ZAKAZNIK.assign("Sokol Brno - telocvicna jednota");
  r.DATUM = {9, 3, 2026};
  r.TERMIN = {20, 4, 2026};
  r.PROGRAMU = 3;
  return r;
}

std::vector<std::string> fields(const toolkit::TPrvek& e) {
  std::vector<std::string> out;
  size_t from = 0;
  for (size_t at; (at = e.SPEC.find('\0', from)) != std::string::npos; from = at + 1)
    out.push_back(e.SPEC.substr(from, at - from));
  return out;
}

using Fields = std::vector<std::string>;

TEST(RecordList, EntriesOfEachLayout) {
  Workspace ws;
  ws.materials.put(4, "Bavlna pique s dlouhym nazvem");
  ws.placements.put(2, "Levy hrudnik");
  ws.users.put(12, "novak");

  auto o = list_entry(order("2026-017"), ListLayout::kOrders, ws);
  ASSERT_TRUE(o);
  EXPECT_EQ(o->NAZEV, "2026-017");
  EXPECT_EQ(fields(*o), (Fields{"2026.03.09", "Sokol Brno", "3", "", "2026.04.20", "0"}));
  EXPECT_FALSE(list_entry(order(""), ListLayout::kOrders, ws));

  TSeznamDatabanky p = order("2026-017");
  p.KOD.assign("LOGO1");
  p.MATERIAL = 4;
  p.UMISTENI = 9;  // not in the catalogue
  p.POPISMAT.assign("modra mikina XL");
  p.UZAVRENO = 1;
  p.VZOREK = 1;
  p.X = 805;  // 80.5 mm rounds up
  p.Y = 424;
  p.STEHU = 12345;
  p.MASIT = 12;
  auto g = list_entry(p, ListLayout::kPrograms, ws);
  ASSERT_TRUE(g);
  EXPECT_EQ(g->NAZEV, "LOGO1");
  EXPECT_EQ(fields(*g), (Fields{"Bavlna pique ", "???", "modra miki", "5", "81x42", "12345"}));

  // Production leaves out closed programs and programs of closed orders.
  EXPECT_FALSE(list_entry(p, ListLayout::kProduction, ws));
  p.UZAVRENO = 0;
  p.UMISTENI = 2;
  auto v = list_entry(p, ListLayout::kProduction, ws);
  ASSERT_TRUE(v);
  EXPECT_EQ(fields(*v), (Fields{"Sokol Brno - tel", "modra mikina XL", "Bavlna pique s dlouhym nazvem",
                                "Levy hrudn", "novak"}));
  p.UZAVRENA = 1;
  EXPECT_FALSE(list_entry(p, ListLayout::kProduction, ws));
  p.KOD.assign("");
  EXPECT_FALSE(list_entry(p, ListLayout::kPrograms, ws));
}

TEST(RecordList, PagesOf4096Records) {
  ksv::testing::TempDir dir;
  std::string file;
  // 4097 orders, numbered so the last one is the 4097th; one without a number is left out.
  for (int i = 0; i < 4097; ++i) {
    char number[17];
    std::snprintf(number, sizeof number, "Z%05d", 4096 - i);
    TSeznamDatabanky r = order(i == 100 ? "" : number);
    file.append(reinterpret_cast<const char*>(&r), sizeof r);
  }
  dir.write_file("seznd0", file);
  draw::Graph graph(std::make_unique<draw::HeadlessBackend>());
  images::Obrazky images(&graph, dir.path());
  toolkit::Toolkit tk(graph, images);
  Workspace ws;
  ASSERT_TRUE(build_page(tk.seznam, dir / "seznd0", ListLayout::kOrders, ws));
  EXPECT_EQ(ws.list.records, 4097);
  EXPECT_EQ(ws.list.pages, 2);
  EXPECT_EQ(tk.seznam.PRVKU(), 4095);  // 4096 records, one without a number
  EXPECT_EQ(tk.seznam.SEZNAM.front().NAZEV, "Z04096");  // unsorted before the first sort
  EXPECT_FALSE(previous_page(ws.list));
  ASSERT_TRUE(next_page(ws.list));
  EXPECT_FALSE(next_page(ws.list));
  ASSERT_TRUE(build_page(tk.seznam, dir / "seznd0", ListLayout::kOrders, ws));
  ASSERT_EQ(tk.seznam.PRVKU(), 1);
  EXPECT_EQ(tk.seznam.SEZNAM[0].NAZEV, "Z00000");

  // Sorted by the name column, the first page starts at the smallest number.
  ASSERT_TRUE(previous_page(ws.list));
  EXPECT_EQ(advance_sort(ws.list), -1);
  ASSERT_TRUE(build_page(tk.seznam, dir / "seznd0", ListLayout::kOrders, ws));
  EXPECT_EQ(tk.seznam.SEZNAM.front().NAZEV, "Z00001");

  // A file that cannot be read leaves an empty list of one page.
  EXPECT_FALSE(build_page(tk.seznam, dir / "neni", ListLayout::kOrders, ws));
  EXPECT_EQ(tk.seznam.PRVKU(), 0);
  EXPECT_EQ(ws.list.pages, 1);
}

TEST(RecordList, SortColumnCyclesThroughSeven) {
  ListState s;
  std::vector<int32_t> seen;
  for (int i = 0; i < 8; ++i) {
    advance_sort(s);
    seen.push_back(s.sort_column);
  }
  EXPECT_EQ(seen, (std::vector<int32_t>{0, 1, 2, 3, 4, 5, 6, 0}));
}

TEST_F(ClientTest, SortMarkerMovesUnderTheHeadings) {
  open_client();
  toolkit::Toolkit& tk = app->tk;
  const int32_t h = tk.okna.VYTVOROKNO(-1, -1, 600, 400, false, "zakazky", "");
  ASSERT_NE(h, toolkit::kNoFreeWindow);
  const int w = h >> 8;
  const toolkit::TOkno& o = tk.okna.OKNO[size_t(w)];
  const uint8_t yellow = app->images.NAJDIBARVU(255, 255, 0);
  const uint8_t grey = app->images.NAJDIBARVU(92, 92, 92);
  // Columns are (600 - 20) / 7 - 10 = 72 pixels wide, 10 apart, from 10 pixels in.
  auto at = [&](int x) { return app->graph.screen_pixel(o.X + x, o.Y + 25); };
  draw_sort_marker(tk, w, -1, 0);
  EXPECT_EQ(at(10), yellow);
  EXPECT_EQ(at(81), yellow);
  EXPECT_NE(at(82), yellow);
  draw_sort_marker(tk, w, 0, 1);
  EXPECT_EQ(at(10), grey);
  EXPECT_EQ(at(92), yellow);
  EXPECT_EQ(at(163), yellow);
  draw_sort_marker(tk, w, 5, 6);
  EXPECT_EQ(at(10 + 6 * 82), yellow);
}

}  // namespace
}  // namespace ksv::client::testing
