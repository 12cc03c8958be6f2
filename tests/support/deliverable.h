#pragma once

#include <string>

// The deliverable whose profile this test binary links ("practice_v4", ...).
extern const char* const deliverable_name;

inline bool is_deliverable(const std::string& name) {
    return name == deliverable_name;
}
