// Windows-1250, the code page of the workshop's records, texts files and the wire. Everything
// inside the programs is 1250 bytes; UTF-8 appears only where Linux meets them: text typed into
// the window, file names shown in lists, reports written for a Linux editor.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>

namespace ksv::toolkit {

// UTF-8 to 1250 bytes; a character 1250 has no byte for, and a broken UTF-8 sequence, become "?".
std::string utf8_to_cp1250(std::string_view utf8);
// 1250 bytes to UTF-8; the five bytes 1250 leaves undefined become U+FFFD.
std::string cp1250_to_utf8(std::string_view cp1250);

// One character each way: the Unicode code point of a 1250 byte (0 for the undefined bytes
// 0x81, 0x83, 0x88, 0x90, 0x98), and the byte of a code point (-1 when 1250 has none).
uint16_t cp1250_to_unicode(uint8_t byte);
int unicode_to_cp1250(uint32_t code_point);

// Decodes one UTF-8 character at `pos` and moves `pos` past it; false (and one byte skipped)
// for a broken sequence, an overlong form, a surrogate or a value above U+10FFFF.
bool next_utf8(std::string_view text, size_t& pos, uint32_t& code_point);

}  // namespace ksv::toolkit
