// Screen 74, the calculation, and screen 76, its settings.
#pragma once

namespace ksv::client {
class Frame;
class Workspace;
}  // namespace ksv::client

namespace ksv::client::pricing {

void build_calculation(Frame& f, Workspace& ws);
void build_settings(Frame& f, Workspace& ws);

}  // namespace ksv::client::pricing
