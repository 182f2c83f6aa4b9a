// The screen table: sound as assembled, its rights rules, and the checks the frame runs from it
// before a screen is built.
#include <cstdio>
#include <map>

#include "client/tests/fixture.h"
#include "protocol/rights.h"

namespace ksv::client::testing {
namespace {

TEST(ScreenTable, EveryNumberOnceAndFoundByNumber) {
  const std::vector<ScreenRow>& rows = screen_table();
  EXPECT_TRUE(duplicate_screens(rows).empty());
  for (const ScreenRow& r : rows) {
    EXPECT_EQ(find_screen(r.number), &r);
    EXPECT_NE(r.window_key, nullptr);
  }
  EXPECT_EQ(find_screen(13), nullptr);
  EXPECT_EQ(find_screen(kNoScreen), nullptr);
  // The session screens are built; the client cannot start without them.
  for (int32_t n : {kScreenConnect, kScreenLogin, kScreenMenu})
    ASSERT_TRUE(find_screen(n) && find_screen(n)->build) << n;

  static constexpr ScreenRow clash[] = {{4, "a", {}, always(), nullptr},
                                        {9, "b", {}, always(), nullptr},
                                        {4, "c", {}, always(), nullptr},
                                        {4, "d", {}, always(), nullptr}};
  EXPECT_EQ(duplicate_screens(clash), std::vector<int32_t>{4});
}

TEST(ScreenTable, EveryWindowHasItsTitleInTheTextsFile) {
  // A key without a text leaves a window with an empty title bar; the joined file is the one
  // the program reads.
  std::FILE* in = std::fopen(KSV_CLIENT_TEXTS, "rb");
  ASSERT_NE(in, nullptr);
  std::map<std::string, std::string> texts;
  std::string key;
  char line[1024];
  while (std::fgets(line, sizeof line, in)) {
    std::string l(line);
    while (!l.empty() && (l.back() == '\n' || l.back() == '\r')) l.pop_back();
    if (l.size() > 2 && l.front() == '[' && l.back() == ']') {
      key = l.substr(1, l.size() - 2);
      texts[key];
    } else if (!key.empty() && texts[key].empty()) {
      texts[key] = l;
    }
  }
  std::fclose(in);
  std::vector<std::string> keys;
  for (const ScreenRow& r : screen_table()) keys.push_back(r.window_key);
  // Windows every area opens: the file browser, the palette, the dialogs of the frame, the name
  // of a new order and of a new program.
  for (const char* k : {"pruzkum", "paleta", "paletakresby", "napoveda", "chyba", "potvrdit",
                        "novazak", "novapzak"})
    keys.push_back(k);
  for (const std::string& k : keys) {
    auto it = texts.find(k);
    EXPECT_TRUE(it != texts.end() && !it->second.empty()) << "no title for window key " << k;
  }
}

TEST(ScreenTable, RightsRules) {
  auto rights = [](std::initializer_list<int> bits) {
    int64_t r = 0;
    for (int b : bits) NASTAVBIT(r, b);
    return r;
  };
  const RightsRule both = all_bits({9, 58});
  EXPECT_FALSE(both.allows(rights({9}), "novak"));
  EXPECT_FALSE(both.allows(rights({58}), "novak"));
  EXPECT_TRUE(both.allows(rights({9, 58, 3}), "novak"));
  const RightsRule either = any_bit({2, 4});
  EXPECT_FALSE(either.allows(rights({3, 5}), "novak"));
  EXPECT_TRUE(either.allows(rights({4}), "novak"));
  EXPECT_TRUE(all_bits({63}).allows(rights({63}), "novak"));  // the sign bit of the set
  EXPECT_FALSE(all_bits({63}).allows(rights({62}), "novak"));
  EXPECT_TRUE(admin_name().allows(0, "admin"));
  EXPECT_FALSE(admin_name().allows(-1, "Admin"));
  EXPECT_TRUE(always().allows(0, ""));
}

TEST_F(ClientTest, ScreenWithoutTheRightsSaysSoAndReturnsToTheMenu) {
  open_client();
  info().PRIHLASEN = true;
  NASTAVBIT(info().MOJEPRAVA, 8);  // production, but not the orders browser (8 and 58)
  f().AKTUALNIOBRAZOVKA = kScreenMenu;
  f().request_screen(7);
  std::string body;
  when_modal(Modal::kNotice, [&, this] {
    body = f().modal.key;
    EXPECT_EQ(f().AKTUALNIOBRAZOVKA, 7);
    key(13);
  });
  ASSERT_TRUE(run_until([this] { return script.empty() && f().AKTUALNIOBRAZOVKA == kScreenMenu; }));
  EXPECT_EQ(body, "error231");
}

}  // namespace
}  // namespace ksv::client::testing
