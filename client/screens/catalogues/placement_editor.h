// Screen 12, the placement editor: a placement's description and material, and its picture —
// loaded from a file, drawn on with the pencil and the line, or both — saved on the server. The
// picture goes up (command 38 and the ".ksv" file) only after the server has taken the entry
// itself: when it refuses to replace an existing entry, the picture of that entry must not be
// replaced either.
#pragma once

namespace ksv::client {

class Frame;
class Workspace;

void build_placement_editor(Frame& frame, Workspace& ws);

}  // namespace ksv::client
