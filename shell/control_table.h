#pragma once

#include "variants/profile.h"

// Creates the table's controls in order as children of parent and stores the handles that the
// rows ask for.
void create_controls(HWND parent, ControlTable table);

// A WM_COMMAND that is a click on the button (or notifying label) with this ID.
bool is_button_click(WPARAM wparam, LPARAM lparam, int button_id);
