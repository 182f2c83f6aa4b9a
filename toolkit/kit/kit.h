// The screen kit: the pieces every screen of KSVDB and logocalc is built from, over the toolkit
// units — a window held by a scope, picture buttons with a text fallback, the modal state and
// the dialog loop, the drawing-state guards and the guard of the one list around pickers.
#pragma once
#include "toolkit/kit/dialog.h"
#include "toolkit/kit/list_guard.h"
#include "toolkit/kit/modal.h"
#include "toolkit/kit/picture_button.h"
#include "toolkit/kit/style_guard.h"
#include "toolkit/kit/window.h"
