// Texty: every title, message and help page comes from the texts file by key; this unit looks keys
// up, prints a text line with its inline formatting codes, and holds the string helpers the
// toolkit and the programs use everywhere. Strings are single-byte, at most 255 characters.
#pragma once
#include <array>
#include <cstdint>
#include <functional>
#include <string>

#include "toolkit/draw/graph.h"

namespace ksv::toolkit {

constexpr int kTextLines = 64;     // body lines kept from one key
constexpr size_t kMaxString = 255;  // a counted string's longest text

// --- string helpers ---
char DOWNCASE(char c);
std::string DOWNSTRING(std::string s);
std::string UPSTRING(std::string s);
std::string INT2STR(int32_t v);
int32_t STR2INT(const std::string& s);  // 0 unless the whole text is a decimal number
bool is_whole_number(const std::string& s);  // optional "-" and digits, fits 32 bits
std::string ZAROVNEJ(const std::string& text, char fill, uint8_t length);
bool NAJDIRETEZEC(const std::string& what, const std::string& where);
void NAHRADRETEZEC(const std::string& what, const std::string& replacement, std::string& text);

class Texty {
 public:
  explicit Texty(draw::Graph& graph) : g_(graph) {}

  // Main text of the key; its body goes to TEXTBUFFER/RADKU. Empty for a missing file or key.
  std::string ZISKEJTEXT(const std::string& file, const std::string& key);
  // The same from the program's own texts file SOUBTEXTU.
  std::string text(const std::string& key) { return ZISKEJTEXT(SOUBTEXTU, key); }
  void VYPISTEXT(int32_t x, int32_t y, std::string text);
  void NASTAVTEXT(int16_t font, int16_t size, int16_t horizontal, int16_t vertical, uint8_t colour);
  int32_t POSLEDNICHYBA();

  std::array<std::string, kTextLines> TEXTBUFFER{};
  int RADKU = 0;
  int16_t AKTVELFONTU = 16;
  int32_t OFFSETTEXTUX = 0;
  int32_t OFFSETTEXTUY = 0;
  int16_t OKNOPROVYPIS = 0;
  int32_t POSLCHYBA = 0;
  std::string SOUBTEXTU = "texty.dat";  // path of the program's texts file

  // Width of a window by index, for the formatting codes; set by the window unit.
  std::function<int32_t(int)> window_width = [](int) { return draw::kScreenW; };

 private:
  draw::Graph& g_;
};

}  // namespace ksv::toolkit
