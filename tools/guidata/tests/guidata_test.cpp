// Button picture generator: the list's rules (plain names only, sizes, looks) and the pictures it
// writes, read back through the image slots.
#include <gtest/gtest.h>

#include <fstream>
#include <set>
#include <sstream>

#include "images/obrazky.h"
#include "protocol/testsupport/temp_dir.h"
#include "tools/guidata/guidata.h"

namespace ksv::guidata {
namespace {

TEST(ButtonList, RefusesUnsafeNamesAndBadLines) {
  std::vector<PictureSpec> out;
  std::string err;
  EXPECT_TRUE(parse_list("# c\n\nok.bmp 50x20 text OK Go\nup.bmp 22x20 icon up\r\n", out, err));
  ASSERT_EQ(out.size(), 2u);
  EXPECT_EQ(out[0].look, "OK Go");
  EXPECT_EQ(out[1].width, 22);
  EXPECT_TRUE(out[1].icon);
  for (const char* bad : {"../x.bmp 50x20 text A", "sub/x.bmp 50x20 text A", ".x.bmp 50x20 text A",
                          "x.png 50x20 text A", "x.bmp 50 text A", "x.bmp 0x20 text A",
                          "x.bmp 5000x20 text A", "x.bmp 50x20 icon nosuch", "x.bmp 50x20 text",
                          "x.bmp 50x20 paint A"}) {
    EXPECT_FALSE(parse_list(std::string("a.bmp 50x20 text A\n") + bad, out, err)) << bad;
    EXPECT_NE(err.find("line 2"), std::string::npos) << err;
  }
}

TEST(ButtonList, TheShippedListCoversEveryPictureOnce) {
  std::ifstream in(KSV_BUTTON_LIST);
  std::stringstream ss;
  ss << in.rdbuf();
  std::vector<PictureSpec> out;
  std::string err;
  ASSERT_TRUE(parse_list(ss.str(), out, err)) << err;
  std::set<std::string> names;
  for (const auto& p : out) EXPECT_TRUE(names.insert(p.file).second) << p.file;
  for (const char* n : {"budiz.bmp", "Budiz.bmp", "zrusit.bmp", "pomoc.bmp", "nahoru.bmp",
                        "dolu.bmp", "_jasne.bmp", "fotky.bmp", "konec.bmp"})
    EXPECT_TRUE(names.count(n)) << n;
}

TEST(Render, PicturesLoadBackWithFaceAndInk) {
  ksv::testing::TempDir dir;
  std::string err;
  images::Obrazky img;
  img.NASTAVPALETU();
  for (const PictureSpec& p : {PictureSpec{"t.bmp", 50, 20, false, "Prihlas"},
                               PictureSpec{"i.bmp", 22, 20, true, "up"},
                               PictureSpec{"q.bmp", 100, 60, true, "light"}}) {
    ASSERT_TRUE(render_picture(p, dir.path(), err)) << err;
    img.ZALOZOBRAZEK(1, 640, 480, 4);  // a loading area, as the button unit keeps one
    ASSERT_EQ(img.NAHRAJOBRAZEK(1, dir / p.file), 0) << p.file;
    const images::TOBRAZEK& o = img.OBRAZKY[1];
    EXPECT_EQ(o.VELX, p.width);
    EXPECT_EQ(o.VELY, p.height);
    img.PREVEDBARVY(1);
    int ink = 0, face = 0;
    for (int y = 2; y < o.VELY - 2; ++y)
      for (int x = 2; x < o.VELX - 2; ++x) {
        uint8_t v = o.BUFFER[y * o.MAXX + x];
        ink += v == 0;
        face += v == img.NAJDIBARVU(192, 192, 192);
      }
    if (p.look != "light") {
      EXPECT_GT(ink, 10) << p.file;  // the label or symbol is there
    }
    EXPECT_GT(face + ink, 0);
    img.ZRUSOBRAZEK(1);
  }
  EXPECT_FALSE(render_picture(PictureSpec{"x.bmp", 50, 20, false, "A"}, dir / "missing", err));
}

// The labels of one picture size share one style: as large as all of them fit, and never below
// the legible size however long one label is.
TEST(Render, LabelsOfOneSizeShareTheirStyle) {
  std::vector<PictureSpec> list = {{"a.bmp", 50, 20, false, "OK"},
                                   {"b.bmp", 50, 20, false, "Alarm"},
                                   {"c.bmp", 22, 20, true, "up"},
                                   {"d.bmp", 80, 20, false, "Kratke"}};
  const CaptionStyle short_ones = caption_style(list, 50, 20);
  EXPECT_EQ(short_ones.font, 20);
  EXPECT_EQ(short_ones.size, 16);
  list.push_back({"e.bmp", 50, 20, false, "Dochazka"});
  const CaptionStyle with_long = caption_style(list, 50, 20);
  EXPECT_GE(with_long.size, kLegible);
  EXPECT_TRUE(with_long.font != short_ones.font || with_long.size < short_ones.size);
  // Another size is not pulled down by the long label.
  EXPECT_EQ(caption_style(list, 80, 20).size, 16);
  // Even a label that fits nowhere leaves the legible size in place (and is abbreviated).
  list.push_back({"f.bmp", 50, 20, false, "Nejdelsi popisek vubec"});
  EXPECT_GE(caption_style(list, 50, 20).size, kLegible);
  ksv::testing::TempDir dir;
  std::string err;
  const CaptionStyle style = caption_style(list, 50, 20);
  EXPECT_TRUE(render_picture(list.back(), dir.path(), err, &style)) << err;
}

}  // namespace
}  // namespace ksv::guidata
