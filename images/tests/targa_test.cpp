// Targa pictures the right way up in both directions: files made byte by byte here, in both row
// orders other programs write, load through the SUPPORT/ converter with their top row on top
// (and their transparent parts on white);
// and what our converter writes is read back by a small reader of the format written here, not
// by our own code, so two flips cannot cancel out.
#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

#include "images/obrazky.h"
#include "protocol/testsupport/temp_dir.h"

namespace ksv::images {
namespace {

using Bytes = std::vector<uint8_t>;
using Rgb = std::array<uint8_t, 3>;

constexpr uint8_t kRed = 0xE0, kGreen = 0x1C, kBlue = 0x03, kWhite = 0xFF;
constexpr Rgb kRgbRed{255, 0, 0}, kRgbGreen{0, 255, 0}, kRgbBlue{0, 0, 255}, kRgbWhite{255, 255, 255};

// The 3 x 2 picture of every file below, top row first: red, white, green / blue, white, white.
const std::vector<std::vector<Rgb>> kPicture = {{kRgbRed, kRgbWhite, kRgbGreen},
                                                {kRgbBlue, kRgbWhite, kRgbWhite}};

// An 18-byte Targa header of a true-colour picture.
Bytes header(uint8_t type, int w, int h, uint8_t bits, uint8_t descriptor) {
  Bytes b(18, 0);
  b[2] = type;
  b[12] = uint8_t(w), b[13] = uint8_t(w >> 8);
  b[14] = uint8_t(h), b[15] = uint8_t(h >> 8);
  b[16] = bits;
  b[17] = descriptor;
  return b;
}

void put(Bytes& b, const Rgb& c, bool alpha) {
  b.insert(b.end(), {c[2], c[1], c[0]});
  if (alpha) b.push_back(255);
}

// kPicture as an uncompressed file, its rows stored top first or bottom first, each row left to
// right or (rarely written, but allowed) right to left.
Bytes uncompressed(bool top_first, bool alpha, bool right_to_left = false) {
  const uint8_t corner = uint8_t((top_first ? 0x20 : 0) | (right_to_left ? 0x10 : 0));
  Bytes b = header(2, 3, 2, alpha ? 32 : 24, uint8_t(corner | (alpha ? 8 : 0)));
  for (int r = 0; r < 2; ++r)
    for (int i = 0; i < 3; ++i) put(b, kPicture[size_t(top_first ? r : 1 - r)][size_t(right_to_left ? 2 - i : i)], alpha);
  return b;
}

// kPicture run-length coded, bottom row first: a literal packet, then a run of two whites.
Bytes run_length_bottom_first() {
  Bytes b = header(10, 3, 2, 24, 0);
  b.push_back(0x00);  // one literal pixel
  put(b, kRgbBlue, false);
  b.push_back(0x81);  // white twice
  put(b, kRgbWhite, false);
  b.push_back(0x02);  // three literal pixels
  for (const Rgb& c : kPicture[0]) put(b, c, false);
  return b;
}

// A reader of the format, written from its description: image types 2 and 10, 24 or 32 bits,
// rows placed by bit 5 of the descriptor. Returns the rows top first; empty when unreadable.
std::vector<std::vector<Rgb>> read_targa(const std::string& bytes, uint8_t& descriptor) {
  auto u8 = [&](size_t i) { return uint8_t(bytes[i]); };
  if (bytes.size() < 18 || u8(1) != 0 || (u8(2) != 2 && u8(2) != 10)) return {};
  const int w = u8(12) | u8(13) << 8, h = u8(14) | u8(15) << 8, size = u8(16) / 8;
  if (size != 3 && size != 4) return {};
  descriptor = u8(17);
  size_t pos = 18 + u8(0);
  std::vector<Rgb> stream;
  auto pixel = [&]() -> Rgb { return {u8(pos + 2), u8(pos + 1), u8(pos)}; };
  while (stream.size() < size_t(w) * h) {
    if (u8(2) == 2) {
      if (pos + size > bytes.size()) return {};
      stream.push_back(pixel());
      pos += size_t(size);
      continue;
    }
    if (pos >= bytes.size()) return {};
    const uint8_t head = u8(pos++);
    const int count = (head & 0x7F) + 1;
    for (int i = 0; i < count; ++i) {
      if (pos + size > bytes.size()) return {};
      stream.push_back(pixel());
      if (!(head & 0x80) || i == count - 1) pos += size_t(size);
    }
  }
  std::vector<std::vector<Rgb>> rows(static_cast<size_t>(h));
  for (int r = 0; r < h; ++r) {
    const int y = (descriptor & 0x20) ? r : h - 1 - r;
    rows[size_t(y)].assign(stream.begin() + r * w, stream.begin() + (r + 1) * w);
  }
  return rows;
}

struct Targa : ::testing::Test {
  ksv::testing::TempDir dir;
  Obrazky img{nullptr, KSV_SUPPORT_PARENT};
  void SetUp() override { ASSERT_EQ(img.ZALOZOBRAZEK(0, 256, 16, 4), 0); }
  uint8_t at(int x, int y) { return img.OBRAZKY[0].BUFFER[img.OBRAZKY[0].MAXX * y + x]; }
};

TEST_F(Targa, FilesOfOtherProgramsLoadTheRightWayUpFromEveryCorner) {
  const struct {
    const char* name;
    Bytes file;
  } files[] = {
      {"bottom_first.tga", uncompressed(false, false)},
      {"top_first.tga", uncompressed(true, false)},
      {"bottom_first_alpha.tga", uncompressed(false, true)},
      {"top_first_alpha.tga", uncompressed(true, true)},
      {"bottom_first_rle.tga", run_length_bottom_first()},
      {"top_right_first.tga", uncompressed(true, false, true)},
      {"bottom_right_first.tga", uncompressed(false, false, true)},
  };
  for (const auto& f : files) {
    SCOPED_TRACE(f.name);
    dir.write_file(f.name, std::string(f.file.begin(), f.file.end()));
    img.OBRAZKY[0].VELX = 0;
    ASSERT_EQ(img.NAHRAJOBRAZEK(0, dir / f.name), 0);
    ASSERT_EQ(img.OBRAZKY[0].VELX, 3);
    ASSERT_EQ(img.OBRAZKY[0].VELY, 2);
    EXPECT_EQ(at(0, 0), kRed);
    EXPECT_EQ(at(1, 0), kWhite);
    EXPECT_EQ(at(2, 0), kGreen);
    EXPECT_EQ(at(0, 1), kBlue);
    EXPECT_EQ(at(2, 1), kWhite);
  }
}

TEST_F(Targa, TransparentPartsLieOnWhite) {
  // 3 x 1, 32 bits with 8 alpha bits: clear black, half-covered red, solid blue.
  Bytes file = header(2, 3, 1, 32, 0x28);
  file.insert(file.end(), {0, 0, 0, 0, 0, 0, 255, 128, 255, 0, 0, 255});
  // The same pixels in a file whose alpha is zero throughout: no alpha at all, whatever the
  // header says.
  Bytes unused = header(2, 3, 1, 32, 0x28);
  unused.insert(unused.end(), {0, 0, 0, 0, 0, 0, 255, 0, 255, 0, 0, 0});
  img.PREVODBAR = false;  // true colours
  auto rgb = [&](int x) {
    const uint8_t* p = img.OBRAZKY[0].BUFFER + 3 * x;
    return Rgb{p[2], p[1], p[0]};
  };
  dir.write_file("alpha.tga", std::string(file.begin(), file.end()));
  ASSERT_EQ(img.NAHRAJOBRAZEK(0, dir / "alpha.tga"), 0);
  ASSERT_EQ(img.OBRAZKY[0].BPP, 3);
  EXPECT_EQ(rgb(0), kRgbWhite);
  EXPECT_EQ(rgb(1), (Rgb{255, 127, 127}));
  EXPECT_EQ(rgb(2), kRgbBlue);
  dir.write_file("unused.tga", std::string(unused.begin(), unused.end()));
  ASSERT_EQ(img.NAHRAJOBRAZEK(0, dir / "unused.tga"), 0);
  EXPECT_EQ(rgb(0), (Rgb{0, 0, 0}));
  EXPECT_EQ(rgb(1), kRgbRed);
  EXPECT_EQ(rgb(2), kRgbBlue);
}

TEST_F(Targa, OurFilesReadTheRightWayUpAndSayWhichRowComesFirst) {
  // 130 x 3: longer than one packet holds. Top row red ... green, a middle row of alternating
  // black and white (literal packets only), bottom row blue then white.
  TOBRAZEK& o = img.OBRAZKY[0];
  o.VELX = 130, o.VELY = 3, o.BPP = 0;
  for (int x = 0; x < 130; ++x) {
    o.BUFFER[x] = x == 0 ? kRed : x == 129 ? kGreen : kWhite;
    o.BUFFER[o.MAXX + x] = x % 2 ? kWhite : 0x00;
    o.BUFFER[2 * o.MAXX + x] = x == 0 ? kBlue : kWhite;
  }
  ASSERT_EQ(img.ULOZOBRAZEK(0, dir / "ours.tga"), 0);
  uint8_t descriptor = 0;
  const auto rows = read_targa(dir.read_file("ours.tga"), descriptor);
  ASSERT_EQ(rows.size(), 3u);
  // Top row first, and declared so: readers that ignore the declaration show it right as well.
  EXPECT_EQ(descriptor & 0x30, 0x20);
  for (int y = 0; y < 3; ++y) {
    ASSERT_EQ(rows[size_t(y)].size(), 130u);
    for (int x = 0; x < 130; ++x) {
      const TRGB& want = img.PALETA[o.BUFFER[o.MAXX * y + x]];
      ASSERT_EQ(rows[size_t(y)][size_t(x)], (Rgb{want.R, want.G, want.B})) << x << "," << y;
    }
  }
}

}  // namespace
}  // namespace ksv::images
