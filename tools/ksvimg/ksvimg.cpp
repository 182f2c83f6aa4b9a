// ksvimg commands. Pictures go through the same slot loaders, palette conversion and savers as
// the desktop programs, so what ksvimg writes is what they will show.
#include "tools/ksvimg/ksvimg.h"

#include <cctype>
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
    "The format is taken from the last extension of a name (logo.v2.ksv is a KSV file), in\n"
    "lower or upper case as the programs match it: bmp or BMP, not Bmp.\n"
    "Exit status: 0 done, 1 the picture could not be read or written, 2 wrong command line\n"
    "(including a name whose extension tells no format).\n";

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

// ksvimg is a command-line tool, and like every such tool it takes a picture's format from the
// last extension of the name: "logo.v2.ksv" is a KSV file and "firma.final.jpg" a JPEG. (The
// desktop programs' own dispatch by the first full stop stays theirs.) Each format's reader and
// writer is called directly, so the name reaches them as the user gave it.
using Loader = uint8_t (Obrazky::*)(uint16_t, const std::string&);
struct Format {
  const char* ext;
  Loader load;
  Loader save;  // null: ksvimg does not write this format
};
constexpr Format kFormats[] = {
    {"bmp", &Obrazky::NAHRAJBMP, &Obrazky::ULOZBMP}, {"pcx", &Obrazky::NAHRAJPCX, nullptr},
    {"ksv", &Obrazky::NAHRAJKSV, &Obrazky::ULOZKSV}, {"tga", &Obrazky::NAHRAJTGA, nullptr},
    {"gif", &Obrazky::NAHRAJGIF, nullptr},           {"jpg", &Obrazky::NAHRAJJPG, nullptr},
};

std::string last_extension(const std::string& name) {
  size_t base = name.rfind('/');
  base = base == std::string::npos ? 0 : base + 1;
  size_t dot = name.rfind('.');
  return dot == std::string::npos || dot < base ? "" : name.substr(dot + 1);
}

std::string upper(std::string s) {
  for (char& c : s) c = char(std::toupper(static_cast<unsigned char>(c)));
  return s;
}

// Input extensions match as the programs match them, all lower or all upper case; outputs are
// written in lower case only.
const Format* input_format(const std::string& name) {
  const std::string ext = last_extension(name);
  for (const Format& f : kFormats)
    if (ext == f.ext || ext == upper(f.ext)) return &f;
  return nullptr;
}

const Format* output_format(const std::string& name) {
  const std::string ext = last_extension(name);
  for (const Format& f : kFormats)
    if (f.save != nullptr && ext == f.ext) return &f;
  return nullptr;
}

// "the extension ".png"", or "a name without an extension", for messages.
std::string shown_extension(const std::string& name) {
  const std::string ext = last_extension(name);
  return ext.empty() ? "a name without an extension" : "the extension \"." + ext + "\"";
}

// Loads without conversion first, so the file's own pixel format can be reported, then converts.
bool load(Obrazky& img, const std::string& name, const Format& format, int32_t& file_format,
          std::ostream& err) {
  if (img.ZALOZOBRAZEK(kLoadSlot, kMaxW, kMaxH, 4) != 0) {
    err << "ksvimg: cannot allocate the picture buffer\n";
    return false;
  }
  img.PREVODBAR = false;
  uint8_t rc = (img.*format.load)(kLoadSlot, name);
  img.PREVODBAR = true;
  if (rc != 0) {
    err << "ksvimg: " << name << ": " << reason(rc) << "\n";
    return false;
  }
  file_format = img.OBRAZKY[kLoadSlot].BPP;
  img.PREVEDBARVY(kLoadSlot);
  return true;
}

// Names the readable formats when an input's extension tells none of them.
const Format* input_or_complain(const std::string& name, std::ostream& err) {
  const Format* format = input_format(name);
  if (format == nullptr)
    err << "ksvimg: " << name << ": cannot tell the picture's format from " << shown_extension(name)
        << "; ksvimg reads .bmp, .pcx, .ksv, .tga, .gif and .jpg (lower or upper case)\n";
  return format;
}

int info(const std::string& name, const std::string& dir, std::ostream& out, std::ostream& err) {
  const Format* in_format = input_or_complain(name, err);
  if (in_format == nullptr) return 2;
  Obrazky img(nullptr, dir);
  int32_t format = 0;
  if (!load(img, name, *in_format, format, err)) return 1;
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
  const Format* out_format = output_format(to);
  if (out_format == nullptr) {
    err << "ksvimg: " << to << ": the output must end in .bmp or .ksv, the formats ksvimg writes\n";
    return 2;
  }
  const Format* in_format = input_or_complain(in, err);
  if (in_format == nullptr) return 2;
  Obrazky img(nullptr, dir);
  int32_t format = 0;
  if (!load(img, in, *in_format, format, err)) return 1;
  uint16_t slot = kLoadSlot;
  if (fit_w > 0) {
    if (img.ZALOZOBRAZEK(kFitSlot, fit_w, fit_h, 1) != 0) {
      err << "ksvimg: cannot allocate the picture buffer\n";
      return 1;
    }
    img.ZMENSIPOMVEL(kLoadSlot, kFitSlot);
    slot = kFitSlot;
  }
  const uint8_t rc = (img.*out_format->save)(slot, to);
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
