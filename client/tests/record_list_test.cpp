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

TEST(RecordList, OrderEntriesWithCountsThatSortAsNumbers) {
  Workspace ws;
  TSeznamDatabanky r = order("2026-017");
  r.UZAVRENA = 1;
  auto o = list_entry(r, ListLayout::kOrders, ws);
  ASSERT_TRUE(o);
  EXPECT_EQ(o->NAZEV, "2026-017");
  EXPECT_EQ(o->SPEC, std::string("2026.03.09\0Sokol Brno\0   3\0\0" "2026.04.20\0" "1\0", 41));
  // Right-aligned counts sort as numbers byte by byte: "   3" before "  10".
  r.PROGRAMU = 10;
  EXPECT_LT(entry_field(o->SPEC, 2), entry_field(list_entry(r, ListLayout::kOrders, ws)->SPEC, 2));
  EXPECT_EQ(right_aligned(123456, kCountWidth), "123456") << "a number is never cut";
  EXPECT_FALSE(list_entry(order(""), ListLayout::kOrders, ws));
  // A code 0 inside a text must not end its field early and shift the columns after it.
  r.ZAKAZNIK.assign(std::string("Ab\0cd", 5));
  EXPECT_EQ(fields(*list_entry(r, ListLayout::kOrders, ws)).size(), 6u);
  EXPECT_EQ(entry_field(list_entry(r, ListLayout::kOrders, ws)->SPEC, 1), "Ab cd");
}

TEST(RecordList, ProgramEntriesNameTheirCatalogueEntries) {
  Workspace ws;
  ws.materials.put(4, "Bavlna pique s dlouhym nazvem");
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
  auto g = list_entry(p, ListLayout::kPrograms, ws);
  ASSERT_TRUE(g);
  EXPECT_EQ(g->NAZEV, "LOGO1");
  EXPECT_EQ(fields(*g), (Fields{"Bavlna pique ", "???", "modra miki", " 5", "81x42", "   12345"}));
  // Nothing chosen yet is told from an entry the catalogue lost.
  p.MATERIAL = -1;
  p.UMISTENI = -1;
  EXPECT_EQ(fields(*list_entry(p, ListLayout::kPrograms, ws))[0], "-");
  EXPECT_EQ(fields(*list_entry(p, ListLayout::kPrograms, ws))[1], "-");
  p.KOD.assign("");
  EXPECT_FALSE(list_entry(p, ListLayout::kPrograms, ws)) << "an order line has no program";
}

TEST(RecordList, ProductionTakesReleasedProgramsOfOpenOrders) {
  Workspace ws;
  ws.materials.put(3, "Bavlna pique s dlouhym nazvem pres tricet znaku");
  ws.users.put(5, "novakovaxyzw");
  TSeznamDatabanky r = order("Z-17");
  r.KOD.assign("P1");
  r.POPISMAT.assign(std::string("modra\0mikina", 12));
  r.MATERIAL = 3;
  r.UMISTENI = -1;
  r.MASIT = 5;
  r.VYROBNI = 1;
  auto e = list_entry(r, ListLayout::kProduction, ws);
  ASSERT_TRUE(e);
  EXPECT_EQ(e->NAZEV, "P1");
  EXPECT_EQ(fields(*e), (Fields{"Sokol Brno - tel", "modra mikina",
                                "Bavlna pique s dlouhym nazvem pr", "-", "novakovaxy", "Z-17"}));
  EXPECT_EQ(production_order(*e), "Z-17") << "the card opens the entry's order";
  EXPECT_EQ(entry_field(e->SPEC, 9), "");
  r.MASIT = 99;
  EXPECT_EQ(entry_field(list_entry(r, ListLayout::kProduction, ws)->SPEC, 4), "???");

  EXPECT_TRUE(listed(r, ListLayout::kProduction));
  r.VYROBNI = 0;
  EXPECT_FALSE(listed(r, ListLayout::kProduction)) << "not released";
  EXPECT_TRUE(listed(r, ListLayout::kPrograms)) << "the order's own list shows it";
  r.VYROBNI = 1;
  r.UZAVRENO = 1;
  EXPECT_FALSE(listed(r, ListLayout::kProduction)) << "program closed";
  r.UZAVRENO = 0;
  r.UZAVRENA = 1;
  EXPECT_FALSE(listed(r, ListLayout::kProduction)) << "order closed";
  r.UZAVRENA = 0;
  r.KOD.assign("");
  EXPECT_FALSE(listed(r, ListLayout::kProduction)) << "an order line, no program";
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
  file += "torn";  // a last record cut short is no record
  dir.write_file("seznd0", file);
  EXPECT_EQ(page_count(0), 1);
  EXPECT_EQ(page_count(4096), 1);
  EXPECT_EQ(page_count(4097), 2);
  draw::Graph graph(std::make_unique<draw::HeadlessBackend>());
  images::Obrazky images(&graph, dir.path());
  toolkit::Toolkit tk(graph, images);
  Workspace ws;
  build_page(tk.seznam, dir / "seznd0", ListLayout::kOrders, ws);
  EXPECT_EQ(ws.list.records, 4097);
  EXPECT_EQ(ws.list.pages, 2);
  EXPECT_EQ(tk.seznam.PRVKU(), 4095);  // 4096 records, one without a number
  EXPECT_EQ(tk.seznam.SEZNAM.front().NAZEV, "Z04096");  // unsorted before the first sort
  EXPECT_FALSE(previous_page(ws.list));
  ASSERT_TRUE(next_page(ws.list));
  EXPECT_FALSE(next_page(ws.list));
  build_page(tk.seznam, dir / "seznd0", ListLayout::kOrders, ws);
  ASSERT_EQ(tk.seznam.PRVKU(), 1);
  EXPECT_EQ(tk.seznam.SEZNAM[0].NAZEV, "Z00000");
  EXPECT_TRUE(read_list_page(dir / "seznd0", 2).lines.empty());

  // Sorted by the name column, the first page starts at the smallest number.
  ASSERT_TRUE(previous_page(ws.list));
  EXPECT_EQ(advance_sort(ws.list), -1);
  build_page(tk.seznam, dir / "seznd0", ListLayout::kOrders, ws);
  EXPECT_EQ(tk.seznam.SEZNAM.front().NAZEV, "Z00001");

  // The file shrank to one page while the second was on show: back to the last page there is.
  std::string shorter = file.substr(0, 10 * sizeof(TSeznamDatabanky));
  dir.write_file("seznd1", shorter);
  ws.list.page = 1;
  build_page(tk.seznam, dir / "seznd1", ListLayout::kOrders, ws);
  EXPECT_EQ(ws.list.page, 0);
  EXPECT_EQ(tk.seznam.PRVKU(), 10);

  // A file that cannot be read, or none yet, leaves an empty list of one page.
  build_page(tk.seznam, dir / "neni", ListLayout::kOrders, ws);
  EXPECT_EQ(tk.seznam.PRVKU(), 0);
  EXPECT_EQ(ws.list.pages, 1);
  EXPECT_EQ(read_list_page(dir.path(), 0).records, 0);
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
  constexpr int32_t kListX = 10, kY = 40;
  // The marker runs under the heading of its column, as wide as the column.
  auto at = [&](int column, int dx) {
    return app->graph.screen_pixel(o.X + kListX + column_x(ListLayout::kOrders, column) + dx,
                                   o.Y + kY);
  };
  draw_sort_marker(tk, w, ListLayout::kOrders, kListX, 0, kY);
  EXPECT_EQ(at(0, 0), yellow);
  EXPECT_EQ(at(0, column_width(ListLayout::kOrders, 0)), yellow);
  EXPECT_NE(at(1, 0), yellow);
  draw_sort_marker(tk, w, ListLayout::kOrders, kListX, 3, kY);
  EXPECT_NE(at(0, 0), yellow) << "only one marker shows";
  EXPECT_EQ(at(3, 1), yellow);
  draw_sort_marker(tk, w, ListLayout::kOrders, kListX, 6, kY);
  EXPECT_NE(at(3, 1), yellow);
  EXPECT_EQ(at(6, 1), yellow);
}

