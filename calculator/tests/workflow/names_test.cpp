// The screen-free rules of the calculator's screens: folder moves, the save
// name and the segment list's fields and pages.
#include <gtest/gtest.h>

#include "calculator/workflow/names.h"

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
  EXPECT_EQ(last_folder_name("/opt/ksv/loga/"), "loga");  // highlighted again after going up
  EXPECT_EQ(last_folder_name("loga"), "loga");
  EXPECT_EQ(last_folder_name("/"), "");
}

TEST(Thumbnails, KeepTheirShape) {
  EXPECT_EQ(fit_into(500, 250, 128).w, 128);
  EXPECT_EQ(fit_into(500, 250, 128).h, 64);
  EXPECT_EQ(fit_into(100, 300, 128).w, 42);
  EXPECT_EQ(fit_into(100, 300, 128).h, 128);
  EXPECT_EQ(fit_into(40, 20, 128).w, 40);  // small pictures keep their size
  EXPECT_EQ(fit_into(2048, 1, 128).h, 1);  // a hairline stays visible
  EXPECT_EQ(fit_into(0, 10, 128).w, 0);
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
