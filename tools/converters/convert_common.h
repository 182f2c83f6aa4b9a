// What every SUPPORT/ converter shares: its command line (input, optional output, --help),
// reading a BMP or TGA into RGB pixels and writing a 24-bit BMP or a TGA.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace ksv::convert {

// Larger pictures are refused before anything is allocated for them: a hostile header may
// promise 65535 x 65535 pixels. The programs work with at most 2048 x 1535.
constexpr long long kMaxPixels = 64LL * 1024 * 1024;

struct Rgb {
  int width = 0, height = 0;
  std::vector<uint8_t> pixels;  // red, green, blue, rows from the top
};

// Parses "IN [OUT]" (OUT required when out_required); prints usage for --help or bad use.
// Returns -1 to go on, otherwise the exit code to end with. A missing OUT becomes the input
// name cut before the first full stop of its file name, plus default_ext (".bmp").
int parse_args(int argc, char** argv, const char* what, const char* default_ext, bool out_required,
               std::string& in, std::string& out);

// stb_image reads BMP (8, 24, 32 bits) and TGA, a TGA's rows placed by the origin its header
// declares (bottom row first or top row first); false with a message on stderr otherwise.
// With alpha_over_white, a picture's alpha channel lays it on white (a transparent pixel shows
// white, as the ground of a logo), unless the channel is zero throughout; otherwise alpha is
// ignored.
bool read_picture(const std::string& name, Rgb& out, bool alpha_over_white = false);
bool write_bmp(const std::string& name, const Rgb& picture);
// A run-length 24-bit Targa picture, top row first and declared so (targa_writer.cpp); false
// for an empty picture or one wider or taller than 65535.
bool encode_tga(const Rgb& picture, std::vector<uint8_t>& out);
bool write_tga(const std::string& name, const Rgb& picture);

// Prints "NAME: message" to stderr and returns 1, the converters' failure exit code.
int fail(const std::string& name, const std::string& message);

}  // namespace ksv::convert
