// Engine: the logo calculator's working state and its three stages — colour segmentation of the
// working picture, outline tracing, and the stitch simulation that sums the stitch total. It
// works on image slots of ksv::images and never on the screen: painting and event hand-offs are
// hooks the desktop workflow fills in and the batch mode leaves empty.
#pragma once
#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "images/obrazky.h"

namespace ksv::calculator {

// Error codes the calculator reports (shown as "chyba" + code).
constexpr int kErrLoad = 5;           // the chosen picture cannot be loaded
constexpr int kErrTooLarge = 100;     // the picture exceeds 2048 x 1535 pixels
constexpr int kErrTooMany = 101;      // more than 4096 segments
constexpr int kErrNoSegment = 103;    // no segment left
constexpr int kErrSizeLimit = 104;    // the requested size exceeds the working picture

constexpr int kWorkMaxX = 2048;        // largest working picture, pixels
constexpr int kWorkMaxY = 1535;
static_assert(kWorkMaxX <= 0xFFFF && kWorkMaxY <= 0xFFFF, "fill points are packed in 16 bits");
constexpr int kPixelsPerMm = 5;
constexpr int kMaxSegments = 4096;
constexpr int kMaxPieces = 16384;
constexpr int MINPIXELUNASEG = 6;      // smaller areas are dropped
constexpr uint16_t kNoColour = 65535;  // BARVAPODKLn not chosen
constexpr uint16_t kNoSlot = 0xFFFF;
constexpr uint8_t kVisited = 1;        // working index of pixels the tracer and fill used up

// Stitch types, bits 0-6 of TYP; bit 7 is the light variant.
constexpr uint8_t kLightBit = 0x80;
enum StitchType : uint8_t {
  kTypeNone = 0, kTypeTatami = 1, kTypeTatamiSteil = 2, kTypeAplikace = 3,
  kTypeAplikaceSteil = 4, kTypeRovny = 5, kTypeSaten = 6, kTypeDvojity = 7, kTypeTrojity = 8,
  kTypeSteil = 9, kTypeSatenSteil = 10,
};
constexpr int kTypeCount = 11;

// One colour segment. 28 bytes, the layout the segment list and the table share.
struct TSEGMENT {
  struct Vyrez {
    uint16_t X, Y;  // X = 65535: entry unused
  };
  int32_t X;  // seed: column of the first pixel the scan met
  int32_t Y;  // seed: row
  Vyrez VYREZ[4];
  uint8_t AKTIVNI;  // 0 deleted, 255 ordinary, 32/64/128 member of small group 16/32/64
  uint8_t BARVA;    // palette index shown for the segment
  uint8_t SMER;     // 0 horizontal, 1 vertical stitches
  uint8_t TYP;      // stitch type, bit 7 = light
};
static_assert(sizeof(TSEGMENT) == 28);

// One straight piece of a traced outline.
struct TCARASEGMENTU {
  uint16_t X1, Y1, X2, Y2;
  bool VNEJSI;  // outer outline (true) or a hole's outline
};

// Material parameters of one garment, millimetres and density factors.
struct Material {
  const char* name;
  double DELKAPODSTEHOVANISILNA, DELKAPODSTEHOVANISLABA;
  double DELKASTEHUSILNA, DELKASTEHUSLABA;
  double HUSTOTASATENSILNA, HUSTOTASATENSLABA;
  double HUSTOTATATAMISILNA, HUSTOTATATAMISLABA;
};
extern const std::array<Material, 8> kMaterials;

// Rounding to the nearest integer, halves to the even neighbour.
double rnd(double v);
int32_t rnd_int(double v);

// What the screen side supplies; every member may be left empty.
struct EngineHooks {
  std::function<void()> show_preview;        // the preview slot changed: draw it
  std::function<void()> run_queued_actions;  // let pending button actions run
  std::function<bool()> ask_delete_small;    // "dotazseg": delete the group 16? (empty: keep)
};

// What the dialogs decided before a segmentation.
struct SegmentationInput {
  std::string SOUBORKALK;  // picture file
  int32_t HODNNORM = 4;    // colour reduction while loading
  int32_t X1 = 0, Y1 = 0, X2 = 0, Y2 = 0;  // area in picture pixels
  int32_t ROZMERX = 0, ROZMERY = 0;        // size in millimetres
  std::array<uint16_t, 3> BARVAPODKL{kNoColour, kNoColour, kNoColour};
  uint8_t BARVAPOZADI = 0;  // background marker index
};

class Engine {
 public:
  explicit Engine(images::Obrazky& obrazky, EngineHooks hooks = {});
  ~Engine();
  Engine(const Engine&) = delete;
  Engine& operator=(const Engine&) = delete;

  // --- segmentation ---
  // Prepares the working picture and builds the segment table. Returns 0, or an error code
  // (5 the picture cannot be loaded or the area is empty, 101, 103).
  int TRASUJSEGMENTY(const SegmentationInput& input);
  // The same from step 3 on, with the picture already in PODKLADOVELOGO (format 0) and the
  // preview slot allocated by the caller (tools, fuzzing).
  int segment_loaded_picture(const SegmentationInput& input);
  void SMAZSEGMENT(int32_t n);
  void ZRUSITSEGMENTY();  // deletes every segment whose AKTIVNI equals KTEREZRUSIT
  int active_segments() const { return POCETSEGMENTU - POCETSMAZSEG; }

