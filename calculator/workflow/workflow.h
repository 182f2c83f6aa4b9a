// Workflow: logocalc's desktop screens over the screen toolkit — the picture dialogs (file
// chooser, preview, brightness, quality, approval, area, background colours, size, background
// marker), the segment page with its edits, and the result screen with saving — and the main
// loop that jumps between them. The engine does the segmentation and the stitch simulation.
#pragma once
#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "calculator/engine.h"
#include "calculator/workflow_rules.h"
#include "toolkit/browser.h"
#include "toolkit/toolkit.h"

namespace ksv::calculator::ui {

// Exit statuses of the desktop program.
constexpr int kExitDone = 0;
constexpr int kExitFatal = 2;  // an error window ended the program (codes 5, 100, 101, 103, ...)

// Jumps requested by the segment page and the result screen (SKOCIT).
enum Jump : int32_t { kStay = 0, kNewPicture = 1, kNewSize = 2, kBackToSegments = 3 };

class Workflow {
 public:
  // program_dir holds texty.dat, guidata/ and loga/ (trailing "/" added when missing).
  Workflow(toolkit::Toolkit& tk, std::string program_dir);
  Workflow(const Workflow&) = delete;
  Workflow& operator=(const Workflow&) = delete;

  // Runs the screens until "&Konec", a fatal error or the window is closed; the exit status.
  int run();

  // --- workflow state, as the screens name it ---
  std::string AKTUALNIADR;  // folder shown in the file chooser, trailing "/"
  std::string SOUBORKALK;   // chosen picture
  uint16_t CISLOPRIP = 0;   // mask index into kMasks
  std::string AKTPRIP = "*.jpg";
  bool NAHLEDY = true;
  bool JASNYOBRAZEK = true;
  uint8_t KVALITA = 1;
  int32_t HODNNORM = 4;
  int32_t X1 = 0, Y1 = 0, X2 = 0, Y2 = 0;  // area in picture pixels once the dialogs end
  int32_t ROZMERX = 0, ROZMERY = 0;
  std::array<uint16_t, 3> BARVAPODKL{kNoColour, kNoColour, kNoColour};
  uint8_t BARVAPOZADI = 0;
  uint8_t MATERIAL = 0;
  int32_t SKOCIT = kStay;
  bool VYBRANO = false;
  uint8_t KTEREZRUSIT = 0;
  uint16_t STRANKASEG = 0, POCETSTRANEKS = 0;
  std::string JMENOSOUBORUULOZ = "_kalkul";

  // --- what happened, for the status shown and for tests ---
  int error_code = 0;         // the code of the error window that ended the program
  std::string result_line;    // "Stehu: n (w x h mm)" of the last result
  std::string save_status;    // what the last save did
  std::string saved_path;     // file written by the last successful save
  std::vector<std::string> errors_shown;  // text keys of the error windows shown
  int segmentations = 0;      // segmentations run so far
  int picture_dialog_runs = 0;  // full picture-dialog sequences started

  Engine engine;

 private:
  // --- common: wait loop, windows, help, errors (workflow.cpp) ---
  bool running() const { return !stop_ && !tk_.tlacitka.ended(); }
  void pass();
  void wait_for(const bool& flag);
  int open_window(int32_t x, int32_t y, int32_t w, int32_t h, bool popup, const std::string& title,
                  const std::string& body = "");
  void text_button(int window, const std::string& caption, std::function<void()> action,
                   int32_t x, int32_t y, uint8_t key);
  void picture_button(int window, const std::string& picture, const std::string& caption,
                      std::function<void()> action, int32_t x, int32_t y, int32_t w, int32_t h,
                      uint8_t key);
  // Help pages one after another ("&Dalsi" between them), each window sized to its text.
  void help(const std::vector<std::string>& pages);
  struct HelpSize {
    int32_t w, h;
  };
  HelpSize help_size(const std::string& key, bool two_buttons);
  void error_window(const std::string& key);  // "chyba" window; closing it empties the queue
  void fatal(int code);
  void fatal_key(const std::string& key);
  bool ask_delete_small();
  int16_t pick_colour(int16_t current);
  void text_at(int32_t x, int32_t y, const std::string& text, uint8_t colour,
               uint8_t background, int32_t clear_w);
  std::string t(const std::string& key) { return tk_.texty.text(key); }
  void free_slot(uint16_t& slot);

  // --- picture dialogs (picture_dialogs.cpp) ---
  bool ensure_loga();
  bool picture_dialogs(bool size_only);
  bool file_chooser();
  void fill_chooser_list();
  void show_thumbnail();
  bool preview_and_choices(bool& again);
  bool area_dialog();
  void draw_cross_hairs();
  bool background_dialog();
  bool size_dialog();
  bool marker_dialog();
  void show_preview_picture(uint16_t slot);

  // --- segmentation and the segment page (segment_page.cpp) ---
  bool segment();
  void segment_page();
  void rebuild_preview();
  void rebuild_list(bool keep_position);
  void show_page_caption();
  void show_garment();
  void refresh();
  void flash_segment();
  void mouse_on_page();
  int highlighted_segment() const;

  // --- result and saving (result_screen.cpp) ---
  // Runs the estimate and the result screen; false when the program is to end.
  bool result_screen();
  void save_dialog();
  bool ask_replace();  // asked before a file in loga/ is replaced; false keeps it

  toolkit::Toolkit& tk_;
  std::string dir_;
  bool stop_ = false;
  int exit_status_ = kExitDone;

  // Picture dialogs: the preview slot and sizes, and the area as chosen on the preview.
  uint16_t preview_slot_ = kNoSlot;
  uint16_t thumb_slot_ = kNoSlot;
  uint16_t thumb_fit_slot_ = kNoSlot;  // the thumbnail brought back to the picture's shape
  int32_t picture_w_ = 0, picture_h_ = 0, preview_w_ = 0, preview_h_ = 0;
  Area preview_area_;
  int chooser_window_ = -1;
  int32_t last_thumb_entry_ = -1;
  std::vector<toolkit::BrowserEntry> chooser_entries_;  // the chooser's list, with the bytes to open
  std::string chooser_mark_;  // the entry to highlight when the chooser lists its folder again

  // Segment page.
  uint16_t mini_slot_ = kNoSlot;
  uint16_t shown_slot_ = kNoSlot;  // the preview or the mini preview, drawn at (5, 25)
  int page_window_ = -1, buttons_window_ = -1;
  int last_mouse_buttons_ = 0;
  bool from_result_ = false;  // the jump back to the segments came from "&Zpet"
};

}  // namespace ksv::calculator::ui
