// TextField: a one-line editor for texts longer than their box (fields of up to 255 characters
// in a box of a few dozen): a cursor moved with Left, Right, Home and End, Backspace and Delete
// at the cursor, and the view scrolled sideways so the cursor is always in sight. Confirming an
// emptied field gives an empty text: the field can be cleared (ZISKEJUDAJ would keep the old
// text), and a text of digits stays a text.
//
// edit() runs like ZISKEJUDAJ: every pass runs the communication step (Okna::OBSLUHAKOMUNIKACE)
// and the button poll, buttons end it through KONECZADAVANI (1 or 4 confirm, other values
// cancel), and Enter confirms and Escape cancels when no button took them.
#pragma once
#include <cstdint>
#include <functional>
#include <string>

#include "toolkit/toolkit.h"

namespace ksv::toolkit {

class TextField {
 public:
  // The box is width_chars × (AKTVELFONTU / 2) pixels wide and AKTVELFONTU high at (x, y);
  // the text holds at most max_length characters (255 at most, as counted strings do).
  TextField(Toolkit& tk, int32_t x, int32_t y, int width_chars, size_t max_length,
            std::string text = "");

  enum class KeyResult { kIgnored, kChanged, kConfirm, kCancel };
  // One key as Tlacitka::take_key gives it (extended keys with kExtendedKey added).
  KeyResult key(int key);
  // Runs the edit until it is confirmed or cancelled (or the program ends); true when
  // confirmed. A cancelled edit puts the text back as it was.
  bool edit();
  void draw(bool with_cursor);

  const std::string& text() const { return text_; }
  void set_text(std::string text);
  size_t cursor() const { return cursor_; }
  size_t first_shown() const { return first_; }  // the view's first character

  int32_t text_colour = 255;
  int32_t background = 0;
  int32_t refused_background = 0;  // shown after a refused confirmation until the next key
  // Which typed characters are taken (the number field takes digits only); printable bytes by
  // default. Called with the character and the cursor position.
  std::function<bool(uint8_t ch, size_t at)> accept;
  // Whether a confirmation is taken; a refused one keeps the field open.
  std::function<bool(const std::string& text)> valid;

 private:
  int32_t box_width() const;
  int32_t measure(size_t from, size_t to) const;  // pixel width of text_[from, to)
  void scroll_to_cursor();

  Toolkit& tk_;
  int32_t x_, y_;
  int width_chars_;
  size_t max_length_;
  std::string text_;
  size_t cursor_ = 0;
  size_t first_ = 0;
  bool refused_ = false;
};

}  // namespace ksv::toolkit
