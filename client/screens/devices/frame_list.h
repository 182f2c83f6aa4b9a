// The frames of one camera's day as the server lists them (one file name a line) and what the
// camera screen makes of them: a single frame is named HH-MM-SS.jpg after the time it was taken
// and can be fetched by that time; the frames of a series keep the grabber's own names, which
// the fetch cannot name, so they are listed but marked.
#pragma once
#include <string>
#include <vector>

#include "protocol/datetime.h"

namespace ksv::client::devices {

constexpr size_t kFramesPerPage = 4096;

struct FrameEntry {
  std::string file;
  bool single = false;  // HH-MM-SS.jpg: can be fetched by its time
  TCas time{};          // the frame's time when single
};

// The list file's text; empty lines are skipped, singles in time order, then the rest by name.
std::vector<FrameEntry> parse_frame_list(const std::string& text);

// "08:15:30" for a single frame, the file name without ".jpg" for another.
std::string frame_label(const FrameEntry& e);

// Pages of kFramesPerPage entries; an empty list still has its one (empty) page.
size_t page_count(size_t entries);

// The day before or after, across months and years.
TDatum step_day(const TDatum& d, int days);

}  // namespace ksv::client::devices
