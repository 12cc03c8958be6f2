// Plays a script of user actions against a 32-bit Windows program, loaded with the window-system
// stand-in behind its imports (see "The shipped programs under test" in the README).
//
//   shipped_runner PROGRAM.exe [SCRIPT]      (no SCRIPT: the script comes from standard input)
//
// Exit status: 0 when the script played without an error object, 1 with one, 2 when the program
// or the script cannot be read, 3 on a timeout, 4 when the program crashed.
#include "tests/shipped/pe_loader.h"
#include "tests/shipped/script_player.h"

#include <fstream>
#include <iostream>

int main(int argc, char** argv) {
    if (argc < 2 || argc > 3) {
        std::cerr << "usage: shipped_runner PROGRAM.exe [SCRIPT]\n";
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
