// Plays a script of user actions against a 32-bit Windows program, loaded with the window-system
// stand-in behind its imports (see "The shipped programs under test" in the README).
//
//   shipped_runner PROGRAM.exe [SCRIPT]      (no SCRIPT: the script comes from standard input)
//   shipped_runner --snapshot PROGRAM.exe SNAPSHOT
//
// Exit status: 0 when the script played without an error object, 1 with one, 2 when the program
// or the script cannot be read, 3 on a timeout, 4 when the program crashed.
#include "tests/shipped/pe_loader.h"
#include "tests/shipped/script_player.h"
#include "tests/shipped/window_snapshot.h"

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iostream>
#include <sstream>

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
    "script cannot be read, 3 on a timeout (60 s a click), 4 when the program crashed.\n"
    "\n"
    "shipped_runner --snapshot PROGRAM.exe SNAPSHOT plays the lines of SNAPSHOT that start with\n"
    "\"> \" and prints the window snapshot that the program gives now (tests/shipped/windows/);\n"
    "an error object goes to standard error, with exit status 1.\n";

// The snapshot's actions played, and the snapshot as the program gives it now on standard output.
int renew_snapshot(const ProgramRun& run, const char* path) {
    std::ifstream file(path);
    if (!file) {
        std::cerr << "shipped_runner: cannot read the snapshot " << path << "\n";
        return 2;
    }
    WindowSnapshot now;
    std::string script;
    for (std::string line; std::getline(file, line);)
        if (line.rfind("> ", 0) == 0) {
            now.actions.push_back(line.substr(2));
            script += line.substr(2) + "\n";
        }
    std::istringstream in(script);
    char* buffer = nullptr;
    size_t size = 0;
    FILE* out = open_memstream(&buffer, &size);
    int errors = play_script(in, out, run);
    fclose(out);
    std::istringstream printed(std::string(buffer, size));
    free(buffer);
    for (std::string line; std::getline(printed, line);) {
        now.windows.emplace_back();
        if (window_of_listing(line, &now.windows.back()))
            continue;
        now.windows.pop_back();
        if (line.rfind("{\"error\"", 0) == 0 ||
            (line.rfind("{\"exit\"", 0) == 0 && line != "{\"exit\":0}"))
            std::cerr << "shipped_runner: " << line << "\n", ++errors;
    }
    std::cout << snapshot_text(now);
    return errors ? 1 : 0;
}

} // namespace

int main(int argc, char** argv) {
    if (argc == 2 && (strcmp(argv[1], "--help") == 0 || strcmp(argv[1], "-h") == 0)) {
        std::cout << usage;
        return 0;
    }
    bool snapshot = argc == 4 && strcmp(argv[1], "--snapshot") == 0;
    if (argc < 2 || argc > 3 + snapshot) {
        std::cerr << usage;
        return 2;
    }
    LoadedProgram program;
    std::string reason;
    const char* path = argv[1 + snapshot];
    if (!load_program(path, &program, &reason)) {
        std::cerr << "shipped_runner: " << path << ": " << reason << "\n";
        return 2;
    }
    ProgramRun run = [&](unsigned* exit_code, std::string* why) {
        return run_program_entry(program, exit_code, why);
    };
    if (snapshot) {
        int status = renew_snapshot(run, argv[3]);
        unload_program(&program);
        return status;
    }
    std::ifstream file;
    if (argc == 3) {
        file.open(argv[2]);
        if (!file) {
            std::cerr << "shipped_runner: cannot read the script " << argv[2] << "\n";
            return 2;
        }
    }
    int errors = play_script(argc == 3 ? file : std::cin, stdout, run);
    unload_program(&program);
    return errors ? 1 : 0;
}
