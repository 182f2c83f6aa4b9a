// The screen-free rules of the calculator's screens: folder moves, long listed names, the save
// name and the segment list's fields and pages.
#include <gtest/gtest.h>

#include "calculator/workflow/names.h"
#include "protocol/testsupport/temp_dir.h"

namespace ksv::calculator::ui {
namespace {

TEST(ChooserFolders, UpAndDown) {
  EXPECT_EQ(parent_folder("/opt/ksv/logocalc/loga/"), "/opt/ksv/logocalc/");
  EXPECT_EQ(parent_folder("/loga/"), "/");
  EXPECT_EQ(parent_folder("/"), "/");  // the root has nothing above
  EXPECT_EQ(parent_folder("loga/"), "./");
  EXPECT_EQ(parent_folder("../"), "../../");
  EXPECT_EQ(child_folder("/opt/loga/", "zakaznik"), "/opt/loga/zakaznik/");
  EXPECT_EQ(child_folder("/opt/loga/", ".."), "/opt/");
}

TEST(ChooserFolders, LongNamesAreFoundAgain) {
  ksv::testing::TempDir dir;
  const std::string long_name = "logo_zakaznika_s_velmi_dlouhym_jmenem.bmp";  // 41 characters
  dir.write_file(long_name, "x");
  dir.write_file("kratke.bmp", "x");
  EXPECT_EQ(full_listed_name(dir.path(), long_name.substr(0, 32)), long_name);
  EXPECT_EQ(full_listed_name(dir.path(), "kratke.bmp"), "kratke.bmp");
  // Two names sharing the first 32 characters cannot be told apart: the listed text stays.
  dir.write_file(long_name + ".bak", "x");
  EXPECT_EQ(full_listed_name(dir.path(), long_name.substr(0, 32)), long_name.substr(0, 32));
}

TEST(SaveName, FieldResults) {
  EXPECT_EQ(edited_save_name("_kalkul", 0, "logo.png"), "logo");
  EXPECT_EQ(edited_save_name("logo", 0, ""), "logo");                   // empty field
  EXPECT_EQ(edited_save_name("logo", 0, std::string(1, '\0')), "logo");  // cancel marker
  EXPECT_EQ(edited_save_name("logo", 2024, ""), "2024");  // digits come back as a number
  EXPECT_EQ(edited_save_name("logo", 0, "a.b.c"), "a");
  EXPECT_EQ(edited_save_name("logo", 0, "../etc/x"), "");  // nothing before the full stop
}

TEST(SaveName, SafeNames) {
  EXPECT_TRUE(is_safe_save_name("logo"));
  EXPECT_TRUE(is_safe_save_name("Firma 2 - navrh"));
  EXPECT_FALSE(is_safe_save_name(""));
  EXPECT_FALSE(is_safe_save_name("sub/logo"));
  EXPECT_FALSE(is_safe_save_name("sub\\logo"));
  EXPECT_FALSE(is_safe_save_name(std::string("a\nb")));
}

TEST(SegmentList, FieldsAndPages) {
  TSEGMENT s{};
  s.BARVA = 224;
  s.TYP = 0x86;
  s.SMER = 1;
  for (auto& v : s.VYREZ) v = {65535, 65535};
  s.VYREZ[2] = {10, 12};
  EXPECT_EQ(holes_of(s), 1);
  EXPECT_EQ(segment_spec(s), std::string("224\0" "134\0" "1\0" "1\0", 12));
  EXPECT_EQ(page_count(0), 0);
  EXPECT_EQ(page_count(1), 1);
  EXPECT_EQ(page_count(4096), 1);
  EXPECT_EQ(page_count(4097), 2);
}

TEST(Masks, StepThroughAllSixAndBack) {
  uint16_t m = 0;
  std::string seen;
  for (int i = 0; i < 6; ++i) {
    seen += std::string(kMasks[m]) + " ";
    m = next_mask(m);
  }
  EXPECT_EQ(seen, "*.jpg *.bmp *.pcx *.gif *.tga *.ksv ");
  EXPECT_EQ(m, 0);
}

}  // namespace
}  // namespace ksv::calculator::ui