// Names are cut to their column, numbers stand right-aligned and are never cut: a number cut
// short would read as another number.
TEST_F(ClientTest, ColumnsCutNamesAndAlignNumbers) {
  open_client();
  draw::Graph& g = app->graph;
  g.SETTEXTSTYLE(20, 0, 16);  // the highlighted row's bold font, the widest
  g.SETTEXTJUSTIFY(0, 2);
  constexpr int kTop = 100;
  auto clear = [&] {
    g.SETFILLSTYLE(1, 0);
    g.BAR(0, kTop, 639, kTop + 24);
    g.SETCOLOR(255);
  };
  // Lit pixels of the row between x0 and x1 (inclusive): the first and the last column.
  auto lit = [&](int x0, int x1) {
    std::pair<int, int> r{-1, -1};
    for (int x = x0; x <= x1; ++x)
      for (int y = kTop; y <= kTop + 24; ++y)
        if (g.GETPIXEL(x, y) == 255) {
          if (r.first < 0) r.first = x;
          r.second = x;
        }
    return r;
  };
  Workspace ws;
  TSeznamDatabanky r = order("ORDER-NUMBER-WIDER-THAN-ITS-COL");
  r.PROGRAMU = 7;
  clear();
  draw_record_columns(g, list_mode(ListLayout::kOrders), *list_entry(r, ListLayout::kOrders, ws),
                      0, kTop);
  const int name_end = column_x(ListLayout::kOrders, 0) + column_width(ListLayout::kOrders, 0);
  EXPECT_EQ(lit(name_end + 1, column_x(ListLayout::kOrders, 1) - 1).first, -1)
      << "the name ran into the date";
  const int count_x = column_x(ListLayout::kOrders, 3);
  const auto count = lit(count_x, count_x + column_width(ListLayout::kOrders, 3));
  EXPECT_GT(count.first, count_x + column_width(ListLayout::kOrders, 3) / 2) << "not right-aligned";

  r.KOD.assign("P1");
  r.STEHU = 2000000000;
  const std::string stitches = "2000000000 st.";
  const int x = column_x(ListLayout::kPrograms, 6), width = column_width(ListLayout::kPrograms, 6);
  ASSERT_GT(g.TEXTWIDTH(stitches), width);
  clear();
  draw_record_columns(g, list_mode(ListLayout::kPrograms),
                      *list_entry(r, ListLayout::kPrograms, ws), 0, kTop);
  // Compared from a little before the column (the size column ends well before that).
  const auto drawn = lit(x - 16, 639);
  clear();
  g.OUTTEXTXY(x + width - g.TEXTWIDTH(stitches), kTop + 16, stitches);
  EXPECT_EQ(drawn, lit(x - 16, 639)) << "the stitches were cut";
  EXPECT_LE(drawn.second, x + width);
}

}  // namespace
}  // namespace ksv::client::testing
