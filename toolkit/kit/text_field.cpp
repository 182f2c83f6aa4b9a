// TextField: editing with a cursor, horizontal scrolling and its wait loop (see the header).
#include "toolkit/kit/text_field.h"

#include <algorithm>

#include "toolkit/kit/style_guard.h"

namespace ksv::toolkit {
namespace {

constexpr int kLeft = kExtendedKey + 75, kRight = kExtendedKey + 77;
constexpr int kHome = kExtendedKey + 71, kEnd = kExtendedKey + 79;
constexpr int kDelete = kExtendedKey + 83;
constexpr int kBackspace = 8, kEnter = 13, kEscape = 27;

}  // namespace

TextField::TextField(Toolkit& tk, int32_t x, int32_t y, int width_chars, size_t max_length,
                     std::string text)
    : tk_(tk),
      x_(x),
      y_(y),
      width_chars_(std::max(width_chars, 1)),
      max_length_(std::min(max_length, kMaxString)) {
  set_text(std::move(text));
}

void TextField::set_text(std::string text) {
  if (text.size() > max_length_) text.resize(max_length_);
  text_ = std::move(text);
  cursor_ = text_.size();
  first_ = 0;
  scroll_to_cursor();
}

int32_t TextField::box_width() const { return width_chars_ * (tk_.texty.AKTVELFONTU / 2); }

int32_t TextField::measure(size_t from, size_t to) const {
  StyleGuard style(tk_.graph);
  tk_.graph.SETTEXTSTYLE(4, 0, tk_.texty.AKTVELFONTU);
  return tk_.graph.TEXTWIDTH(text_.substr(from, to - from));
}

void TextField::scroll_to_cursor() {
  if (cursor_ < first_) first_ = cursor_;
  // Room for the text before the cursor and the cursor itself.
  const int32_t room = box_width() - 3;
  while (first_ < cursor_ && measure(first_, cursor_) > room) ++first_;
}

TextField::KeyResult TextField::key(int k) {
  if (k < 0) return KeyResult::kIgnored;
  refused_ = false;
  switch (k) {
    case kEnter: return KeyResult::kConfirm;
    case kEscape: return KeyResult::kCancel;
    case kLeft:
      if (cursor_ > 0) --cursor_;
      break;
    case kRight:
      if (cursor_ < text_.size()) ++cursor_;
      break;
    case kHome: cursor_ = 0; break;
    case kEnd: cursor_ = text_.size(); break;
    case kBackspace:
      if (cursor_ == 0) return KeyResult::kIgnored;
      text_.erase(--cursor_, 1);
      break;
    case kDelete:
      if (cursor_ >= text_.size()) return KeyResult::kIgnored;
      text_.erase(cursor_, 1);
      break;
    default: {
      // Other extended keys and control characters are not text.
      if (k >= kExtendedKey || k < 32 || k == 127) return KeyResult::kIgnored;
      const auto ch = static_cast<uint8_t>(k);
      if (text_.size() >= max_length_ || (accept && !accept(ch, cursor_)))
        return KeyResult::kIgnored;
      text_.insert(cursor_++, 1, static_cast<char>(ch));
    }
  }
  scroll_to_cursor();
  return KeyResult::kChanged;
}

void TextField::draw(bool with_cursor) {
  draw::Graph& g = tk_.graph;
  const int f = tk_.texty.AKTVELFONTU;
  const int32_t w = box_width();
  ViewportGuard view(g);
  StyleGuard style(g);
  const draw::ViewPortType& v = view.saved();
  g.SETFILLSTYLE(1, refused_ ? refused_background : background);
  g.BAR(x_, y_, x_ + w, y_ + f);
  g.SETVIEWPORT(v.x1 + x_, v.y1 + y_, v.x1 + x_ + w, v.y1 + y_ + f, true);
  g.SETCOLOR(text_colour);
  g.SETTEXTSTYLE(4, 0, f);
  g.SETTEXTJUSTIFY(0, 0);
  g.OUTTEXTXY(1, 1, text_.substr(first_));
  if (with_cursor) {
    const int32_t cx = 1 + measure(first_, cursor_);
    g.LINE(cx, 1, cx, f - 1);
  }
  tk_.tlacitka.NUTNOVYKRESLIT = true;
}

bool TextField::edit() {
  Okna& o = tk_.okna;
  Tlacitka& b = tk_.tlacitka;
  const std::string before = text_;
  o.KONECZADAVANI = 0;
  refused_ = false;
  draw(true);
  b.VYMAZFRONTU();
  for (;;) {
    while (o.KONECZADAVANI == 0 && !b.ended()) {
      o.OBSLUHAKOMUNIKACE();
      b.OBSLUHATLAC();
      if (b.ended()) break;
      bool changed = false;
      for (int k; o.KONECZADAVANI == 0 && (k = b.take_key()) >= 0;) {
        const KeyResult r = key(k);
        if (r == KeyResult::kConfirm) o.KONECZADAVANI = 1;
        if (r == KeyResult::kCancel) o.KONECZADAVANI = 2;
        changed |= r == KeyResult::kChanged;
      }
      if (changed) draw(true);
    }
    const bool confirmed = o.KONECZADAVANI == 1 || o.KONECZADAVANI == 4;
    if (confirmed && valid && !valid(text_) && !b.ended()) {
      // Refused: the field stays open, marked, for the user to mend.
      refused_ = true;
      o.KONECZADAVANI = 0;
      draw(true);
      continue;
    }
    if (!confirmed) set_text(before);
    draw(false);
    return confirmed && !b.ended();
  }
}

}  // namespace ksv::toolkit
