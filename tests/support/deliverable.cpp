#include "tests/support/deliverable.h"

#include <cstdio>
#include <cstdlib>

bool is_deliverable(const std::string& name, std::source_location where) {
    const std::string all = " " DELIVERABLE_LIST " ";
    if (name.empty() || all.find(" " + name + " ") == std::string::npos) {
        std::fprintf(stderr, "%s:%u: \"%s\" is none of DELIVERABLES (CMakeLists.txt): %s\n",
                     where.file_name(), (unsigned)where.line(), name.c_str(), DELIVERABLE_LIST);
        std::exit(1);
    }
    return name == deliverable_name;
}
