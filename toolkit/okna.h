// Okna: the four windows painted on the screen (title bar, body text from the texts file, up to
// 30 buttons each), pop-ups that keep the pixels they cover and silence the buttons below, the
// one-line input field, value fields, the colour picker, the painting area and the shortcuts
// that take coordinates relative to a window.
#pragma once
#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "images/obrazky.h"
#include "toolkit/draw/graph.h"
#include "toolkit/seznamy.h"
#include "toolkit/texty.h"
#include "toolkit/tlacit.h"

namespace ksv::toolkit {

constexpr int kWindowCount = 4;
constexpr int kWindowButtons = 30;
constexpr uint16_t kNoHandle = 65535;

constexpr int32_t kNoFreeWindow = 31;
constexpr int32_t kWindowNotOpen = 32;
constexpr int32_t kEmptyLabel = 12;
constexpr int32_t kWindowFull = 33;

struct TOkno {
  std::vector<uint8_t> POZADI;  // pixels under a pop-up, VX × VY, row by row
  int32_t X = 0, Y = 0;
  int32_t VX = 0, VY = 0;  // VX = 0: free entry
  bool HORNI = false;
  std::array<uint16_t, kWindowButtons> TLAC{};
  // Buttons this pop-up silenced; only they wake again when it closes, so the buttons under an
  // outer pop-up stay silent when an inner one closes.
  std::array<bool, kButtonCount> silenced{};
};

class Okna {
 public:
  Okna(draw::Graph& graph, images::Obrazky& images, Texty& texty, Tlacitka& buttons,
       Seznam& list);

  int32_t VYTVOROKNO(int32_t x, int32_t y, int32_t width, int32_t height, bool popup,
                     const std::string& title_key, const std::string& body_key);
  void SMAZOKNO(int index);
  void SMAZOKNA();
  int32_t PRIPRAVTLACPROOKNO(int index, const std::string& label, std::function<void()> action,
                             int32_t x, int32_t y, int32_t width, int32_t height, uint8_t key);
  void ZISKEJUDAJ(int32_t x, int32_t y, int32_t text_colour, int32_t background, uint8_t length,
                  int32_t& number, std::string& text, std::string& result);
  void VYPISUDAJ(int32_t x, int32_t y, int32_t text_colour, int32_t background, uint8_t length,
                 const std::string& text);
  int16_t MISTOX(int index, int16_t fallback) const;
  int16_t MISTOY(int index, int16_t fallback) const;
  int16_t VYBERBARVU(int16_t x, int16_t y, uint8_t scale, bool remember);
  int32_t KRESLI(uint16_t x, uint16_t y, uint16_t width, uint16_t height, uint16_t slot,
                 uint8_t mode);

  // The same operations with x and y relative to the window's corner; nothing when it is closed.
  void VLOZOBRAZEKDOOKNA(int index, uint16_t slot, int32_t x, int32_t y);
  uint8_t PRVNISEZNAMVOKNE(int index, int32_t x, int32_t y, int32_t width, int32_t height,
                           int32_t rows, int32_t mode);
  void ZISKEJUDAJOKNO(int index, int32_t x, int32_t y, int32_t text_colour, int32_t background,
                      uint8_t length, int32_t& number, std::string& text, std::string& result);
  void VYPISUDAJOKNO(int index, int32_t x, int32_t y, int32_t text_colour, int32_t background,
                     uint8_t length, const std::string& text);
  void VYPISTEXTOKNO(int index, int32_t x, int32_t y, const std::string& text);

  bool is_open(int index) const { return index >= 0 && index < kWindowCount && OKNO[index].VX != 0; }
  // Counts the openings and closings of a window entry, so a holder of an index can tell that
  // its window was closed (and perhaps the entry reused) behind its back.
  uint32_t generation(int index) const {
    return index >= 0 && index < kWindowCount ? generation_[index] : 0;
  }
  // Where a button of w × h placed at offsets (x, y) lands on the screen, by the rules of
  // PRIPRAVTLACPROOKNO (text buttons are 64 × 32 whatever w and h say).
  void button_origin(int index, int32_t x, int32_t y, int32_t w, int32_t h, bool text,
                     int32_t& screen_x, int32_t& screen_y) const;
  // A button created at screen position (x, y) and listed with the window, so it goes when the
  // window closes. A label starting with "&" makes a text button. 0 or an error code as above.
  int32_t button_at(int index, const std::string& label, std::function<void()> action, int32_t x,
                    int32_t y, int32_t width, int32_t height, uint8_t key);

  std::array<TOkno, kWindowCount> OKNO{};
  uint8_t KONECZADAVANI = 0;  // 0 editing, 1 or 4 confirmed, anything else cancelled

  // The communication step the input loops run on every pass. A program without a connection
  // keeps the default, which only rests a millisecond so an open input field does not spin.
  std::function<void()> OBSLUHAKOMUNIKACE = [this] { g_.DELAY(1); };

 private:
  bool waiting() const { return KONECZADAVANI == 0 && !buttons_.ended(); }
  void restore_under(const TOkno& o);  // the pixels a closing window leaves behind

  draw::Graph& g_;
  images::Obrazky& img_;
  Texty& texty_;
  Tlacitka& buttons_;
  Seznam& list_;
  std::array<uint32_t, kWindowCount> generation_{};
};

}  // namespace ksv::toolkit
