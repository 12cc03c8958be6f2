#pragma once

#include <source_location>
#include <string>

// The deliverable whose profile this test binary links ("practice_v4", ...).
extern const char* const deliverable_name;

// Whether a row or case that names `name` is this binary's. A name that is none of DELIVERABLES
// ends the binary with the name and the place of the call: a misspelt row would otherwise run in
// no binary, silently.
bool is_deliverable(const std::string& name,
                    std::source_location where = std::source_location::current());
