// Loads a 32-bit Windows program (PE32, i386) into this 32-bit Linux process, with the
// window-system stand-in behind its imports, and runs it: the release programs' own bytes under
// test.
#pragma once

#include <string>

struct LoadedProgram {
    unsigned char* base = nullptr; // where the image lies, relocated
    unsigned size = 0;             // SizeOfImage
    void (*entry)() = nullptr;
};

// Maps the image's sections with their protections, applies its base relocations and binds each
// import of KERNEL32.dll and USER32.dll by name. On refusal returns false and says why in
// `reason`: not a PE32 i386 image, truncated or inconsistent, or an import the stand-in lacks.
bool load_program(const char* path, LoadedProgram* program, std::string* reason);
void unload_program(LoadedProgram* program);

// Enters the program as Windows starts a process (x87 control word 0x027F) and returns the code
// it passed to ExitProcess. False, with the reason, when the entry returned without it.
bool run_program_entry(const LoadedProgram& program, unsigned* exit_code, std::string* reason);
