// Tlacitka: the button table and the keyboard queue. OBSLUHATLAC is the one poll every wait loop
// of the programs calls: it reads one key and the mouse, moves at most one button one state
// further (drawn, hover, pressed, released = action), fires hot keys, queues the keys no button
// took, and shows the screen when something changed. Image slot 63 is its picture loading area.
#pragma once
#include <array>
#include <cstdint>
#include <functional>
#include <string>

#include "images/obrazky.h"
#include "toolkit/draw/graph.h"
#include "toolkit/texty.h"

namespace ksv::toolkit {

constexpr int kButtonCount = 64;        // entries; the last one is never handed out
constexpr int kUsableButtons = 63;
constexpr uint16_t kTextButton = 65534;  // OBRAZEK of a text button
constexpr uint16_t kFreeButton = 65535;  // OBRAZEK of a free entry
constexpr uint16_t kLoadSlot = 63;       // image slot button pictures are loaded into
constexpr uint16_t kNoButton = 65535;    // AKTTLAC when the mouse is over no button
constexpr int kTextButtonW = 64, kTextButtonH = 32;
constexpr int kCaptionSize = 15;  // of every text button's caption, bold

// Error codes of button creation (other codes are the picture loader's).
constexpr int32_t kNoFreeButton = 10;
constexpr int32_t kNoFreeSlot = 11;
constexpr int32_t kBadSlotRef = 12;
constexpr int32_t kBadSize = 13;
constexpr int32_t kQueueFull = 60;  // last error after a key was dropped
constexpr int kExtendedKey = 256;  // added by take_key to the code of an extended key

struct TTLAC {
  uint16_t OBRAZEK = kFreeButton;
  std::function<void()> FUNKCE;
  uint8_t STAV = 0;  // 0 idle, 1 under the mouse, 2 pressed, 255 must be drawn
  int32_t X = 0, Y = 0;
  bool INTERNI = false;  // the image slot is not the button's own
  bool AKTIVNI = false;
  bool GRAFICKE = false;
  uint8_t KLAV = 0;
  // The picture file and size the slot was made from. Buttons showing the same picture at the
  // same size share one slot: the slot goes when the last of them goes.
  std::string picture;
};

class Tlacitka {
 public:
  Tlacitka(draw::Graph& graph, images::Obrazky& images, Texty& texty);

  int32_t VYTVORTLAC(const std::string& picture, std::function<void()> action, int32_t x,
                     int32_t y, int32_t width, int32_t height, uint8_t key);
  int32_t VYTVORTXTTLAC(const std::string& caption, std::function<void()> action, int32_t x,
                        int32_t y, uint8_t key);
  void ZRUSTLAC(int index);
  void ZRUSTLACITKA();
  uint16_t NAJDIOBR() const;
  void OBSLUHATLAC();
  void VYKRESLIOBRAZ() { g_.UPDATEGRAPH(2); }
  bool PRIDEJKLAV(uint8_t key);
  bool JEKLAV() const { return FZAPIS != FCTENI; }
  uint8_t ZISKKLAV();
  // The oldest key with what ZISKKLAV drops: an extended key (Left, Delete, ...) comes as its
  // second code plus kExtendedKey, so an editor can tell Left (75) from "K"; -1 when empty.
  int take_key();
  void VYMAZFRONTU() { FCTENI = FZAPIS; }
  // Ends the program when its window was asked to close; returns otherwise.
  void KONEC();

  // How many buttons show the picture in `slot` as their own (shared) picture.
  int slot_users(uint16_t slot) const;

  // Button size on the screen: the picture held, or the text box.
  int width(int index) const;
  int height(int index) const;

  std::array<TTLAC, kButtonCount> TLACITKO{};
  int AKTIVNICHTLAC = 0;
  uint16_t AKTTLAC = kNoButton;
  std::array<uint8_t, 3> BARVYT{};  // frame colours: idle, under the mouse, pressed
  int32_t MYSX = 0, MYSY = 0, TLACM = 0;
  bool NOVAMYS = false;  // fresh mouse data for other units
  bool NUTNOVYKRESLIT = false;
  std::array<uint8_t, 256> FRONTA{};
  std::array<bool, 256> extended_{};  // beside FRONTA: the key was an extended one
  uint8_t FZAPIS = 0, FCTENI = 0;

  // What KONEC runs: closing the windows (set by the window unit) and leaving the program.
  // Tests replace exit_program; when it returns, ended() tells the wait loops to stop.
  std::function<void()> close_windows = [] {};
  std::function<void(int)> exit_program;
  bool ended() const { return ended_; }

 private:
  void frame(int index, int colour_slot);
  // Fills entry `index` as a new, active button in its initial state and counts it.
  void occupy(int index, uint16_t picture, std::function<void()> action, int32_t x, int32_t y,
              uint8_t key, bool internal, bool graphic);

  draw::Graph& g_;
  images::Obrazky& img_;
  Texty& texty_;
  bool ended_ = false;
};

}  // namespace ksv::toolkit
