// Tests of the ksvimg tool as the workshop runs it: the built executable, its output and exit codes.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>

#include <array>
#include <cstdio>
#include <string>

#include "images/obrazky.h"
#include "images/testsupport/picture_builders.h"
#include "protocol/testsupport/temp_dir.h"

namespace ksv::images {
namespace {

struct ToolRun {
  int status = -1;
  std::string out;
};

// Runs ksvimg with the arguments (each quoted), collecting stdout and stderr together.
ToolRun ksvimg(const std::string& args) {
  ToolRun r;
  const std::string cmd = std::string("'") + KSV_KSVIMG + "' " + args + " 2>&1";
  FILE* p = popen(cmd.c_str(), "r");
  if (p == nullptr) return r;
  std::array<char, 512> buf;
  size_t n;
  while ((n = fread(buf.data(), 1, buf.size(), p)) > 0) r.out.append(buf.data(), n);
  int st = pclose(p);
  r.status = WIFEXITED(st) ? WEXITSTATUS(st) : -1;
  return r;
}

std::string q(const std::string& s) { return "'" + s + "'"; }

TEST(Ksvimg, ConvertsAndDescribesPictures) {
  ksv::testing::TempDir dir;
  // A 24-bit 40 x 20 BMP, left half red, right half blue.
  std::vector<testing::Bytes> rows(20);
  for (auto& row : rows)
    for (int x = 0; x < 40; ++x) row.insert(row.end(), {uint8_t(x < 20 ? 0 : 255), 0, uint8_t(x < 20 ? 255 : 0)});
  testing::Bytes bmp = testing::windows_bmp(40, 20, 24, 0, testing::bottom_up_padded(rows));
  dir.write_file("in.bmp", std::string(bmp.begin(), bmp.end()));

  ToolRun info = ksvimg("info " + q(dir / "in.bmp"));
  EXPECT_EQ(info.status, 0) << info.out;
  EXPECT_NE(info.out.find("size: 40 x 20"), std::string::npos) << info.out;
  EXPECT_NE(info.out.find("24-bit"), std::string::npos) << info.out;
  EXPECT_NE(info.out.find("palette colours used: 2"), std::string::npos) << info.out;

  ToolRun conv = ksvimg("convert " + q(dir / "in.bmp") + " " + q(dir / "out.ksv") + " --fit 10x10");
  ASSERT_EQ(conv.status, 0) << conv.out;
  Obrazky img;
  ASSERT_EQ(img.ZALOZOBRAZEK(0, 64, 64, 1), 0);
  ASSERT_EQ(img.NAHRAJKSV(0, dir / "out.ksv"), 0);
  EXPECT_EQ(img.OBRAZKY[0].VELX, 10);
  EXPECT_EQ(img.OBRAZKY[0].VELY, 5);
  EXPECT_EQ(img.OBRAZKY[0].BUFFER[0], 0xE0);
  EXPECT_EQ(img.OBRAZKY[0].BUFFER[9], 0x03);

  ASSERT_EQ(ksvimg("convert " + q(dir / "out.ksv") + " " + q(dir / "back.bmp")).status, 0);
  EXPECT_EQ(dir.file_size("back.bmp"), 1078 + 12 * 5);
}

TEST(Ksvimg, ClearErrorsAndExitCodes) {
  ksv::testing::TempDir dir;
  EXPECT_EQ(ksvimg("--help").status, 0);
  EXPECT_EQ(ksvimg("").status, 2);
  EXPECT_EQ(ksvimg("frobnicate x").status, 2);
  dir.write_file("notes.bmp", "not a picture at all");
  ToolRun bad = ksvimg("info " + q(dir / "notes.bmp"));
  EXPECT_EQ(bad.status, 1);
  EXPECT_NE(bad.out.find("not a supported picture"), std::string::npos) << bad.out;
  ToolRun missing = ksvimg("info " + q(dir / "missing.pcx"));
  EXPECT_EQ(missing.status, 1);
  EXPECT_NE(missing.out.find("cannot open"), std::string::npos) << missing.out;
  ToolRun png_out = ksvimg("convert " + q(dir / "notes.bmp") + " " + q(dir / "x.png"));
  EXPECT_EQ(png_out.status, 2);
  EXPECT_NE(png_out.out.find("the output must end in .bmp or .ksv, the formats ksvimg writes"),
            std::string::npos) << png_out.out;
  EXPECT_EQ(ksvimg("convert " + q(dir / "notes.bmp") + " " + q(dir / "x.bmp") + " --fit 0x5").status, 2);
  EXPECT_FALSE(dir.exists("x.bmp"));
}

// The format comes from the last extension, so names with more full stops convert as written.
TEST(Ksvimg, TakesTheFormatFromTheLastExtension) {
  ksv::testing::TempDir dir;
  Obrazky img(nullptr, KSV_SUPPORT_PARENT);
  ASSERT_EQ(img.ZALOZOBRAZEK(0, 32, 16, 1), 0);
  TOBRAZEK& o = img.OBRAZKY[0];
  o.VELX = 32, o.VELY = 16, o.BPP = 0;
  for (int i = 0; i < 32 * 16; ++i) o.BUFFER[i] = i % 32 < 16 ? 0xE0 : 0x03;  // red left, blue right
  ASSERT_EQ(img.ULOZOBRAZEK(0, dir / "plain.jpg"), 0);
  ASSERT_EQ(std::rename((dir / "plain.jpg").c_str(), (dir / "firma.final.jpg").c_str()), 0);

  ToolRun conv = ksvimg("convert " + q(dir / "firma.final.jpg") + " " + q(dir / "logo.v2.ksv"));
  ASSERT_EQ(conv.status, 0) << conv.out;
  ASSERT_EQ(img.ZALOZOBRAZEK(1, 32, 16, 1), 0);
  ASSERT_EQ(img.NAHRAJKSV(1, dir / "logo.v2.ksv"), 0);
  const TOBRAZEK& back = img.OBRAZKY[1];
  EXPECT_EQ(back.VELX, 32);
  EXPECT_EQ(back.BUFFER[8 * back.MAXX + 4], 0xE0);  // the middles of the halves survive JPEG
  EXPECT_EQ(back.BUFFER[8 * back.MAXX + 28], 0x03);
  EXPECT_FALSE(dir.exists("firma.bmp")) << "nothing is written beside the input";

  // Upper case works as in the programs; a path's directories may hold full stops too.
  ASSERT_EQ(std::rename((dir / "logo.v2.ksv").c_str(), (dir / "logo.v2.KSV").c_str()), 0);
  ToolRun info = ksvimg("info " + q(dir / "logo.v2.KSV"));
  EXPECT_EQ(info.status, 0) << info.out;
  EXPECT_NE(info.out.find("size: 32 x 16"), std::string::npos) << info.out;
  ASSERT_EQ(::mkdir((dir / "v1.5").c_str(), 0755), 0);
  ToolRun nested = ksvimg("convert " + q(dir / "logo.v2.KSV") + " " + q(dir / "v1.5/out"));
  EXPECT_EQ(nested.status, 2) << "\"v1.5/out\" has no extension of its own";
  EXPECT_NE(nested.out.find("the output must end in .bmp or .ksv"), std::string::npos) << nested.out;
  EXPECT_EQ(ksvimg("convert " + q(dir / "logo.v2.KSV") + " " + q(dir / "v1.5/out.bmp")).status, 0);

  // An input whose last extension names no format is refused before anything is read, with
  // the formats ksvimg does read.
  dir.write_file("logo.ksv.png", "whatever a PNG holds");
  for (const char* name : {"logo.ksv.png", "logo.Ksv"}) {
    ToolRun bad = ksvimg("convert " + q(dir / name) + " " + q(dir / "x.bmp"));
    EXPECT_EQ(bad.status, 2) << name;
    EXPECT_NE(bad.out.find("cannot tell the picture's format from the extension"), std::string::npos) << bad.out;
    EXPECT_NE(bad.out.find(".bmp, .pcx, .ksv, .tga, .gif and .jpg"), std::string::npos) << bad.out;
  }
  EXPECT_FALSE(dir.exists("x.bmp"));
}

}  // namespace
}  // namespace ksv::images
