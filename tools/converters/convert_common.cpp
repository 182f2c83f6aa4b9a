// Command line, the stb-based BMP/TGA reading and the BMP writing shared by the converters.
#include "tools/converters/convert_common.h"

#include <stb/stb_image.h>
#include <stb/stb_image_write.h>

#include <cstdio>
#include <cstring>

namespace ksv::convert {

int fail(const std::string& name, const std::string& message) {
  std::fprintf(stderr, "%s: %s\n", name.c_str(), message.c_str());
  return 1;
}

int parse_args(int argc, char** argv, const char* what, const char* default_ext, bool out_required,
               std::string& in, std::string& out) {
  const char* prog = argc > 0 ? argv[0] : "converter";
  const char* slash = std::strrchr(prog, '/');
  prog = slash ? slash + 1 : prog;
  auto usage = [&](std::FILE* to) {
    std::fprintf(to,
                 "usage: %s INPUT %s\n%s\n"
                 "Exit status: 0 when the output was written, 1 when the conversion failed,\n"
                 "2 for a wrong command line.\n",
                 prog, out_required ? "OUTPUT" : "[OUTPUT]", what);
  };
  if (argc >= 2 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0)) {
    usage(stdout);
    return 0;
  }
  if (argc < 2 || argc > 3 || (out_required && argc != 3)) {
    usage(stderr);
    return 2;
  }
  in = argv[1];
  if (argc == 3) {
    out = argv[2];
  } else {
    size_t base = in.rfind('/');
    base = base == std::string::npos ? 0 : base + 1;
    size_t dot = in.find('.', base);
    out = (dot == std::string::npos ? in : in.substr(0, dot)) + default_ext;
  }
  return -1;
}

bool read_picture(const std::string& name, Rgb& out, bool alpha_over_white) {
  int w = 0, h = 0, n = 0;
  if (stbi_info(name.c_str(), &w, &h, &n) && static_cast<long long>(w) * h > kMaxPixels) {
    fail(name, "picture too large");
    return false;
  }
  unsigned char* data = stbi_load(name.c_str(), &w, &h, &n, 4);
  if (data == nullptr) {
    fail(name, stbi_failure_reason() ? stbi_failure_reason() : "cannot read");
    return false;
  }
  const size_t count = size_t(w) * size_t(h);
  // Some writers declare an alpha channel and leave it all zero; such a picture is opaque.
  bool any_alpha = false;
  for (size_t i = 0; alpha_over_white && i < count && !any_alpha; ++i) any_alpha = data[4 * i + 3] != 0;
  out.width = w;
  out.height = h;
  out.pixels.resize(count * 3);
  for (size_t i = 0; i < count; ++i) {
    const unsigned char* px = data + 4 * i;
    const int a = any_alpha ? px[3] : 255;
    for (int c = 0; c < 3; ++c)
      out.pixels[3 * i + size_t(c)] = uint8_t((px[c] * a + 255 * (255 - a) + 127) / 255);
  }
  stbi_image_free(data);
  return true;
}

bool write_bmp(const std::string& name, const Rgb& p) {
  if (!stbi_write_bmp(name.c_str(), p.width, p.height, 3, p.pixels.data())) {
    fail(name, "cannot write");
    return false;
  }
  return true;
}

}  // namespace ksv::convert
