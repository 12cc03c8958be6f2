#include "shell/shell.h"

// The process entry: the programs link no C runtime, so nothing runs before this.
extern "C" void program_entry(void) {
    ExitProcess(app_main(GetModuleHandleA(0)));
}
