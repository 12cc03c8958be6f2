// Plays a script of user actions against a 32-bit Windows program, loaded with the window-system
// stand-in behind its imports (see "The shipped programs under test" in the README).
//
//   shipped_runner PROGRAM.exe [SCRIPT]      (no SCRIPT: the script comes from standard input)
//
// Exit status: 0 when the script played without an error object, 1 with one, 2 when the program
// or the script cannot be read, 3 on a timeout, 4 when the program crashed.
#include "tests/shipped/pe_loader.h"
#include "tests/shipped/script_player.h"

#include <cstring>
#include <fstream>
#include <iostream>

namespace {

const char usage[] =
    "Usage: shipped_runner PROGRAM.exe [SCRIPT]\n"
    "\n"
    "Loads a 32-bit Windows program of the practicum with the window-system stand-in behind its\n"
    "imports and plays SCRIPT (standard input without one): one user action a line, one JSON\n"
    "object a line of output. Texts are Windows-1251 bytes in hex (tools/text-hex.py converts).\n"
    "\n"
    "  click CONTROL        click a button; prints the message boxes it showed (answered OK)\n"
    "  set CONTROL [HEX]    replace an edit's text (no HEX: empty)\n"
    "  type CONTROL [HEX]   click into an edit, select its text and type the bytes as keys (08:\n"
    "                       Backspace); the program's message loop must translate them\n"
    "  get CONTROL          print a control's text\n"
    "  close WINDOW         click a window's close box\n"
    "  windows              print every open window with its controls\n"
    "  classes              print every registered window class: style, icons, cursor, background\n"
    "  focus                print the window with the focus and the one last flashed\n"
    "\n"
    "WINDOW is main, task1, task2 or task3; CONTROL is WINDOW#N (the N-th control in creation\n"
    "order) or WINDOW:ID (the control with that ID). Blank lines and lines starting with # are\n"
    "skipped. A message box is answered OK once the lines after the action that brought it up\n"
    "that start with > (>> for a second box on top) have been played while it is up.\n"
    "Example, practice_v5's Task 2 with A = 4 and B = 1:\n"
    "\n"
    "  click main:10\n"
    "  type task2#6 34\n"
    "  type task2#7 31\n"
    "  click task2:121\n"
    "  get task2#8\n"
    "\n"
    "Exit status: 0 when no error object was printed, 1 otherwise, 2 when the program or the\n"
    "script cannot be read, 3 on a timeout (60 s a click), 4 when the program crashed.\n";

} // namespace

int main(int argc, char** argv) {
    if (argc == 2 && (strcmp(argv[1], "--help") == 0 || strcmp(argv[1], "-h") == 0)) {
        std::cout << usage;
        return 0;
    }
    if (argc < 2 || argc > 3) {
        std::cerr << usage;
        return 2;
    }
    LoadedProgram program;
    std::string reason;
    if (!load_program(argv[1], &program, &reason)) {
        std::cerr << "shipped_runner: " << argv[1] << ": " << reason << "\n";
        return 2;
    }
    std::ifstream file;
    if (argc == 3) {
        file.open(argv[2]);
        if (!file) {
            std::cerr << "shipped_runner: cannot read the script " << argv[2] << "\n";
            return 2;
        }
    }
    int errors = play_script(argc == 3 ? file : std::cin, stdout,
                             [&](unsigned* exit_code, std::string* why) {
                                 return run_program_entry(program, exit_code, why);
                             });
    unload_program(&program);
    return errors ? 1 : 0;
}
