// Hot keys of the client's buttons. An extended key is carried as its second code (F1 = 59,
// Up = 72), so it shares its number with an ordinary character; Ctrl+letter is the letter's
// position in the alphabet.
#pragma once
#include <cstdint>

namespace ksv::client::keys {

constexpr uint8_t kCtrlC = 3, kCtrlD = 4, kCtrlE = 5, kCtrlH = 8, kCtrlK = 11, kCtrlN = 14;
constexpr uint8_t kCtrlO = 15, kCtrlP = 16, kCtrlQ = 17, kCtrlR = 18;
constexpr uint8_t kBackspace = 8, kTab = 9, kEnter = 13, kEscape = 27, kSpace = 32;
constexpr uint8_t kF1 = 59, kF2 = 60, kUp = 72, kLeft = 75, kRight = 77, kDown = 80;
constexpr uint8_t kInsert = 82;

}  // namespace ksv::client::keys
