// Command 63: file lists of an order or program (patterns, record files left out, the size
// limit) and the order search with every criterion on its own, the switches, the mode 6 sums and
// the lines of mode 7.
#include <algorithm>
#include <set>

#include "protocol/records/file_list.h"
#include "protocol/records/orders.h"
#include "server/store/order_search.h"
#include "server/tests/store_rig.h"

namespace ksv::server::testing {
namespace {

namespace sl = ksv::slot;

// 12:00 UTC of a day: the same date in every time zone the workshop could be in.
int64_t noon(int y, int m, int d) {
  int64_t days = 0;
  for (int yy = 1970; yy < y; ++yy) days += (yy % 4 == 0 && (yy % 100 != 0 || yy % 400 == 0)) ? 366 : 365;
  static const int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  for (int mm = 1; mm < m; ++mm) days += kDays[mm - 1] + (mm == 2 && y % 4 == 0 ? 1 : 0);
  return (days + d - 1) * 86400 + 12 * 3600;
}

class FileLists : public ::testing::Test {
 protected:
  void SetUp() override {
    st.seat(0, "mistr");
    st.open(0, "Z1", "P1");
    for (const char* f : {"prog.dst", "obrazek.JPG", "a.pfx", "b.emb", "n.txt", "d.pdf", "s.png"})
      st.rig.dir.write_file(std::string("databaze/z1/p1/") + f, std::string(std::strlen(f), 'x'));
    st.rig.dir.write_file("databaze/z1/p1/x/inner.txt", "in a subdirectory");
  }
  std::set<std::string> list(int mode) {
    st.compose(63).ULOZCISLO(sl::kText, mode);
    EXPECT_EQ(st.run(0), 252);
    EXPECT_EQ(st.reply_text(), "sezns0");
    std::set<std::string> names;
    for (const TSeznamSoub& s : st.read_all<TSeznamSoub>("temp/sezns0")) names.insert(s.JMENO.str());
    return names;
  }
  StoreRig st;
};

TEST_F(FileLists, ModesPickTheirPatternsAndNeverTheRecordFiles) {
  ASSERT_TRUE(st.rig.dir.exists("databaze/z1/p1/proglnk.dat"));
  EXPECT_EQ(list(0), (std::set<std::string>{"prog.dst", "obrazek.JPG", "a.pfx", "b.emb", "n.txt",
                                            "d.pdf", "s.png"}));
  EXPECT_EQ(list(1), (std::set<std::string>{"obrazek.JPG", "s.png"}));
  EXPECT_EQ(list(2), (std::set<std::string>{"n.txt"}));
  EXPECT_EQ(list(3), (std::set<std::string>{"prog.dst"}));
  EXPECT_EQ(list(4), (std::set<std::string>{"prog.dst", "a.pfx", "b.emb"}));
  EXPECT_EQ(list(5), (std::set<std::string>{"n.txt", "d.pdf"}));

  st.set_mtime("databaze/z1/p1/prog.dst", noon(2026, 2, 14) + 3600 + 62);
  list(3);
  auto rec = st.read_all<TSeznamSoub>("temp/sezns0");
  ASSERT_EQ(rec.size(), 1u);
  EXPECT_EQ(rec[0].VEL, 8);
  EXPECT_EQ(rec[0].DATUM.DEN, 14);
  EXPECT_EQ(rec[0].DATUM.MES, 2);
  EXPECT_EQ(rec[0].DATUM.ROK, 2026);
  EXPECT_EQ(rec[0].CAS.MIN, 1);
  EXPECT_EQ(rec[0].CAS.SEC, 2);

  // Without a program: the order's own files, not its program directories or its header.
  st.rig.dir.write_file("databaze/z1/zadani.txt", "text");
  st.compose(41);
  ASSERT_EQ(st.run(0), 228);
  EXPECT_EQ(list(0), std::set<std::string>{"zadani.txt"});
}

TEST_F(FileLists, StopsAfterMoreThan1024AndNeedsAnOpenOrder) {
  for (int i = 0; i < 1100; ++i) st.rig.dir.write_file("databaze/z1/p1/f" + std::to_string(i) + ".txt", "");
  list(2);
  EXPECT_EQ(st.read_all<TSeznamSoub>("temp/sezns0").size(), 1025u);

  st.compose(18);
  ASSERT_EQ(st.run(0), 226);
  st.compose(63).ULOZCISLO(sl::kText, 0);
  EXPECT_EQ(st.run(0), 254);
  for (int mode : {8, -1, 1000}) {
    st.compose(63).ULOZCISLO(sl::kText, mode);
    EXPECT_EQ(st.run(0), 254) << mode;
  }
}

// Three orders: A1 with three programs (plain sample p1, p2 without a sample, p3 in
// production), B2 with one, C3 with none.
class Search : public ::testing::Test {
 protected:
  void SetUp() override {
    st.seat(0, "mistr");
    order("a1", "A1", "Cepice modre", 7, "Hasici Brno", {10, 4, 2026}, {5, 4, 2026});
    order("b2", "B2", "Trika", 8, "Sokol", {20, 5, 2026}, {15, 5, 2026});
    order("c3", "C3", "Vlajky", 7, "Hasici Olomouc", {}, {});
    program("a1", "p1", [](TProgramZak& p) {
      p.KOD.assign("LOGO1");
      p.KUSU = 10, p.STEHU = 1000, p.X = 650, p.Y = 420, p.MATERIAL = 3, p.UMISTENI = 9;
      p.MASIT = 11, p.VYSIL = 12, p.MANIPULACE = 13, p.AUTOR = 14;
      p.VYSITOKDY = {2, 3, 2026}, p.DATUM = {1, 3, 2026};
      p.POPISMATERIALU.assign("Bavlna bila");
      p.FAKTURA.assign("F-1");
      p.VZOREK = 1, p.SCHVALENO = 1;
    });
    program("a1", "p2", [](TProgramZak& p) {
      p.KOD.assign("ZNAK2");
      p.KUSU = 20, p.STEHU = 2000;
    });
    program("a1", "p3", [](TProgramZak& p) {
      p.KOD.assign("ZNAK3");
      p.KUSU = 40, p.STEHU = 4000, p.VZOREK = 1, p.VYROBNI = 1;
    });
    program("b2", "q1", [](TProgramZak& p) {
      p.KOD.assign("ZNAK");
      p.KUSU = 5, p.STEHU = 500, p.VZOREK = 1, p.MATERIAL = 4;
    });
    // The directories' dates, set last: every file written into them moved them.
    st.set_mtime("databaze/a1", noon(2026, 3, 1));
    st.set_mtime("databaze/b2", noon(2026, 2, 1));
    st.set_mtime("databaze/c3", noon(2025, 6, 1));
  }
  void order(const std::string& key, const char* number, const char* description, int32_t author,
             const char* customer, TDatum due, TDatum embroider) {
    st.rig.dir.write_file("databaze/" + key + "/.keep", "");
    TPolozkaDatabanky o{};
    o.CISLO.assign(number);
    o.POPIS.assign(description);
    o.AUTOR = author;
    o.ZAKAZNIK.assign(customer);
    o.TERMIN = due;
    o.VYSIT = embroider;
    o.PROGRAMU = 77;
    st.write("databaze/" + key + "/info.dat", o);
  }
  template <class F>
  void program(const std::string& order, const std::string& key, F&& fill) {
    st.rig.dir.write_file("databaze/" + order + "/" + key + "/.keep", "");
    TProgramZak p{};
    p.SCHVALIL = p.MATERIAL = p.VZOROVAL = p.VYSIL = p.MASIT = p.MANIPULACE = p.UMISTENI = -1;
    fill(p);
    st.write("databaze/" + order + "/" + key + "/prog.dat", p);
  }
  // Criteria that let everything through: IDs -1, texts and dates empty.
  static TKriteria all(int mode = 6) {
    TKriteria f;
    f.mode = mode;
    return f;
  }
  static TKriteria with_programs() {
    TKriteria f = all();
    f.programs = f.without_sample = f.production = true;
    return f;
  }
  std::vector<TSeznamDatabanky> search(const TKriteria& f, int slot = 0) {
    write_criteria(st.compose(63), f);
    EXPECT_EQ(st.run(slot), 252);
    EXPECT_EQ(st.reply_text(), "seznd" + std::to_string(slot));
    return st.read_all<TSeznamDatabanky>("temp/seznd" + std::to_string(slot));
  }
  std::set<std::string> numbers(const TKriteria& f) {
    std::set<std::string> out;
    for (const auto& l : search(f)) out.insert(l.CISLO.str());
    return out;
  }
  // The mode 6 line of an order: the sums of pieces (in X) and stitches.
  std::pair<int32_t, int32_t> sums(const TKriteria& f, const std::string& number) {
    for (const auto& l : search(f))
      if (l.CISLO == number) return {l.X, l.STEHU};
    ADD_FAILURE() << "no line for " << number;
    return {-99, -99};
  }
  StoreRig st;
};

TEST_F(Search, EachOrderCriterionOnItsOwn) {
  using S = std::set<std::string>;
  EXPECT_EQ(numbers(all()), (S{"A1", "B2", "C3"}));
  auto with = [](auto set) {
    TKriteria f = all();
    set(f);
    return f;
  };
  EXPECT_EQ(numbers(with([](TKriteria& f) { f.number.assign("a1"); })), S{"A1"});
  EXPECT_EQ(numbers(with([](TKriteria& f) { f.description.assign("TRIK"); })), S{"B2"});
  EXPECT_EQ(numbers(with([](TKriteria& f) { f.from = {1, 1, 2026}; })), (S{"A1", "B2"}));
  EXPECT_EQ(numbers(with([](TKriteria& f) { f.to = {31, 12, 2025}; })), S{"C3"});
  EXPECT_EQ(numbers(with([](TKriteria& f) { f.from = f.to = {1, 2, 2026}; })), S{"B2"});
  EXPECT_EQ(numbers(with([](TKriteria& f) { f.author = 7; })), (S{"A1", "C3"}));
  EXPECT_EQ(numbers(with([](TKriteria& f) { f.customer.assign("hasici"); })), (S{"A1", "C3"}));
  // Due dates: not after the bound (an order without one is never late).
  EXPECT_EQ(numbers(with([](TKriteria& f) { f.due = {30, 4, 2026}; })), (S{"A1", "C3"}));
  EXPECT_EQ(numbers(with([](TKriteria& f) { f.due = {10, 4, 2026}; })), (S{"A1", "C3"}));
  EXPECT_EQ(numbers(with([](TKriteria& f) { f.embroider_by = {4, 4, 2026}; })), S{"C3"});
  EXPECT_EQ(numbers(with([](TKriteria& f) { f.embroider_by = {15, 5, 2026}; })),
            (S{"A1", "B2", "C3"}));
}

TEST_F(Search, EachProgramCriterionOnItsOwn) {
  using S = std::set<std::string>;
  // Programs are examined: B2's single program must match for B2 to be listed, while C3,
  // which has no programs, is always listed.
  EXPECT_EQ(numbers(with_programs()), (S{"A1", "B2", "C3"}));
  const std::vector<std::function<void(TKriteria&)>> only_p1 = {
      [](TKriteria& f) { f.material = 3; },
      [](TKriteria& f) { f.to_embroider = 11; },
      [](TKriteria& f) { f.embroidered_by = 12; },
      [](TKriteria& f) { f.handled_by = 13; },
      [](TKriteria& f) { f.program_author = 14; },
      [](TKriteria& f) { f.embroidered_on = {2, 3, 2026}; },
      [](TKriteria& f) { f.created = {1, 3, 2026}; },
      [](TKriteria& f) { f.material_text.assign("BAVLNA"); },
      [](TKriteria& f) { f.code.assign("logo"); },
      [](TKriteria& f) { f.invoice.assign("f-1"); },
  };
  for (size_t i = 0; i < only_p1.size(); ++i) {
    SCOPED_TRACE(i);
    TKriteria f = with_programs();
    only_p1[i](f);
    EXPECT_EQ(numbers(f), (S{"A1", "C3"}));
    EXPECT_EQ(sums(f, "A1"), std::make_pair(10, 1000)) << "only p1 adds up";
  }
  TKriteria znak = with_programs();
  znak.code.assign("znak");
  EXPECT_EQ(numbers(znak), (S{"A1", "B2", "C3"}));
  EXPECT_EQ(sums(znak, "A1"), std::make_pair(60, 6000));
}

TEST_F(Search, SwitchesAndSums) {
  // Programs not examined: one line per order, sums zero, program fields empty.
  auto plain = search(all());
  ASSERT_EQ(plain.size(), 3u);
  for (const auto& l : plain) {
    EXPECT_EQ(l.X, 0);
    EXPECT_EQ(l.STEHU, 0);
    EXPECT_TRUE(l.KOD.empty());
    EXPECT_EQ(l.PROGRAMU, 77);
  }
  TKriteria f = all();
  f.programs = true;
  EXPECT_EQ(sums(f, "A1"), std::make_pair(10, 1000)) << "only the sample not in production";
  EXPECT_EQ(sums(f, "B2"), std::make_pair(5, 500));
  f.without_sample = true;
  EXPECT_EQ(sums(f, "A1"), std::make_pair(30, 3000));
  f.without_sample = false;
  f.production = true;
  EXPECT_EQ(sums(f, "A1"), std::make_pair(50, 5000));
  f.without_sample = true;
  EXPECT_EQ(sums(f, "A1"), std::make_pair(70, 7000));
  EXPECT_EQ(sums(f, "C3"), std::make_pair(0, 0));
}

TEST_F(Search, ModeSevenWritesOneExactLinePerMatchingProgram) {
  TKriteria f = with_programs();
  f.mode = 7;
  auto lines = search(f);
  std::set<std::string> codes;
  for (const auto& l : lines) codes.insert(l.CISLO.str() + "/" + l.KOD.str());
  EXPECT_EQ(codes, (std::set<std::string>{"A1/LOGO1", "A1/ZNAK2", "A1/ZNAK3", "B2/ZNAK"}));

  auto it = std::find_if(lines.begin(), lines.end(), [](const auto& l) { return l.KOD == "LOGO1"; });
  ASSERT_NE(it, lines.end());
  const TSeznamDatabanky& l = *it;
  EXPECT_EQ(l.POPIS.str(), "Cepice modre");
  EXPECT_EQ(l.ZAKAZNIK.str(), "Hasici Brno");
  EXPECT_EQ(l.AUTOR, 7);
  EXPECT_EQ(l.DATUM.DEN, 1);
  EXPECT_EQ(l.DATUM.MES, 3);
  EXPECT_EQ(l.DATUM.ROK, 2026);
  EXPECT_EQ(l.TERMIN.DEN, 10);
  EXPECT_EQ(l.VYSIT.DEN, 5);
  EXPECT_EQ(l.MATERIAL, 3);
  EXPECT_EQ(l.UMISTENI, 9);
  EXPECT_EQ(l.POPISMAT.str(), "Bavlna bila");
  EXPECT_EQ(l.VZOREK, 1);
  EXPECT_EQ(l.SCHVALENO, 1);
  EXPECT_EQ(l.VYROBNI, 0);
  EXPECT_EQ(l.X, 650) << "mode 7 carries the width, not a sum";
  EXPECT_EQ(l.Y, 420);
  EXPECT_EQ(l.STEHU, 1000);
  EXPECT_EQ(l.VYSITO.DEN, 2);
  EXPECT_EQ(l.MASIT, 11);
  EXPECT_EQ(l.VYSIL, 12);
  EXPECT_EQ(l.AUTORPROG, 14);
  EXPECT_EQ(l.VYTVORENO.MES, 3);

  // With an order open, only its programs; with the switches off, only plain samples.
  ASSERT_EQ(st.text(0, 17, "A1"), 225);
  EXPECT_EQ(search(f).size(), 3u);
  f.without_sample = f.production = false;
  auto only = search(f);
  ASSERT_EQ(only.size(), 1u);
  EXPECT_EQ(only[0].KOD.str(), "LOGO1");
  // Mode 6 with the order open: its line only.
  EXPECT_EQ(numbers(all()), std::set<std::string>{"A1"});
}

TEST_F(Search, AnOrderWithoutAReadableHeaderIsLeftOut) {
  st.rig.dir.write_file("databaze/broken/info.dat", "short");
  st.rig.dir.write_file("databaze/loose.txt", "not an order");
  EXPECT_EQ(numbers(all()), (std::set<std::string>{"A1", "B2", "C3"}));
}

}  // namespace
}  // namespace ksv::server::testing
