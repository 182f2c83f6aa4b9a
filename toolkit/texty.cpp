// Texty: key lookup in the texts file, the formatting codes of printed lines, string helpers.
#include "toolkit/texty.h"

#include <climits>
#include <cstdio>

namespace ksv::toolkit {

// ---------------------------------------------------------------- string helpers

char DOWNCASE(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

std::string DOWNSTRING(std::string s) {
  for (char& c : s) c = DOWNCASE(c);
  return s;
}

std::string UPSTRING(std::string s) {
  for (char& c : s)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return s;
}

std::string INT2STR(int32_t v) { return std::to_string(v); }

bool is_whole_number(const std::string& s) {
  size_t i = !s.empty() && s[0] == '-' ? 1 : 0;
  if (i == s.size()) return false;
  long long v = 0;
  for (; i < s.size(); ++i) {
    if (s[i] < '0' || s[i] > '9') return false;
    v = v * 10 + (s[i] - '0');
    if (v > static_cast<long long>(INT32_MAX) + 1) return false;
  }
  return s[0] == '-' || v <= INT32_MAX;
}

int32_t STR2INT(const std::string& s) {
  if (!is_whole_number(s)) return 0;
  return static_cast<int32_t>(std::stoll(s));
}

std::string ZAROVNEJ(const std::string& text, char fill, uint8_t length) {
  if (text.size() >= length) return text;
  return std::string(length - text.size(), fill) + text;
}

bool NAJDIRETEZEC(const std::string& what, const std::string& where) {
  return !what.empty() && where.find(what) != std::string::npos;
}

void NAHRADRETEZEC(const std::string& what, const std::string& replacement, std::string& text) {
  if (what.empty()) return;
  if (replacement.find(what) != std::string::npos) {
    // Replacing again would never end: one pass from left to right instead.
    std::string out;
    size_t from = 0;
    for (size_t at; (at = text.find(what, from)) != std::string::npos; from = at + what.size())
      out += text.substr(from, at - from) + replacement;
    text = (out + text.substr(from)).substr(0, kMaxString);
    return;
  }
  // One occurrence at a time from the first, until none is left (as counted strings do, the text
  // stays within 255 characters; the bound on rounds only guards against a text that keeps
  // regrowing at that limit).
  for (int round = 0; round < 100000; ++round) {
    size_t at = text.find(what);
    if (at == std::string::npos) return;
    text.replace(at, what.size(), replacement);
    if (text.size() > kMaxString) text.resize(kMaxString);
  }
}

// ---------------------------------------------------------------- texts file

std::string Texty::ZISKEJTEXT(const std::string& file, const std::string& key) {
  std::FILE* f = std::fopen(file.c_str(), "rb");
  if (!f) return "";
  // Lines as counted strings read them: at most 255 characters, the rest of a longer line
  // dropped; a Windows line end is accepted.
  auto read_line = [f](std::string& line) {
    line.clear();
    int c;
    bool any = false;
    while ((c = std::fgetc(f)) != EOF) {
      any = true;
      if (c == '\n') break;
      if (line.size() < kMaxString + 1) line.push_back(static_cast<char>(c));
    }
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.size() > kMaxString) line.resize(kMaxString);
    return any;
  };
  auto is_header = [](const std::string& l) {
    return (!l.empty() && l.front() == '[') || (!l.empty() && l.back() == ']');
  };

  std::string result, line;
  std::fseek(f, 0, SEEK_END);
  bool empty = std::ftell(f) == 0;
  std::fseek(f, 0, SEEK_SET);
  if (empty) {
    std::fclose(f);
    return "";
  }
  RADKU = 0;
  const std::string wanted = "[" + key + "]";
  bool found = false;
  while (read_line(line))
    if (line == wanted) {
      found = true;
      break;
    }
  if (found && read_line(line) && !is_header(line)) {
    result = line;
    while (RADKU < kTextLines && read_line(line) && !is_header(line)) TEXTBUFFER[RADKU++] = line;
  }
  std::fclose(f);
  return result;
}

void Texty::VYPISTEXT(int32_t x, int32_t y, std::string text) {
  while (!text.empty() && (text[0] == '#' || text[0] == '&' || text[0] == '*' || text[0] == '@')) {
    const std::string whole = text;
    switch (text[0]) {
      case '#': {
        size_t end = text.find('#', 1);
        if (end == std::string::npos) {
          text.erase(0, 1);  // an unclosed colour code: only the "#" goes
          break;
        }
        g_.SETCOLOR(STR2INT(text.substr(1, end - 1)) & 0xFF);
        text.erase(0, end + 1);
        break;
      }
      case '&':
        g_.SETCOLOR(255);
        text.erase(0, 1);
        break;
      case '*': {
        char code = text.size() > 1 ? text[1] : '\0';
        int32_t half = window_width(OKNOPROVYPIS) / 2;
        if (code == '!') {
          g_.SETTEXTJUSTIFY(1, 1);
          OFFSETTEXTUX = 0;
        } else if (code == '=') {
          OFFSETTEXTUX = g_.TEXTWIDTH(whole) - half;
        } else if (code == 'l') {
          g_.SETTEXTJUSTIFY(0, 1);
          OFFSETTEXTUX = 10 - half;
        } else if (code == 'p') {
          g_.SETTEXTJUSTIFY(2, 1);
          OFFSETTEXTUX = half - 10;
        }
        text.erase(0, 2);
        break;
      }
      case '@':
        y -= AKTVELFONTU + 1;
        OFFSETTEXTUY -= AKTVELFONTU + 1;
        text.erase(0, 1);
        break;
    }
  }
  g_.OUTTEXTXY(x, y, text);
}

void Texty::NASTAVTEXT(int16_t font, int16_t size, int16_t horizontal, int16_t vertical,
                       uint8_t colour) {
  g_.SETTEXTJUSTIFY(horizontal, vertical);
  g_.SETTEXTSTYLE(font, 0, size);
  g_.SETCOLOR(colour);
}

int32_t Texty::POSLEDNICHYBA() {
  int32_t e = POSLCHYBA;
  POSLCHYBA = 0;
  return e;
}

}  // namespace ksv::toolkit
