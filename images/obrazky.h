// Obrazky: the table of 64 image slots both desktop programs keep their pictures in, the fixed
// RRRGGGBB palette, colour conversion, brightness work, crop, copy, rescaling, drawing through the
// pixel surface, and loading/saving by file extension (BMP, PCX, KSV, and TGA/GIF/JPG via SUPPORT/).
#pragma once
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "toolkit/draw/surface.h"

namespace ksv::images {

constexpr int kSlotCount = 64;
constexpr int kWorkRowBytes = 32768;  // PRACRADEK: no rescaled or decoded row may be wider

// Result codes of the slot operations.
constexpr uint8_t kOk = 0;
constexpr uint8_t kEmptyPicture = 5;     // VELX or VELY is 0
constexpr uint8_t kSlotTaken = 20;
constexpr uint8_t VELKECISLO = 21;       // slot number above 63
constexpr uint8_t OBRAZEKNEALOK = 22;    // slot not allocated
constexpr uint8_t kZeroBpp = 23;
constexpr uint8_t OBRAZEKNENINULA = 24;  // picture not in format 0

// Result codes of the file readers and writers.
constexpr uint8_t kFileCannotOpen = 1;   // missing, or shorter than its headers promise
constexpr uint8_t kFileCannotWrite = 2;
constexpr uint8_t kRowTooWide = 3;
constexpr uint8_t kNotSupported = 5;     // not a supported file, empty picture, conversion failed
constexpr uint8_t kBppTooLarge = 6;      // the slot cannot hold the picture's bytes per pixel

struct TRGB {
  uint8_t R = 0, G = 0, B = 0;
};

// One image slot. Pixel format codes held in BPP:
//   0  1 byte   index into the fixed palette PALETA (RRRGGGBB)
//   1  1 byte   index into PRACPALETA, the palette of the picture last loaded
//   2  2 bytes  red bits 0-4, green bits 5-10, blue bits 11-15
//   3  3 bytes  blue, green, red
//   4  4 bytes  blue, green, red, unused
//   5  2 bytes  red bits 0-4, green bits 5-9, blue bits 10-14
// The row stride in bytes is MAXX x bytes per pixel of BPP. The slot owns BUFFER.
struct TOBRAZEK {
  uint8_t* BUFFER = nullptr;
  int32_t VELX = 0;    // width of the picture now held
  int32_t VELY = 0;    // height of the picture now held
  int32_t MAXX = 0;    // allocated row width in pixels
  int32_t MAXY = 0;    // allocated rows
  int32_t BPP = 0;     // pixel format code of the picture now held
  int32_t VEL = 0;     // allocation in bytes; 0 = slot free
  int32_t MAXBPP = 0;  // bytes per pixel the allocation was made for
};

// Bytes per pixel of a format code (0 -> 1, 5 -> 2, others the code itself).
int32_t bytes_per_pixel(int32_t code);

// Pure helpers that need no slot state.
uint16_t SNIZBARVY(uint32_t pixel, uint8_t code);
int32_t VELIKOSTOBR(int32_t x, int32_t y, int32_t code);
int32_t POUZITRADEK(int32_t row, int32_t total, int32_t limit);
int32_t NORMALIZRADEK(uint8_t* row, int32_t len, int32_t limit, int32_t code);

class Obrazky {
 public:
  // surface may be null (nothing is drawn, grabs read 0); program_dir is ADRESAREXE, the
  // directory whose SUPPORT/ holds the converters ("/" appended when missing).
  explicit Obrazky(draw::PixelSurface* surface = nullptr, std::string program_dir = "");
  ~Obrazky();
  Obrazky(const Obrazky&) = delete;
  Obrazky& operator=(const Obrazky&) = delete;

  void set_surface(draw::PixelSurface* surface) { surface_ = surface; }
  void set_program_dir(std::string dir);  // sets ADRESAREXE and LFNCESTA
  // Start-up from the running program's full path: ADRESAREXE is its directory, and the texts
  // file SOUBTEXTU is "dbtexty.dat" for the client (the upper-cased path contains "KSVDB"),
  // "texty.dat" otherwise.
  void set_executable_path(const std::string& exe_path);

  // --- the unit's state, as the programs read and set it ---
  std::array<TOBRAZEK, kSlotCount> OBRAZKY{};
  std::array<TRGB, 256> PALETA{};      // fixed palette, built by NASTAVPALETU
  std::array<TRGB, 256> PRACPALETA{};  // palette of the picture last loaded with one
  int32_t NORMALIZACE = 0;             // low bits cleared from each component in NAJDIBARVU
  int32_t ORIGX = 0, ORIGY = 0;        // size in the file of the last picture a reader loaded
  bool PREVODBAR = true;               // loaders convert to the fixed palette
  std::string ADRESAREXE;              // program directory, trailing "/"
  bool LFNCESTA = false;               // ADRESAREXE contains a space: converters refused
  std::string SOUBTEXTU = "texty.dat";  // the program's texts file

