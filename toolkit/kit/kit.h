// The screen kit: the pieces every screen of KSVDB and logocalc is built from, over the toolkit
// units — a window held by a scope, picture buttons with a text fallback, the modal state and
// the dialog loop, the drawing-state guards, the guard of the one list around pickers, and the
// inputs: a long text field, a number field and a grid editor for tables of values.
#pragma once
#include "toolkit/kit/dialog.h"
#include "toolkit/kit/grid_editor.h"
#include "toolkit/kit/list_guard.h"
#include "toolkit/kit/modal.h"
#include "toolkit/kit/number_field.h"
#include "toolkit/kit/picture_button.h"
#include "toolkit/kit/style_guard.h"
#include "toolkit/kit/text_field.h"
#include "toolkit/kit/window.h"
