// The batch mode: parses the options, asks the image slots and the engine what the dialogs and
// the segment page would, and prints the stitch count as the result screen shows it.
#include "calculator/batch.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <ostream>
#include <sstream>
#include <string_view>

#include "calculator/engine.h"
#include "calculator/workflow_rules.h"
#include "images/obrazky.h"

namespace ksv::calculator {

namespace {

// A whole decimal integer within [lo, hi]; nothing else in the text.
std::optional<int32_t> parse_int(std::string_view s, int64_t lo, int64_t hi) {
  int64_t v = 0;
  if (s.empty()) return std::nullopt;
  auto [p, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
  if (ec != std::errc() || p != s.data() + s.size() || v < lo || v > hi) return std::nullopt;
  return static_cast<int32_t>(v);
}

std::vector<std::string_view> split(std::string_view s, char sep) {
  std::vector<std::string_view> parts;
  size_t start = 0;
  for (;;) {
    size_t pos = s.find(sep, start);
    parts.push_back(s.substr(start, pos == std::string_view::npos ? std::string_view::npos
                                                                  : pos - start));
    if (pos == std::string_view::npos) return parts;
    start = pos + 1;
  }
}

bool ends_with_bmp(const std::string& name) {
  if (name.size() < 5) return false;
  std::string tail = name.substr(name.size() - 4);
  for (char& c : tail) c = static_cast<char>(c | 0x20);
  return tail == ".bmp" && name[name.size() - 5] != '/';
}

constexpr int32_t kInt32Max = 2147483647;

}  // namespace

std::string usage_text() {
  return "Usage: logocalc --batch PICTURE [--size WxH] [--area x1,y1,x2,y2] [--light|--dark]\n"
         "                [--quality 1|2|3] [--background C]... [--marker N]\n"
         "                [--garment 0-7|NAME] [--delete-small yes|no] [--edit OP]...\n"
         "                [--json] [--save-result FILE.bmp]\n"
         "       logocalc --help\n"
         "\n"
         "Estimates the stitches of a logo without the desktop dialogs.\n"
         "  --size WxH          size of the embroidery in millimetres (default: the proposal\n"
         "                      for the whole picture; needed with --area)\n"
         "  --area x1,y1,x2,y2  area in picture pixels (default: the whole picture)\n"
         "  --light, --dark     kind of picture (default light)\n"
         "  --quality 1|2|3     curves, gradients, photos (default 1)\n"
         "  --background C      a background colour: palette index 0-255 or R,G,B (up to 3)\n"
         "  --marker N          background marker index 0-255 except 1 (default 0)\n"
         "  --garment G         0-7 or Triko, Kosile, Flees, Cepice, Bunda, Polo, Zastera,\n"
         "                      Nasivka (default 0)\n"
         "  --delete-small yes|no  delete the group of smallest segments (default no)\n"
         "  --edit OP           segment page action, in order: set:N:TYP[:SMER], typ:N,\n"
         "                      styl:N, barva:N:I, hole:N:X:Y, clearholes:N, del:N,\n"
         "                      group:16|32|64, garment:G\n"
         "  --json              print one JSON object instead of the result line\n"
         "  --save-result F     write the simulated embroidery as a BMP picture\n"
         "Exit status: 0 done, 1 bad arguments, 2 calculator error, 3 result not written.\n";
}

std::optional<std::string> parse_edit(const std::string& text, EditOp& op) {
  const auto parts = split(text, ':');
  const std::string_view name = parts[0];
  auto bad = [&] { return std::optional<std::string>("bad --edit '" + text + "'"); };
  auto segment = [&](size_t i) { return parse_int(parts[i], 0, kMaxSegments - 1); };
  op = EditOp{};
  if (name == "set" && (parts.size() == 3 || parts.size() == 4)) {
    auto n = segment(1);
    auto typ = parse_int(parts[2], 0, 255);
    if (!n || !typ || (*typ & 0x7F) >= kTypeCount) return bad();
    op.kind = EditOp::kSet;
    op.n = *n;
    op.a = *typ;
    op.b = -1;
    if (parts.size() == 4) {
      auto smer = parse_int(parts[3], 0, 1);
      if (!smer) return bad();
      op.b = *smer;
    }
    return std::nullopt;
  }
  if ((name == "typ" || name == "styl" || name == "clearholes" || name == "del") &&
      parts.size() == 2) {
    auto n = segment(1);
    if (!n) return bad();
    op.kind = name == "typ"    ? EditOp::kTyp
              : name == "styl" ? EditOp::kStyl
              : name == "del"  ? EditOp::kDel
                               : EditOp::kClearHoles;
    op.n = *n;
    return std::nullopt;
  }
  if (name == "barva" && parts.size() == 3) {
    auto n = segment(1);
    auto i = parse_int(parts[2], 0, 255);
    if (!n || !i) return bad();
    op.kind = EditOp::kBarva;
    op.n = *n;
    op.a = *i;
    return std::nullopt;
  }
  if (name == "hole" && parts.size() == 4) {
    auto n = segment(1);
    auto x = parse_int(parts[2], 0, kWorkMaxX - 1);
    auto y = parse_int(parts[3], 0, kWorkMaxY - 1);
    if (!n || !x || !y) return bad();
    op.kind = EditOp::kHole;
    op.n = *n;
    op.a = *x;
    op.b = *y;
    return std::nullopt;
  }
  if (name == "group" && parts.size() == 2) {
    auto g = parse_int(parts[1], 16, 64);
    if (!g || (*g != 16 && *g != 32 && *g != 64)) return bad();
    op.kind = EditOp::kGroup;
    op.n = *g;
    return std::nullopt;
  }
  if (name == "garment" && parts.size() == 2) {
    auto g = parse_int(parts[1], 0, 7);
    if (!g) g = garment_by_name(parts[1]);
    if (!g) return bad();
    op.kind = EditOp::kGarment;
    op.n = *g;
    return std::nullopt;
  }
  return bad();
}

std::optional<std::string> parse_batch_args(const std::vector<std::string>& args,
                                            BatchOptions& o) {
  bool have_picture = false, have_shade = false;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    auto value = [&](std::string& v) -> bool {
      if (i + 1 >= args.size()) return false;
      v = args[++i];
      return true;
    };
    std::string v;
    if (a == "--help" || a == "-h") {
      o.help = true;
    } else if (a == "--json") {
      o.json = true;
    } else if (a == "--light" || a == "--dark") {
      if (have_shade && o.light != (a == "--light")) return "--light and --dark exclude each other";
      have_shade = true;
      o.light = a == "--light";
    } else if (a == "--size") {
      if (!value(v)) return "--size needs WxH";
      size_t x = v.find_first_of("xX");
      if (x == std::string::npos) return "--size needs WxH, got '" + v + "'";
      auto w = parse_int(std::string_view(v).substr(0, x), 0, kInt32Max / kPixelsPerMm);
      auto h = parse_int(std::string_view(v).substr(x + 1), 0, kInt32Max / kPixelsPerMm);
      if (!w || !h) return "--size needs two whole numbers of millimetres, got '" + v + "'";
      if (*w < 1 || *h < 1) return "--size must be at least 1 mm each way, got '" + v + "'";
      o.size_mm = std::make_pair(*w, *h);
    } else if (a == "--area") {
      if (!value(v)) return "--area needs x1,y1,x2,y2";
      auto parts = split(v, ',');
      if (parts.size() != 4) return "--area needs x1,y1,x2,y2, got '" + v + "'";
      std::array<int32_t, 4> area{};
      for (int k = 0; k < 4; ++k) {
        auto n = parse_int(parts[k], 0, kInt32Max);
        if (!n) return "--area needs four whole numbers, got '" + v + "'";
        area[k] = *n;
      }
      o.area = area;
    } else if (a == "--quality") {
      if (!value(v)) return "--quality needs 1, 2 or 3";
      auto q = parse_int(v, 1, 3);
      if (!q) return "--quality needs 1, 2 or 3, got '" + v + "'";
      o.quality = *q;
    } else if (a == "--background") {
      if (!value(v)) return "--background needs a colour";
      if (o.backgrounds.size() == 3) return "at most three --background colours";
      BatchOptions::Colour c;
      auto parts = split(v, ',');
      if (parts.size() == 1) {
        auto n = parse_int(v, 0, 255);
        if (!n) return "--background needs an index 0-255 or R,G,B, got '" + v + "'";
        c.index = *n;
      } else if (parts.size() == 3) {
        auto r = parse_int(parts[0], 0, 255), g = parse_int(parts[1], 0, 255),
             b = parse_int(parts[2], 0, 255);
        if (!r || !g || !b) return "--background needs R,G,B of 0-255, got '" + v + "'";
        c.rgb = true;
        c.r = *r, c.g = *g, c.b = *b;
      } else {
        return "--background needs an index 0-255 or R,G,B, got '" + v + "'";
      }
      o.backgrounds.push_back(c);
    } else if (a == "--marker") {
      if (!value(v)) return "--marker needs an index";
      auto n = parse_int(v, 0, 255);
      if (!n) return "--marker needs an index 0-255, got '" + v + "'";
      // Index 1 marks used-up pixels during the estimate; as the background marker it would
      // let every fill run out into the background.
      if (*n == kVisited) return "--marker 1 is reserved for used-up pixels";
      o.marker = static_cast<uint8_t>(*n);
    } else if (a == "--garment") {
      if (!value(v)) return "--garment needs 0-7 or a name";
      auto g = parse_int(v, 0, 7);
      if (!g) g = garment_by_name(v);
      if (!g) return "unknown garment '" + v + "'";
      o.garment = static_cast<uint8_t>(*g);
    } else if (a == "--delete-small") {
      if (!value(v) || (v != "yes" && v != "no")) return "--delete-small needs yes or no";
      o.delete_small = v == "yes";
    } else if (a == "--edit") {
      if (!value(v)) return "--edit needs an action";
      EditOp op{};
      if (auto e = parse_edit(v, op)) return e;
      o.edits.push_back(op);
    } else if (a == "--save-result") {
      if (!value(v)) return "--save-result needs a file name";
      if (!ends_with_bmp(v)) return "--save-result writes BMP: the name must end in .bmp";
      o.save_result = v;
    } else if (a.size() > 1 && a[0] == '-') {
      return "unknown option '" + a + "'";
    } else {
      if (have_picture) return "only one picture, got '" + o.picture + "' and '" + a + "'";
      have_picture = true;
      o.picture = a;
    }
  }
  if (o.help) return std::nullopt;
  if (!have_picture) return "no picture given";
  if (o.area && !o.size_mm) return "--area needs --size";
  return std::nullopt;
}

namespace {

// A JSON string literal of `text`.
std::string json_string(std::string_view text) {
  std::string s = "\"";
  for (const char c : text) {
    const auto u = static_cast<unsigned char>(c);
    if (c == '"' || c == '\\') {
      s += '\\';
      s += c;
    } else if (u < 0x20) {
      char buf[8];
      std::snprintf(buf, sizeof buf, "\\u%04x", u);
      s += buf;
    } else {
      s += c;
    }
  }
  return s + "\"";
}

// A failure that is not the calculator's: `error` names its kind in the JSON object. The
// message goes to standard error either way, so a script sees it without --json too.
int batch_failure(const char* error, const std::string& message, int status, bool json,
                  std::ostream& out, std::ostream& err) {
  if (json) out << "{\"error\": " << json_string(error) << ", \"message\": " << json_string(message) << "}\n";
  err << "logocalc: " << message << "\n";
  if (status == kExitUsage) err << "logocalc: try --help\n";
  return status;
}

int usage_failure(const std::string& message, const BatchOptions& o, std::ostream& out,
                  std::ostream& err) {
  return batch_failure("usage", message, kExitUsage, o.json, out, err);
}

// Prints the calculator's error and returns the exit status for it.
int calculator_error(int code, const BatchOptions& o, std::ostream& out, std::ostream& err) {
  const char* what = "";
  switch (code) {
    case kErrLoad: what = "the picture cannot be loaded"; break;
    case kErrTooLarge: what = "the picture is larger than 2048 x 1535 pixels"; break;
    case kErrTooMany: what = "more than 4096 segments"; break;
    case kErrNoSegment: what = "no segment left"; break;
    case kErrSizeLimit: what = "the size exceeds 409 x 307 mm (2048 x 1535 working pixels)"; break;
  }
  if (o.json) out << "{\"error\": " << code << ", \"message\": " << json_string(what) << "}\n";
  err << "logocalc: chyba " << code << ": " << what << "\n";
  return kExitCalculator;
}

// Whether a size in millimetres stretches the area by more than 2 % one way or the other.
bool shape_differs(int32_t w_mm, int32_t h_mm, const Area& area) {
  const double aw = area.X2 - area.X1, ah = area.Y2 - area.Y1;
  if (aw <= 0 || ah <= 0 || w_mm <= 0 || h_mm <= 0) return false;
  const double ratio = (static_cast<double>(w_mm) / h_mm) / (aw / ah);
  return ratio > 1.02 || ratio < 1 / 1.02;
}

std::string json_double(double v) {
  char buf[64];
  auto [p, ec] = std::to_chars(buf, buf + sizeof buf, v);
  if (ec != std::errc() || !std::isfinite(v)) return "null";
  std::string s(buf, p);
  return s;
}

}  // namespace

int run_batch(const BatchOptions& o, const std::string& program_dir, std::ostream& out,
              std::ostream& err) {
  images::Obrazky obr(nullptr, program_dir);
  const int32_t HODNNORM = colour_reduction(o.light, o.quality);

  // The area dialog's preview: its size converts the dialog's area to picture pixels.
  int32_t picture_w = 0, picture_h = 0, preview_w = 0, preview_h = 0;
  {
    uint16_t slot = 0;
    while (slot < images::kSlotCount && obr.OBRAZKY[slot].VEL != 0) ++slot;
    if (obr.ZALOZOBRAZEK(slot, kPreviewW, kPreviewH, 4) != 0) return calculator_error(kErrLoad, o, out, err);
    obr.NORMALIZACE = HODNNORM;
    const uint8_t r = obr.NAHRAJOBRAZEK(slot, o.picture);
    obr.NORMALIZACE = 0;
    preview_w = obr.OBRAZKY[slot].VELX;
    preview_h = obr.OBRAZKY[slot].VELY;
    obr.ZRUSOBRAZEK(slot);
    if (r != 0 || preview_w <= 0 || preview_h <= 0) return calculator_error(kErrLoad, o, out, err);
    picture_w = obr.ORIGX;
    picture_h = obr.ORIGY;
    if (picture_w > kPictureMaxW || picture_h > kPictureMaxH)
      return calculator_error(kErrTooLarge, o, out, err);
  }

  SegmentationInput in;
  in.SOUBORKALK = o.picture;
  in.HODNNORM = HODNNORM;
  in.BARVAPOZADI = o.marker;
  for (size_t i = 0; i < o.backgrounds.size(); ++i) {
    const auto& c = o.backgrounds[i];
    if (c.rgb) {
      // What a click on the shown picture picks: the colour as the reduced picture shows it.
      obr.NORMALIZACE = HODNNORM;
      in.BARVAPODKL[i] = obr.NAJDIBARVU(static_cast<uint8_t>(c.r), static_cast<uint8_t>(c.g),
                                        static_cast<uint8_t>(c.b));
      obr.NORMALIZACE = 0;
    } else {
      in.BARVAPODKL[i] = static_cast<uint16_t>(c.index);
    }
  }

  Area area;
  if (o.area) {
    area = Area{(*o.area)[0], (*o.area)[1], (*o.area)[2], (*o.area)[3]};
    if (area.X1 >= area.X2 || area.Y1 >= area.Y2 || area.X2 > picture_w || area.Y2 > picture_h) {
      return usage_failure("--area must satisfy x1 < x2 <= " + std::to_string(picture_w) +
                               " and y1 < y2 <= " + std::to_string(picture_h), o, out, err);
    }
  } else {
    const Area dialog = initial_preview_area(preview_w, preview_h);
    area = preview_area_to_picture(dialog, picture_w, picture_h, preview_w, preview_h);
    if (!o.size_mm) {
      const SizeMm s = propose_size(dialog, picture_w, picture_h, preview_w, preview_h);
      in.ROZMERX = s.ROZMERX;
      in.ROZMERY = s.ROZMERY;
    }
    if (area.X1 >= area.X2 || area.Y1 >= area.Y2) {
      err << "logocalc: the picture is too small to choose an area from\n";
      return calculator_error(kErrLoad, o, out, err);
    }
  }
  if (o.size_mm) {
    in.ROZMERX = o.size_mm->first;
    in.ROZMERY = o.size_mm->second;
  }
  if (in.ROZMERX <= 0 || in.ROZMERY <= 0) {
    return usage_failure("the proposed size is " + std::to_string(in.ROZMERX) + " x " +
                             std::to_string(in.ROZMERY) + " mm; give --size", o, out, err);
  }
  if (!size_within_limit(in.ROZMERX, in.ROZMERY)) return calculator_error(kErrSizeLimit, o, out, err);
  if (o.size_mm && shape_differs(in.ROZMERX, in.ROZMERY, area))
    err << "logocalc: warning: " << in.ROZMERX << " x " << in.ROZMERY
        << " mm has another shape than the area of " << area.X2 - area.X1 << " x "
        << area.Y2 - area.Y1 << " pixels; the logo is stretched\n";
  in.X1 = area.X1;
  in.Y1 = area.Y1;
  in.X2 = area.X2;
  in.Y2 = area.Y2;

  EngineHooks hooks;
  const bool delete_small = o.delete_small;
  hooks.ask_delete_small = [delete_small] { return delete_small; };
  Engine engine(obr, std::move(hooks));
  if (int e = engine.TRASUJSEGMENTY(in)) return calculator_error(e, o, out, err);
  engine.MATERIAL = o.garment;

  for (const EditOp& op : o.edits) {
    const bool per_segment = op.kind != EditOp::kGroup && op.kind != EditOp::kGarment;
    if (per_segment && (op.n >= engine.POCETSEGMENTU || engine.SEGMENT[op.n].AKTIVNI == 0)) {
      return usage_failure("--edit refers to segment " + std::to_string(op.n) + ", which " +
                               (op.n >= engine.POCETSEGMENTU ? "does not exist" : "is deleted") +
                               " (there are " + std::to_string(engine.POCETSEGMENTU) + ")",
                           o, out, err);
    }
    TSEGMENT* s = per_segment ? &engine.SEGMENT[op.n] : nullptr;
    switch (op.kind) {
      case EditOp::kSet:
        s->TYP = static_cast<uint8_t>(op.a);
        if (op.b >= 0) s->SMER = static_cast<uint8_t>(op.b);
        break;
      case EditOp::kTyp: engine.next_type(op.n); break;
      case EditOp::kStyl: engine.next_style(op.n); break;
      case EditOp::kBarva: s->BARVA = static_cast<uint8_t>(op.a); break;
      case EditOp::kHole:
        if (op.a >= engine.NOVAX || op.b >= engine.NOVAY) {
          return usage_failure("--edit hole point " + std::to_string(op.a) + "," +
                                   std::to_string(op.b) + " lies outside the working picture of " +
                                   std::to_string(engine.NOVAX) + " x " +
                                   std::to_string(engine.NOVAY), o, out, err);
        }
        engine.add_hole(op.n, op.a, op.b);
        break;
      case EditOp::kClearHoles: engine.clear_holes(op.n); break;
      case EditOp::kDel: engine.SMAZSEGMENT(op.n); break;
      case EditOp::kGroup:
        engine.KTEREZRUSIT = static_cast<uint8_t>(op.n * 2);
        engine.ZRUSITSEGMENTY();
        break;
      case EditOp::kGarment: engine.MATERIAL = static_cast<uint8_t>(op.n); break;
    }
  }

  engine.estimate();
  const double total = engine.POCETSTEHU;
  const auto shown = static_cast<int64_t>(rnd(total));

  if (!o.save_result.empty() && obr.ULOZBMP(engine.PODKLADOVELOGO2, o.save_result) != 0) {
    return batch_failure("write", "cannot write " + o.save_result, kExitWriteFailed, o.json, out,
                         err);
  }

  if (o.json) {
    std::ostringstream j;
    j << "{\"error\": null, \"total\": " << shown << ", \"total_unrounded\": " << json_double(total)
      << ", \"novax\": " << engine.NOVAX << ", \"novay\": " << engine.NOVAY
      << ", \"poc16\": " << engine.POC16 << ", \"poc32\": " << engine.POC32
      << ", \"poc64\": " << engine.POC64 << ", \"segments\": [";
    for (int32_t i = 0; i < engine.POCETSEGMENTU; ++i) {
      const TSEGMENT& s = engine.SEGMENT[i];
      j << (i ? ", " : "") << "{\"x\": " << s.X << ", \"y\": " << s.Y
        << ", \"aktivni\": " << int(s.AKTIVNI) << ", \"barva\": " << int(s.BARVA)
        << ", \"smer\": " << int(s.SMER) << ", \"typ\": " << int(s.TYP) << "}";
    }
    j << "]}\n";
    out << j.str();
  } else {
    out << "Stehu: " << shown << " (" << engine.ROZMERX << " x " << engine.ROZMERY << " mm)\n";
  }
  return kExitOk;
}

int run_batch(const std::vector<std::string>& args, const std::string& program_dir,
              std::ostream& out, std::ostream& err) {
  BatchOptions o;
  if (auto e = parse_batch_args(args, o)) {
    // An option error may come before "--json" is read; the object is still what is asked for.
    o.json = std::find(args.begin(), args.end(), "--json") != args.end();
    return usage_failure(*e, o, out, err);
  }
  if (o.help) {
    out << usage_text();
    return kExitOk;
  }
  return run_batch(o, program_dir, out, err);
}

}  // namespace ksv::calculator
