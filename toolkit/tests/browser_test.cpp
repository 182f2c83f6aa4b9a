// The file browser: what a folder lists and in which order, how names are shown, the moves and
// favourites, and a whole run on the headless display choosing a file with an accented name.
#include "toolkit/browser.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "toolkit/tests/fixture.h"

namespace ksv::toolkit {
namespace {

namespace fs = std::filesystem;

// "Nováček" as a Linux file system spells it (UTF-8) and as the list draws it (code page 1250).
const std::string kNovacekUtf8 = "Nov\xC3\xA1\xC4\x8D" "ek";
const std::string kNovacek1250 = "Nov\xE1\xE8" "ek";

std::vector<std::string> shown(const std::vector<BrowserEntry>& entries) {
  std::vector<std::string> out;
  for (const BrowserEntry& e : entries) out.push_back(e.shown);
  return out;
}

BrowserFilter dst_only() { return BrowserFilter{{"DST"}, false}; }

struct ListingTest : ::testing::Test {
  ksv::testing::TempDir dir;
};

TEST_F(ListingTest, FoldersFirstThenMatchingFilesEachByNameWhateverTheirCase) {
  dir.write_file("b.DST", "");
  dir.write_file("A.dst", "");
  dir.write_file("c.txt", "");
  dir.write_file("dst", "");          // no extension at all
  dir.write_file("x.dst.bak", "");    // the extension is the last one
  dir.write_file(".hidden.dst", "");  // hidden, as on any Linux desktop
  fs::create_directory(dir / "sub");
  fs::create_directory(dir / "Sub2");
  fs::create_directory(dir / ".cache");
  fs::create_directory_symlink(dir / "sub", dir / "link-to-sub");
  fs::create_symlink(dir / "gone.dst", dir / "dead.dst");  // dangling: nothing to open

  auto listed = list_folder(dir.path().substr(0, dir.path().size() - 1), dst_only());  // no "/" at the end
  ASSERT_TRUE(listed);
  EXPECT_EQ(shown(*listed), (std::vector<std::string>{"..", "[link-to-sub]", "[sub]", "[Sub2]",
                                                       "A.dst", "b.DST"}));
  EXPECT_EQ((*listed)[0].kind, BrowserEntry::kParent);
  EXPECT_EQ((*listed)[1].kind, BrowserEntry::kFolder);
  EXPECT_EQ((*listed)[5].kind, BrowserEntry::kFile);
  EXPECT_EQ((*listed)[5].name, "b.DST");  // case kept

  // A folder to choose: "." comes first; only folders without any extension.
  listed = list_folder(dir.path(), BrowserFilter{{}, true});
  ASSERT_TRUE(listed);
  EXPECT_EQ(shown(*listed), (std::vector<std::string>{".", "..", "[link-to-sub]", "[sub]", "[Sub2]"}));
  EXPECT_EQ((*listed)[0].kind, BrowserEntry::kCurrent);

  // The root has nothing above it.
  listed = list_folder("/", BrowserFilter{});
  ASSERT_TRUE(listed);
  ASSERT_FALSE(listed->empty());
  EXPECT_NE(listed->front().kind, BrowserEntry::kParent);

  EXPECT_FALSE(list_folder(dir / "missing/", dst_only()));
}

TEST_F(ListingTest, FilterTakesEightExtensionsAndTheStar) {
  BrowserFilter nine;
  for (int i = 1; i <= 9; ++i) nine.extensions.push_back("e" + std::to_string(i));
  EXPECT_TRUE(filter_takes(nine, "logo.E8"));
  EXPECT_FALSE(filter_takes(nine, "logo.e9"));  // a ninth extension is not part of the filter
  EXPECT_TRUE(filter_takes(BrowserFilter{{"bmp", "*"}, false}, "anything"));
  EXPECT_FALSE(filter_takes(BrowserFilter{}, "logo.bmp"));
}

TEST(ShownName, Utf8NamesAreShownInTheCodePageAndLongOnesKeepTheirExtension) {
  EXPECT_EQ(shown_name(kNovacekUtf8 + ".dst", 32), kNovacek1250 + ".dst");
  // Width counts letters as drawn: 32 of them fit although the UTF-8 name has 40 bytes.
  const std::string long_czech = "Nov\xC3\xA1\xC4\x8D" "ek_R\xC5\xAF\xC5\xBEi\xC4\x8Dka_"
                                 "\xC5\xA0im\xC3\xA1\xC4\x8D" "ek_2024.bmp";
  ASSERT_EQ(long_czech.size(), 40u);
  EXPECT_EQ(shown_name(long_czech, 32).size(), 32u);
  EXPECT_EQ(shown_name(long_czech, 32).find('~'), std::string::npos);

  EXPECT_EQ(shown_name("Velmi_dlouhe_jmeno_zakaznika_s_logem_2024.jpg", 32),
            "Velmi_dlouhe_jme~_logem_2024.jpg");
  EXPECT_EQ(shown_name(std::string(40, 'a') + ".verylongextension", 32),
            "aaaaaaaaaaaaa~.verylongextension");
  // Characters the code page has no letter for, and bytes that are no UTF-8 at all (a name
  // written by an older program in Latin-1), show as stand-ins, one per character.
  EXPECT_EQ(shown_name("\xE6\x97\xA5\xE6\x9C\xAC.dst", 32), "??.dst");
  EXPECT_EQ(shown_name("Nov\xE1k.dst", 32), "Nov?k.dst");
  // A line break in a name must still show as something.
  EXPECT_EQ(shown_name("a\nb.dst", 32), "a?b.dst");
}

TEST(Folders, CleanedAndClimbed) {
  EXPECT_EQ(clean_folder("/a/./b//c/../"), "/a/b/");
  EXPECT_EQ(clean_folder("/.."), "/");
  EXPECT_EQ(clean_folder("/a/b"), "/a/b/");
  char cwd[4096];
  ASSERT_NE(::getcwd(cwd, sizeof cwd), nullptr);
  EXPECT_EQ(clean_folder("x"), clean_folder(std::string(cwd) + "/x"));
  EXPECT_EQ(folder_above("/a/b/"), "/a/");
  EXPECT_EQ(folder_above("/"), "/");
}

struct StateTest : ::testing::Test {
  StateTest() {
    fs::create_directories(dir / "zakazky/2024");
    dir.write_file("zakazky/logo.dst", "stitches");
    fs::create_directory(dir / "jinde");
    places.POSLEDNIADRESAR = dir / "zakazky/";
  }
  size_t index_of(const BrowserState& s, const std::string& shown_text) {
    for (size_t i = 0; i < s.entries().size(); ++i)
      if (s.entries()[i].shown == shown_text) return i;
    ADD_FAILURE() << shown_text << " not listed";
    return s.entries().size();
  }
  ksv::testing::TempDir dir;
  BrowserPlaces places;
};

TEST_F(StateTest, FoldersAreEnteredFilesChosenAndTheLastFolderRemembered) {
  BrowserState s(dst_only(), places);
  EXPECT_EQ(s.folder(), dir / "zakazky/");
  EXPECT_FALSE(s.confirm(index_of(s, "[2024]")));
  EXPECT_EQ(s.folder(), dir / "zakazky/2024/");
  EXPECT_EQ(places.POSLEDNIADRESAR, dir / "zakazky/2024/");
  EXPECT_FALSE(s.confirm(index_of(s, "..")));
  EXPECT_EQ(s.folder(), dir / "zakazky/");

  const auto choice = s.confirm(index_of(s, "logo.dst"));
  ASSERT_TRUE(choice);
  EXPECT_EQ(choice->folder, dir / "zakazky/");
  EXPECT_EQ(choice->name, "logo.dst");
  EXPECT_EQ(places.POSLEDNIADRESAR, dir / "zakazky/");
  EXPECT_FALSE(s.confirm(s.entries().size()));  // past the end: nothing
}

TEST_F(StateTest, ANameThatIsNoUtf8IsShownReplacedAndChosenByItsOwnBytes) {
  const std::string latin1 = "Nov\xE1k.dst";
  dir.write_file("zakazky/" + latin1, "old program");
  BrowserState s(dst_only(), places);
  const auto choice = s.confirm(index_of(s, "Nov?k.dst"));
  ASSERT_TRUE(choice);
  EXPECT_EQ(choice->name, latin1);
  EXPECT_EQ(dir.read_file("zakazky/" + choice->name), "old program");
}

TEST_F(StateTest, AFolderIsChosenByItsDotWhereTheFilterAsksForOne) {
  BrowserState s(BrowserFilter{{}, true}, places);
  const auto choice = s.confirm(index_of(s, "."));
  ASSERT_TRUE(choice);
  EXPECT_EQ(choice->path(), dir / "zakazky/");
  EXPECT_EQ(choice->name, "");
}

TEST_F(StateTest, AFolderThatIsGoneStartsTheBrowserInTheNearestOneAbove) {
  places.POSLEDNIADRESAR = dir / "zakazky/2023/leden/";
  BrowserState s(dst_only(), places);
  EXPECT_EQ(s.folder(), dir / "zakazky/");
  EXPECT_EQ(places.POSLEDNIADRESAR, dir / "zakazky/");
}

TEST_F(StateTest, FavouritesAreStoredAndVisitedOnlyWhileTheyExist) {
  BrowserState s(dst_only(), places);
  EXPECT_FALSE(s.go_favourite(0));  // empty slot
  s.store_favourite(1);
  EXPECT_EQ(places.OBLIBENE[1], dir / "zakazky/");
  places.OBLIBENE[0] = "..";
  EXPECT_FALSE(s.go_favourite(0));
  places.OBLIBENE[2] = dir / "smazano/";
  EXPECT_FALSE(s.go_favourite(2));
  EXPECT_FALSE(s.go_favourite(3));

  ASSERT_TRUE(s.open(dir / "jinde/"));
  ASSERT_TRUE(s.go_favourite(1));
  EXPECT_EQ(s.folder(), dir / "zakazky/");
  EXPECT_EQ(places.POSLEDNIADRESAR, dir / "zakazky/");
}

// ---------------------------------------------------------------- on the screen

struct BrowserScreenTest : testing::ToolkitTest {
  // Runs the browser over the script; every list the browser shows is noted.
  std::optional<BrowserChoice> run(const std::string& script, const BrowserFilter& filter) {
    EXPECT_TRUE(hb().load_script_text(script)) << hb().script_error();
    hb().set_close_at_end(true);
    Browser browser(tk, [this] {
      std::vector<std::string> names;
      for (const TPrvek& e : tk.seznam.SEZNAM) names.push_back(e.NAZEV);
      if (lists_seen.empty() || lists_seen.back() != names) lists_seen.push_back(names);
      tk.tlacitka.OBSLUHATLAC();
    });
    return browser.run(filter, places);
  }
  BrowserPlaces places;
  std::vector<std::vector<std::string>> lists_seen;
};

TEST_F(BrowserScreenTest, AnAccentedNameIsListedShownChosenAndOpens) {
  fs::create_directory(dir / "loga");
  dir.write_file("loga/" + kNovacekUtf8 + ".dst", "stitches of Novacek");
  dir.write_file("loga/plain.dst", "other");
  places.POSLEDNIADRESAR = dir / "loga/";
  // The caller's own list, which must be there again afterwards.
  tk.seznam.PRIDEJPRVEK("zakazka 17", "", false);

  // Down from "..": the first file is Novacek's.
  const auto choice = run("wait 80\nkey Down\nwait 5\nkey Enter\nwait 5\n", dst_only());
  ASSERT_TRUE(choice);
  ASSERT_FALSE(lists_seen.empty());
  EXPECT_EQ(lists_seen.front(),
            (std::vector<std::string>{"..", kNovacek1250 + ".dst", "plain.dst"}));
  EXPECT_EQ(choice->path(), dir / ("loga/" + kNovacekUtf8 + ".dst"));
  std::ifstream in(choice->path(), std::ios::binary);
  std::string content((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  EXPECT_EQ(content, "stitches of Novacek");
  EXPECT_EQ(places.POSLEDNIADRESAR, dir / "loga/");

  ASSERT_EQ(tk.seznam.PRVKU(), 1);
  EXPECT_EQ(tk.seznam.SEZNAM[0].NAZEV, "zakazka 17");
}

TEST_F(BrowserScreenTest, ButtonsEnterAnAccentedFolderStoreAFavouriteAndCancel) {
  fs::create_directories(dir / ("zakaznici/" + kNovacekUtf8));
  dir.write_file("zakaznici/" + kNovacekUtf8 + "/logo.dst", "x");
  places.POSLEDNIADRESAR = dir / "zakaznici/";
  // Into the folder, keep it as favourite 2, up again, back through the favourite, cancel.
  const auto choice = run(
      "wait 80\nkey Down\nwait 5\nkey Enter\nwait 10\n"
      "click 542 256\nwait 10\n"  // "+2"
      "key Home\nwait 5\nkey Enter\nwait 10\n"
      "key 2\nwait 10\nkey Escape\nwait 5\n",
      dst_only());
  EXPECT_FALSE(choice);
  const std::string folder = dir / ("zakaznici/" + kNovacekUtf8 + "/");
  EXPECT_EQ(places.OBLIBENE[1], folder);
  EXPECT_EQ(places.POSLEDNIADRESAR, folder);
  ASSERT_GE(lists_seen.size(), 4u);
  EXPECT_EQ(lists_seen[0], (std::vector<std::string>{"..", "[" + kNovacek1250 + "]"}));
  EXPECT_EQ(lists_seen[1], (std::vector<std::string>{"..", "logo.dst"}));
  EXPECT_EQ(lists_seen.back(), (std::vector<std::string>{"..", "logo.dst"}));
}

}  // namespace
}  // namespace ksv::toolkit
