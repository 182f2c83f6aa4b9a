// The settings block on the server: fetched whole with command 8 and sent back whole with 9.
#pragma once
#include <optional>

#include "protocol/records/settings.h"

namespace ksv::client {
class Frame;
}

namespace ksv::client::pricing {

// The block as the server holds it; nothing when it did not answer (the error dialog has said
// why).
std::optional<TKalkulace> fetch_settings_block(Frame& f);
// True when the server took the block.
bool store_settings_block(Frame& f, const TKalkulace& block);

}  // namespace ksv::client::pricing
