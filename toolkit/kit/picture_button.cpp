// picture_button: a guidata/ picture button, or a text button in its place (see the header).
#include "toolkit/kit/picture_button.h"

#include <algorithm>

namespace ksv::toolkit {

std::string picture_caption(const std::string& picture) {
  const size_t slash = picture.find_last_of("/\\");
  std::string name = slash == std::string::npos ? picture : picture.substr(slash + 1);
  return name.substr(0, name.find('.'));
}

int32_t picture_button(Toolkit& tk, int window, const std::string& picture,
                       std::function<void()> action, int32_t x, int32_t y, uint8_t key,
                       int32_t width, int32_t height, const std::string& caption) {
  const std::string path = tk.images.ADRESAREXE + "guidata/" + picture;
  int32_t picture_x = x, picture_y = y;
  if (window >= 0) {
    const int32_t r = tk.okna.PRIPRAVTLACPROOKNO(window, path, action, x, y, width, height, key);
    // A closed or full window takes no button of either kind; a text button needs no picture
    // and no image slot, so every other failure falls back to one.
    if (r == 0 || r == kWindowNotOpen || r == kWindowFull || r == kNoFreeButton) return r;
    tk.okna.button_origin(window, x, y, width, height, false, picture_x, picture_y);
  } else {
    const int32_t r = tk.tlacitka.VYTVORTLAC(path, action, x, y, width, height, key) & 0xFFFF;
    if (r == 0 || r == kNoFreeButton) return r;
  }

  // Centred on the picture's place, and kept on the screen whole.
  const int32_t text_x = std::clamp(picture_x + width / 2 - kTextButtonW / 2, 0,
                                    draw::kScreenW - 1 - kTextButtonW);
  const int32_t text_y = std::clamp(picture_y + height / 2 - kTextButtonH / 2, 0,
                                    draw::kScreenH - 1 - kTextButtonH);
  const std::string text = caption.empty() ? picture_caption(picture) : caption;
  if (window >= 0)
    return tk.okna.button_at(window, "&" + text, std::move(action), text_x, text_y, 0, 0, key);
  return tk.tlacitka.VYTVORTXTTLAC(text, std::move(action), text_x, text_y, key) & 0xFFFF;
}

}  // namespace ksv::toolkit
