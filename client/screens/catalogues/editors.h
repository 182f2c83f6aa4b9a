// The thread editor (screen 10) and the material editor (screen 11): a new entry typed in and
// saved with pridat, as often as the user likes; budiz goes back to the screen that opened the
// picker. A name that is listed already replaces that entry, which takes right 59.
#pragma once

namespace ksv::client {
class Frame;
class Workspace;
}  // namespace ksv::client

namespace ksv::client::catalogues {

void build_thread_editor(Frame& f, Workspace& ws);
void build_material_editor(Frame& f, Workspace& ws);

}  // namespace ksv::client::catalogues
