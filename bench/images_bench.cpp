// Image benchmarks on the calculator's largest picture (2048 x 1535): loading a 24-bit BMP and
// mapping it to the palette, rescaling to 640 x 480, saving and loading ".ksv". Each figure is
// printed beside a memcpy of the same number of bytes measured in the same run; nothing asserted.
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "images/obrazky.h"
#include "images/testsupport/picture_builders.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kW = 2048, kH = 1535, kRounds = 5;

// Best of kRounds, in seconds.
double best_of(const std::function<void()>& work) {
  double best = 1e9;
  for (int i = 0; i < kRounds; ++i) {
    auto t0 = Clock::now();
    work();
    best = std::min(best, std::chrono::duration<double>(Clock::now() - t0).count());
  }
  return best;
}

double memcpy_seconds(size_t bytes) {
  std::vector<uint8_t> a(bytes, 1), b(bytes);
  double s = best_of([&] {
    std::memcpy(b.data(), a.data(), bytes);
    a[bytes / 2] = b[bytes / 3];  // keep the copy observable
  });
  return s;
}

void report(const char* what, size_t bytes, double seconds) {
  const double base = memcpy_seconds(bytes);
  const double mb = double(bytes) / 1e6;
  std::printf("%-44s %8.1f MB/s   memcpy %8.1f MB/s   ratio %6.1fx slower   (%.2f MB, %.2f ms)\n", what,
              mb / seconds, mb / base, seconds / base, mb, seconds * 1e3);
}

}  // namespace

int main() {
  using namespace ksv::images;
  char dir_template[] = "/tmp/ksvbench-XXXXXX";
  if (mkdtemp(dir_template) == nullptr) return 1;
  const std::string dir = dir_template;

  // A photo-like picture: smooth gradients with a little noise.
  std::vector<testing::Bytes> rows(kH);
  uint32_t seed = 12345;
  for (int y = 0; y < kH; ++y) {
    rows[y].resize(size_t(kW) * 3);
    for (int x = 0; x < kW; ++x) {
      seed = seed * 1103515245u + 12345u;
      const int noise = int((seed >> 16) & 7);
      rows[y][x * 3] = uint8_t(x / 8 + noise);
      rows[y][x * 3 + 1] = uint8_t(y / 6 + noise);
      rows[y][x * 3 + 2] = uint8_t((x + y) / 14);
    }
  }
  const testing::Bytes bmp = testing::windows_bmp(kW, kH, 24, 0, testing::bottom_up_padded(rows));
  const std::string bmp_name = dir + "/photo.bmp";
  FILE* f = std::fopen(bmp_name.c_str(), "wb");
  if (f == nullptr || std::fwrite(bmp.data(), 1, bmp.size(), f) != bmp.size()) return 1;
  std::fclose(f);

  Obrazky img;
  if (img.ZALOZOBRAZEK(0, kW, kH, 4) != 0 || img.ZALOZOBRAZEK(1, 640, 480, 1) != 0) return 1;
  std::printf("images_bench: %d x %d, best of %d rounds\n", kW, kH, kRounds);

  uint8_t rc = 0;
  report("BMP 24-bit load + palette (file, from cache)", bmp.size(),
         best_of([&] { rc |= img.NAHRAJBMP(0, bmp_name); }));
  report("BMP 24-bit load + palette (in memory)", bmp.size(),
         best_of([&] { rc |= img.load_bmp_memory(0, bmp.data(), bmp.size()); }));
  report("rescale 2048x1535 -> 640x480 (source bytes)", size_t(kW) * kH,
         best_of([&] { img.ZMVELIKOSTI(0, 1, 640, 480, 0); }));
  if (img.OBRAZKY[1].VELX != 640) rc |= 1;

  const std::string ksv_name = dir + "/photo.ksv";
  report("KSV save (picture bytes)", size_t(kW) * kH, best_of([&] { rc |= img.ULOZKSV(0, ksv_name); }));
  report("KSV load (picture bytes)", size_t(kW) * kH, best_of([&] { rc |= img.NAHRAJKSV(0, ksv_name); }));
  std::vector<uint8_t> encoded;
  img.save_ksv_memory(0, encoded);
  std::printf("KSV file: %.2f MB for %.2f MB of pixels\n", double(encoded.size()) / 1e6, double(kW) * kH / 1e6);

  std::remove(bmp_name.c_str());
  std::remove(ksv_name.c_str());
  rmdir(dir.c_str());
  if (rc != 0) std::printf("a load or save failed (code %u)\n", rc);
  return rc == 0 ? 0 : 1;
}
