// The settings screen: every price value in one grid edited in place, saved whole with
// command 9. It runs over the calculation screen, which keeps its job meanwhile.
#pragma once
#include "protocol/records/settings.h"

namespace ksv::client {
class Frame;
}

namespace ksv::client::pricing {

// Edits the settings in `block` until the user leaves; `block` then holds what the server last
// took (unsaved edits are dropped).
void run_settings(Frame& f, TKalkulace& block);

}  // namespace ksv::client::pricing
