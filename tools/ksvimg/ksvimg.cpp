// ksvimg commands. Pictures go through the same slot loaders, palette conversion and savers as
// the desktop programs, so what ksvimg writes is what they will show.
#include "tools/ksvimg/ksvimg.h"

#include <cstdlib>
#include <ostream>
#include <set>

#include "images/obrazky.h"

namespace ksv::tools {

namespace {

using images::Obrazky;

// The largest picture the programs work with (the calculator's working picture).
constexpr int32_t kMaxW = 2048, kMaxH = 1535;
constexpr uint16_t kLoadSlot = 0, kFitSlot = 1;

const char* kUsage =
    "usage: ksvimg info FILE\n"
    "       ksvimg convert INPUT OUTPUT [--fit WxH]\n"
    "\n"
    "Reads BMP, PCX, KSV (and TGA, GIF, JPG through the converters in SUPPORT/ beside ksvimg)\n"
    "into an image slot, maps it onto the fixed 256-colour palette, and shows its size or\n"
    "writes it as BMP or KSV (chosen by OUTPUT's extension, lower case). --fit reduces the\n"
    "picture to fit WxH keeping its aspect. Pictures above 2048 x 1535 are reduced to fit.\n"
    "Extensions are matched as the programs match them: bmp or BMP, not Bmp.\n"
    "Exit status: 0 done, 1 the picture could not be read or written, 2 wrong command line.\n";

std::string reason(uint8_t code) {
  switch (code) {
    case 1: return "cannot open the file, or it is shorter than its headers promise";
    case 2: return "cannot create or write the file";
    case 3: return "the picture is too wide";
    case 5: return "not a supported picture (or the converter failed)";
    case 6: return "the picture has more bytes per pixel than the slot holds";
    default: return "error " + std::to_string(code);
  }
}

std::string format_name(int32_t code) {
  switch (code) {
    case 0: return "palette indices (fixed palette)";
    case 1: return "8-bit with its own palette";
    case 2: return "16-bit";
    case 3: return "24-bit";
    case 4: return "32-bit";
    case 5: return "15-bit";
  }
  return "unknown";
}

std::string extension(const std::string& name) {
  size_t base = name.rfind('/');
  base = base == std::string::npos ? 0 : base + 1;
  size_t dot = name.find('.', base);
  return dot == std::string::npos ? "" : name.substr(dot + 1);
}

// Loads without conversion first, so the file's own pixel format can be reported, then converts.
bool load(Obrazky& img, const std::string& name, int32_t& file_format, std::ostream& err) {
  if (img.ZALOZOBRAZEK(kLoadSlot, kMaxW, kMaxH, 4) != 0) {
    err << "ksvimg: cannot allocate the picture buffer\n";
    return false;
  }
  img.PREVODBAR = false;
  uint8_t rc = img.NAHRAJOBRAZEK(kLoadSlot, name);
  img.PREVODBAR = true;
  if (rc != 0) {
    err << "ksvimg: " << name << ": " << reason(rc) << "\n";
    return false;
  }
  file_format = img.OBRAZKY[kLoadSlot].BPP;
  img.PREVEDBARVY(kLoadSlot);
  return true;
}

int info(const std::string& name, const std::string& dir, std::ostream& out, std::ostream& err) {
  Obrazky img(nullptr, dir);
  int32_t format = 0;
  if (!load(img, name, format, err)) return 1;
  const images::TOBRAZEK& o = img.OBRAZKY[kLoadSlot];
  std::set<uint8_t> used;
  for (int32_t y = 0; y < o.VELY; ++y)
    for (int32_t x = 0; x < o.VELX; ++x) used.insert(o.BUFFER[int64_t{o.MAXX} * y + x]);
  out << "file: " << name << "\n"
      << "size: " << img.ORIGX << " x " << img.ORIGY << "\n"
      << "pixels: " << format_name(format) << "\n";
  if (o.VELX != img.ORIGX || o.VELY != img.ORIGY)
    out << "loaded as: " << o.VELX << " x " << o.VELY << " (reduced)\n";
  out << "palette colours used: " << used.size() << "\n";
  return 0;
}

int convert(const std::vector<std::string>& args, const std::string& dir, std::ostream& out,
            std::ostream& err) {
  const std::string& in = args[1];
  const std::string& to = args[2];
  int32_t fit_w = 0, fit_h = 0;
  if (args.size() == 5 && args[3] == "--fit") {
    char* end = nullptr;
    long w = std::strtol(args[4].c_str(), &end, 10);
    long h = (end && *end == 'x') ? std::strtol(end + 1, &end, 10) : 0;
    if (!end || *end != '\0' || w < 1 || h < 1 || w > kMaxW || h > kMaxH) {
      err << "ksvimg: --fit wants WxH, at most " << kMaxW << "x" << kMaxH << "\n";
      return 2;
    }
    fit_w = int32_t(w), fit_h = int32_t(h);
  } else if (args.size() != 3) {
    err << kUsage;
    return 2;
  }
  const std::string ext = extension(to);
  if (ext != "bmp" && ext != "ksv") {
    err << "ksvimg: " << to << ": the output must end in .bmp or .ksv\n";
    return 2;
  }
  Obrazky img(nullptr, dir);
  int32_t format = 0;
  if (!load(img, in, format, err)) return 1;
  uint16_t slot = kLoadSlot;
  if (fit_w > 0) {
    if (img.ZALOZOBRAZEK(kFitSlot, fit_w, fit_h, 1) != 0) {
      err << "ksvimg: cannot allocate the picture buffer\n";
      return 1;
    }
    img.ZMENSIPOMVEL(kLoadSlot, kFitSlot);
    slot = kFitSlot;
  }
  const uint8_t rc = img.ULOZOBRAZEK(slot, to);
  if (rc != 0) {
    err << "ksvimg: " << to << ": " << reason(rc) << "\n";
    return 1;
  }
  out << to << ": " << img.OBRAZKY[slot].VELX << " x " << img.OBRAZKY[slot].VELY << "\n";
  return 0;
}

}  // namespace

int run_ksvimg(const std::vector<std::string>& args, const std::string& program_dir, std::ostream& out,
               std::ostream& err) {
  if (!args.empty() && (args[0] == "--help" || args[0] == "-h" || args[0] == "help")) {
    out << kUsage;
    return 0;
  }
  if (args.size() == 2 && args[0] == "info") return info(args[1], program_dir, out, err);
  if (args.size() >= 3 && args[0] == "convert") return convert(args, program_dir, out, err);
  err << kUsage;
  return 2;
}

}  // namespace ksv::tools
