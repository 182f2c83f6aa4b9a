// The values of a camera's week plan, one per weekday and hour: v > 0 takes a frame every v
// seconds, 0 keeps the camera off, v < 0 runs a series cycle. The server reads the digits of -v
// from the left — X (all but the last four; 1 when there are fewer than five), Y (the next, all
// but the last two; 1 when fewer than three remain) and Z (the last two; 5 when only one
// remains): X frames spread over Y minutes, then Z minutes of pause. A value of one to four
// digits therefore does not say what it seems to (-130 is not "1/1/30"), so the plan screen
// writes every series with all five-plus digits: -(X*10000 + Y*100 + Z), X >= 1, 1 <= Y <= 99,
// 0 <= Z <= 99.
#pragma once
#include <cstdint>
#include <optional>
#include <string>

#include "protocol/records/devices.h"

namespace ksv::client::devices {

struct Series {
  int64_t X = 1, Y = 1, Z = 5;
};

// How the server reads a negative value.
Series decode_series(int32_t value);
// The value of a series; nullopt outside the ranges above (or past a LongInt).
std::optional<int32_t> encode_series(int64_t x, int64_t y, int64_t z);

// What a grid cell shows: "-" for off, the seconds for single frames, "X/Y/Z" for a series.
std::string plan_cell_text(int32_t value);
// A typed cell: "", "-" or "0" off; seconds; "X/Y/Z" a series. nullopt for anything else.
std::optional<int32_t> parse_plan_cell(const std::string& text);

// Why the server could not run this plan, as a texts key; "" when it can. The holiday switch
// with a factor of 0 would stop single frames and divide a series by zero; the random switch
// halves a series' frame count, and one frame halved is none (a division by zero after it).
std::string plan_problem(const TPlanKamer& plan);

}  // namespace ksv::client::devices
