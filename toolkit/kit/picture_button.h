// picture_button: the one way the desktop programs put a picture button up. The picture is a
// file of guidata/ under the program directory, scaled to width × height (buttons showing the
// same picture at the same size share its image slot). When the picture cannot be shown — the
// file is missing or broken, or no image slot is free — a text button with the caption stands
// centred on the picture's place instead, so the screen still works with the same hot key.
#pragma once
#include <cstdint>
#include <functional>
#include <string>

#include "toolkit/toolkit.h"

namespace ksv::toolkit {

constexpr int32_t kPictureW = 50, kPictureH = 20;  // the usual button picture

// window >= 0: offsets inside that window, by the rules of PRIPRAVTLACPROOKNO (negative offsets
// count from the right or bottom edge, 0 centres). window < 0: (x, y) is a screen position.
// caption: the fallback text button's caption; empty means the picture's name without its
// extension. Returns 0, or the error code of the window (32, 33) or of the text button.
int32_t picture_button(Toolkit& tk, int window, const std::string& picture,
                       std::function<void()> action, int32_t x, int32_t y, uint8_t key,
                       int32_t width = kPictureW, int32_t height = kPictureH,
                       const std::string& caption = "");

// The fallback caption for a picture file name: "guidata\budiz.bmp" -> "budiz".
std::string picture_caption(const std::string& picture);

}  // namespace ksv::toolkit