  // --- the segment page's edits ---
  void next_type(int32_t n);   // "&Typ"
  void next_style(int32_t n);  // "&Styl"
  // A left click at working point (x, y): registers a hole of segment n when the point is
  // background. Returns true when a hole entry was stored.
  bool add_hole(int32_t n, int32_t x, int32_t y);
  void clear_holes(int32_t n);

  // --- outline tracing ---
  bool JEBODVSEGMENTU(int32_t x, int32_t y) const;
  bool HLEDEJKONTURY(int32_t& x, int32_t& y, uint16_t sx, uint16_t sy);
  void NAJDICARYSEGMENTU(uint16_t x, uint16_t y);

  // --- stitch simulation ---
  void VYPOCTIPARAMETRY();
  // Clears the result picture to the marker and runs the simulation: the workflow's
  // "&Stehuj" in one call.
  void estimate();
  void VYKRESLIVYPOCITEJSTEHY();
  void CARA(int32_t x1, int32_t y1, int32_t x2, int32_t y2, uint8_t colour, uint16_t max_len);
  void VYKRESLISTEIL(int32_t x1, int32_t y1, int32_t x2, int32_t y2, uint8_t colour,
                     uint16_t width, bool first);
  void VYSTEHUJSEGMENT(uint16_t x, uint16_t y, uint16_t colour, uint16_t DELKASTEHU,
                       bool SVISLE, bool SATIN);

  // The working picture back from the backup ("&Zpet", "&Trasuj" after a result).
  void restore_working_from_backup();
  // Frees the preview, working, result and backup slots.
  void free_slots();

  // Working-picture access (format 0, NOVAX x NOVAY).
  uint8_t work_pixel(int32_t x, int32_t y) const { return work_[int64_t{y} * work_stride_ + x]; }
  void set_work_pixel(int32_t x, int32_t y, uint8_t v) { work_[int64_t{y} * work_stride_ + x] = v; }
  uint8_t result_pixel(int32_t x, int32_t y) const;
  // The stitch fill's corner search crosses stretches it has slid along before in one step;
  // off, it slides pixel by pixel to the same corner (tests compare the two).
  bool use_run_cache = true;
  // Points the engine at an already prepared working and result picture (tests, tools).
  void attach_pictures(uint16_t working, uint16_t result, uint8_t marker);

  // --- state, named as the workflow and the segment page know it ---
  images::Obrazky& obr;
  EngineHooks hooks;

  uint16_t HANDLENAHLEDU = kNoSlot, PODKLADOVELOGO = kNoSlot, PODKLADOVELOGO2 = kNoSlot,
           ZALOHAPODKLADU = kNoSlot;
  int32_t NOVAX = 0, NOVAY = 0;
  int32_t ROZMERX = 0, ROZMERY = 0;
  uint8_t BARVAPOZADI = 0;
  uint8_t MATERIAL = 0;
  double POMERNAHL = 1.0;
  int32_t POC16 = 0, POC32 = 0, POC64 = 0;
  int32_t POCETSEGMENTU = 0, POCETSMAZSEG = 0;
  uint8_t KTEREZRUSIT = 0;
  std::vector<TSEGMENT> SEGMENT;  // 4096 entries

  std::vector<TCARASEGMENTU> CARASEG;  // 16384 entries
  int32_t CARSEGMENTU = 0;
  bool TYPCARY = true;

  Material material{};  // set by VYPOCTIPARAMETRY
  double SILASTEILU = 0, SILASTEILUNAS = 0;
  double HODNOTASTEHU = 0;
  double POCETSTEHU = 0;
  int32_t POSLPOZX = 0, POSLPOZY = 0;

 private:
  uint16_t first_free_slot() const;
  void refresh_picture_pointers();
  void paint_preview(int32_t x, int32_t y, uint8_t index);
  // Four-neighbour fill of the component of `index` through (x, y) with `marker`; returns the
  // number of pixels it changed after the seed. paint: also mark the preview.
  int32_t fill_component(int32_t x, int32_t y, uint8_t index, bool paint);
  void call(const std::function<void()>& f) const {
    if (f) f();
  }
  void mark_visited(int32_t x, int32_t y);
  // Stitch fill helpers: probes along the stitch axis s and the row axis r.
  bool in_fill(int32_t x, int32_t y) const;
  void find_start_corner(int32_t& nx, int32_t& ny, bool vertical);
  void append_piece(int32_t x1, int32_t y1, int32_t x2, int32_t y2);

  uint8_t* work_ = nullptr;  // working picture, stride work_stride_
  int64_t work_stride_ = 0;
  uint8_t* result_ = nullptr;
  int64_t result_stride_ = 0;
  uint8_t traced_index_ = 0;  // the index JEBODVSEGMENTU tests for
  uint8_t fill_index_ = 0;    // the index the stitch fill works on
  uint8_t fill_colour_ = 0;   // fill colour counter of the segmentation preview
  // Growing work stacks: the segmentation fill (x, y pairs) and the stitch fill's branches.
  std::vector<uint32_t> fill_stack_;
  std::vector<std::pair<uint16_t, uint16_t>> branch_stack_;
  // Positions set to the visited index since they were last handed back to a fill, so the
  // hand-back does not scan the whole picture for every segment.
  std::vector<int32_t> visited_;
  // Per row of the running fill: a stretch [first, second] along the stitch axis known to
  // belong to the fill with nothing above it (see find_start_corner).
  std::vector<std::pair<int32_t, int32_t>> clear_runs_;
  bool fill_vertical_ = false;
  bool fill_active_ = false;
};

}  // namespace ksv::calculator