  // --- slot management ---
  int32_t ZALOZOBRAZEK(uint16_t slot, int32_t x, int32_t y, int32_t bpp);
  void ZRUSOBRAZEK(uint16_t slot);
  void ZRUSOBRAZKY();
  int32_t ZMENBUFFER(uint16_t slot, int32_t size);
  uint8_t ZMENBPPBUF(uint16_t slot, int32_t newbpp);

  // --- colour operations ---
  uint8_t NAJDIBARVU(uint8_t r, uint8_t g, uint8_t b) const;
  uint8_t NAJDIBARVUHC15(uint16_t pixel) const;
  uint8_t NAJDIBARVUHC16(uint16_t pixel) const;
  void PREVEDBARVY(uint16_t slot);
  void NORMALIZJAS(uint16_t slot, uint16_t r, uint16_t g, uint16_t b, uint8_t mode);
  uint8_t VYMAZBUFFER(uint16_t slot, uint8_t value);
  uint8_t NAHRADBARVU(uint16_t slot, uint8_t old_index, uint8_t new_index);
  void NASTAVPALETU();

  // --- drawing and grabbing (format 0 only) ---
  void ZOBRAZOBRAZEK(uint16_t slot, int32_t x, int32_t y);
  void ZOBRAZVYREZ(uint16_t slot, int32_t x, int32_t y, int32_t sx, int32_t sy, int32_t w,
                   int32_t h);
  void KOPIRUJOBRAZEK(uint16_t slot, int32_t x, int32_t y, int32_t w, int32_t h);
  void ORIZNIOBRAZEK(uint16_t slot, int32_t x1, int32_t y1, int32_t x2, int32_t y2);

  // --- resizing ---
  void ZMVELIKOSTI(uint16_t src, uint16_t dst, int32_t w, int32_t h, int32_t mode);
  void ZMENSIPOMVEL(uint16_t src, uint16_t dst);
  // mode 0 always scale, 1 enlarge only, 2 reduce only; w and h may be changed to the source
  // size when a plain copy is made. Does nothing when a row would not fit the work row.
  void ZMENVELIKOST(const uint8_t* src, uint8_t* dst, int32_t sw, int32_t sh, int32_t& w,
                    int32_t& h, int32_t smaxx, int32_t smaxy, int32_t dmaxx, int32_t dmaxy,
                    int32_t code, int32_t mode);

  // --- loading and saving by extension ---
  uint8_t NAHRAJOBRAZEK(uint16_t slot, const std::string& name);
  uint8_t ULOZOBRAZEK(uint16_t slot, const std::string& name);

  // --- the format readers and writers ---
  uint8_t NAHRAJBMP(uint16_t slot, const std::string& name);
  uint8_t ULOZBMP(uint16_t slot, const std::string& name);
  uint8_t NAHRAJPCX(uint16_t slot, const std::string& name);
  uint8_t ULOZPCX(uint16_t slot, const std::string& name);  // always 5
  uint8_t NAHRAJKSV(uint16_t slot, const std::string& name);
  uint8_t ULOZKSV(uint16_t slot, const std::string& name);
  uint8_t NAHRAJTGA(uint16_t slot, const std::string& name);
  uint8_t ULOZTGA(uint16_t slot, const std::string& name);
  uint8_t NAHRAJGIF(uint16_t slot, const std::string& name);
  uint8_t ULOZGIF(uint16_t slot, const std::string& name);
  uint8_t NAHRAJJPG(uint16_t slot, const std::string& name);
  uint8_t ULOZJPG(uint16_t slot, const std::string& name);

  // The same decoders and encoders over memory, for tests, fuzzing and tools.
  uint8_t load_bmp_memory(uint16_t slot, const uint8_t* data, size_t size);
  uint8_t load_pcx_memory(uint16_t slot, const uint8_t* data, size_t size);
  uint8_t load_ksv_memory(uint16_t slot, const uint8_t* data, size_t size);
  uint8_t save_bmp_memory(uint16_t slot, std::vector<uint8_t>& out) const;
  uint8_t save_ksv_memory(uint16_t slot, std::vector<uint8_t>& out) const;

 private:
  friend class RowSink;
  bool slot_ok(uint16_t slot) const { return slot < kSlotCount && OBRAZKY[slot].VEL > 0; }
  // The picture's VELX x VELY pixels at bpp bytes lie inside the allocation.
  bool picture_fits(const TOBRAZEK& o, int32_t bpp) const;
  uint8_t run_converter(const std::string& program, const std::vector<std::string>& args) const;
  uint8_t load_via_converter(uint16_t slot, const std::string& name, const std::string& program);
  uint8_t save_via_converter(uint16_t slot, const std::string& name, const std::string& program);

  draw::PixelSurface* surface_ = nullptr;
  std::vector<uint8_t> PRACRADEK;  // work row of the rescaler and the decoders
};

}  // namespace ksv::images
