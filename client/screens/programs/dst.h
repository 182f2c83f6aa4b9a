// The embroidery machine's stitch file (".dst"): the 512-byte text header whose figures the
// server keeps beside the program, and the 3-byte stitch records after it that the editor draws
// as its preview.
//
// Header: text fields ended by CR, each a two-letter name and ":" — "LA:" label first, then
// "ST:" stitches, "CO:" colour changes, "+X:" "-X:" "+Y:" "-Y:" extents in tenths of a millimetre
// — padded with spaces to 512 bytes. Writers pad the numbers ("CO:  3"), so a number is trimmed
// before it is read, and anything but digits makes the header unreadable.
//
// Records, byte by byte (bit 7 first):
//   byte 0  y+1  y-1  y+9  y-9  x-9  x+9  x-1  x+1
//   byte 1  y+3  y-3  y+27 y-27 x-27 x+27 x-3  x+3
//   byte 2  jump stop y+81 y-81 x-81 x+81  1    1
// "stop" with "jump" is a colour change; 00 00 F3 ends the design. y grows upwards.
#pragma once
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace ksv::client::programs {

inline constexpr size_t kDstHeaderSize = 512;

// What the server is told about a stitch file (command 33).
struct DstFigures {
  int32_t stitches = 0;  // STEHU
  int32_t colours = 0;   // BAREV: colour changes + 1
  int32_t width = 0;     // X: +X plus -X, tenths of a millimetre
  int32_t height = 0;    // Y: +Y plus -Y
};

// The figures of a header, or nothing when the file is shorter than the header, a field is
// missing or out of order, or a number is not all digits.
std::optional<DstFigures> read_dst_header(std::string_view file);

// A header field's number: spaces trimmed, then 1 to 9 digits. A text that reads as 0 must be
// written as zeros, never as nothing or letters.
std::optional<int32_t> dst_number(std::string_view text);

// One decoded record.
enum class StitchKind : uint8_t { kStitch, kJump, kColourChange };

struct Stitch {
  int32_t x = 0;  // absolute position after the move, tenths of a millimetre, y upwards
  int32_t y = 0;
  StitchKind kind = StitchKind::kStitch;
};

// The design's records up to the end record (or the end of the file; a torn last record is
// dropped). Positions start at 0, 0.
std::vector<Stitch> decode_dst_stitches(std::string_view file);

// The move of one record.
void dst_move(const uint8_t rec[3], int32_t& dx, int32_t& dy);

}  // namespace ksv::client::programs
