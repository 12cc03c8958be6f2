#include "tests/support/deliverable.h"

const char* const deliverable_name = DELIVERABLE_NAME;
