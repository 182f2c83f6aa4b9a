// The picture of a camera frame in its image slot: loaded from the received JPG through the
// converter, and the two brightness operations of the "snimek" window.
#pragma once
#include <cstdint>
#include <string>

namespace ksv::images {
class Obrazky;
}

namespace ksv::client::devices {

constexpr uint16_t kFrameSlot = 60;
constexpr int32_t kFrameW = 480, kFrameH = 360;

// Loads the file into the frame slot as palette pixels; the slot is left as it was when the file
// cannot be read. True when the picture is there.
bool load_frame_picture(images::Obrazky& img, const std::string& path);

// Stretches the brightness so the brightest component of the picture reaches full scale (a dark
// night frame becomes readable); a picture already at full scale or black stays as it is.
void normalise_frame(images::Obrazky& img);
// Doubles the components of every dark pixel.
void brighten_frame(images::Obrazky& img);

}  // namespace ksv::client::devices
