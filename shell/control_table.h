#pragma once

#include "variants/profile.h"

// Creates the table's controls in order as children of parent and stores the handles that the
// rows ask for.
void create_controls(HWND parent, ControlTable table);
