#include "tests/shipped/pe_loader.h"

#include "platform/standin/winapi.h"
#include "platform/x87.h"

#include <setjmp.h>
#include <stdint.h>
#include <strings.h>
#include <sys/mman.h>

#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <vector>

namespace {

const uint16_t machine_i386 = 0x14C;
const uint16_t pe32_magic = 0x10B;
const uint16_t file_relocations_stripped = 0x0001;
const uint16_t file_executable = 0x0002;
const uint16_t file_dll = 0x2000;
const uint32_t section_executes = 0x20000000;
const uint32_t section_reads = 0x40000000;
const uint32_t section_writes = 0x80000000;
const unsigned import_directory = 1;
const unsigned relocation_directory = 5;
const unsigned tls_directory = 9;
const unsigned relocation_padding = 0;
const unsigned relocation_highlow = 3;
const uint32_t page_size = 4096;
const uint32_t largest_image = 64u << 20;
// The x87 setting Windows starts a process with; only a C runtime would change it.
const unsigned short windows_start_control_word = 0x027F;

// Little-endian reads that never leave the bytes they were given.
struct Bytes {
    const uint8_t* data;
    size_t size;

    bool has(size_t offset, size_t count) const { return offset <= size && count <= size - offset; }
    uint16_t u16(size_t offset) const { return (uint16_t)(data[offset] | data[offset + 1] << 8); }
    uint32_t u32(size_t offset) const { return u16(offset) | (uint32_t)u16(offset + 2) << 16; }
    // A NUL-terminated name wholly inside, or null.
    const char* text(size_t offset) const {
        if (offset >= size || !memchr(data + offset, 0, size - offset))
            return nullptr;
        return reinterpret_cast<const char*>(data + offset);
    }
};

bool refuse(std::string* reason, const char* format, ...) {
    char text[256];
    va_list arguments;
    va_start(arguments, format);
    vsnprintf(text, sizeof text, format, arguments);
    va_end(arguments);
    *reason = text;
    return false;
}

// What the program's ExitProcess and GetModuleHandleA reach: the loader, not the stand-in, so
// that an exit returns here and the module handle is the image's base as on Windows.
jmp_buf exit_jump;
unsigned exit_code_passed;
unsigned char* running_base;

void WINAPI exit_to_loader(UINT exit_code) {
    exit_code_passed = exit_code;
    longjmp(exit_jump, 1);
}

HMODULE WINAPI module_of_running_program(LPCSTR module_name) {
    return module_name ? nullptr : reinterpret_cast<HMODULE>(running_base);
}

struct Binding {
    const char* dll;
    const char* name;
    void* function;
};

// The fields of a USER32 row: the stand-in's function of that name.
#define STANDIN(function) "USER32.dll", #function, reinterpret_cast<void*>(&function)
const Binding bindings[] = {
    {"KERNEL32.dll", "ExitProcess", reinterpret_cast<void*>(&exit_to_loader)},
    {"KERNEL32.dll", "GetModuleHandleA", reinterpret_cast<void*>(&module_of_running_program)},
    {STANDIN(LoadIconA)},
    {STANDIN(LoadCursorA)},
    {STANDIN(RegisterClassExA)},
    {STANDIN(CreateWindowExA)},
    {STANDIN(DestroyWindow)},
    {STANDIN(ShowWindow)},
    {STANDIN(UpdateWindow)},
    {STANDIN(GetMessageA)},
    {STANDIN(TranslateMessage)},
    {STANDIN(DispatchMessageA)},
    {STANDIN(DefWindowProcA)},
    {STANDIN(PostQuitMessage)},
    {STANDIN(PostMessageA)},
    {STANDIN(SendMessageA)},
    {STANDIN(FlashWindow)},
    {STANDIN(SetFocus)},
    {STANDIN(MessageBoxA)},
    {STANDIN(GetWindowTextLengthA)},
    {STANDIN(GetWindowTextA)},
    {STANDIN(SetWindowTextA)},
};
#undef STANDIN

bool is_provided_dll(const char* dll) {
    return strcasecmp(dll, "KERNEL32.dll") == 0 || strcasecmp(dll, "USER32.dll") == 0;
}

void* binding_of(const char* dll, const char* name) {
    for (const Binding& binding : bindings)
        if (strcasecmp(binding.dll, dll) == 0 && strcmp(binding.name, name) == 0)
            return binding.function;
    return nullptr;
}

struct Section {
    char name[9];
    uint32_t address, virtual_size, raw_size, raw_offset, characteristics;
};

struct Headers {
    uint32_t entry = 0, image_base = 0, image_size = 0, headers_size = 0;
    uint16_t characteristics = 0;
    uint32_t directory_count = 0;
    size_t directories = 0; // file offset of the data directories
    std::vector<Section> sections;
};

uint32_t round_up(uint32_t value, uint32_t step) {
    return (value + step - 1) / step * step;
}

uint32_t mapped_size(const Section& section) {
    return section.virtual_size ? section.virtual_size : section.raw_size;
}

bool read_headers(const Bytes& file, Headers* headers, std::string* reason) {
    if (!file.has(0, 64) || file.data[0] != 'M' || file.data[1] != 'Z')
        return refuse(reason, "not a PE image: no MZ header");
    uint32_t pe = file.u32(0x3C);
    if (!file.has(pe, 24))
        return refuse(reason, "truncated: the PE header at 0x%x lies past the end", pe);
    if (memcmp(file.data + pe, "PE\0\0", 4) != 0)
        return refuse(reason, "not a PE image: no PE signature at 0x%x", pe);
    uint16_t machine = file.u16(pe + 4);
    if (machine != machine_i386)
        return refuse(reason, "not an i386 image: machine 0x%04x", machine);
    uint16_t section_count = file.u16(pe + 6);
    uint16_t optional_size = file.u16(pe + 20);
    headers->characteristics = file.u16(pe + 22);
    if (!(headers->characteristics & file_executable) || (headers->characteristics & file_dll))
        return refuse(reason, "not a program: characteristics 0x%04x", headers->characteristics);

    size_t optional = pe + 24;
    if (!file.has(optional, optional_size) || optional_size < 96)
        return refuse(reason, "truncated: optional header of %u bytes", optional_size);
    if (file.u16(optional) != pe32_magic)
        return refuse(reason, "not a PE32 image: optional header magic 0x%x", file.u16(optional));
    headers->entry = file.u32(optional + 16);
    headers->image_base = file.u32(optional + 28);
    uint32_t section_alignment = file.u32(optional + 32);
    headers->image_size = file.u32(optional + 56);
    headers->headers_size = file.u32(optional + 60);
    headers->directory_count = file.u32(optional + 92);
    headers->directories = optional + 96;
    if (headers->directory_count > 16 || 96 + 8 * headers->directory_count > optional_size)
        return refuse(reason, "inconsistent: %u data directories in %u bytes",
                      headers->directory_count, optional_size);
    if (section_alignment == 0 || section_alignment % page_size != 0)
        return refuse(reason, "section alignment 0x%x is not a multiple of the page size",
                      section_alignment);
    if (headers->image_size == 0 || headers->image_size > largest_image ||
        headers->headers_size > headers->image_size || headers->headers_size > file.size)
        return refuse(reason, "inconsistent: image of 0x%x bytes with 0x%x bytes of headers",
                      headers->image_size, headers->headers_size);

    size_t table = optional + optional_size;
    if (!file.has(table, 40u * section_count) ||
        table + 40u * section_count > headers->headers_size)
        return refuse(reason, "truncated: %u section headers", section_count);
    uint32_t end_of_previous = headers->headers_size;
    for (uint16_t i = 0; i < section_count; ++i) {
        size_t at = table + 40u * i;
        Section section = {};
        memcpy(section.name, file.data + at, 8);
        section.virtual_size = file.u32(at + 8);
        section.address = file.u32(at + 12);
        section.raw_size = file.u32(at + 16);
        section.raw_offset = file.u32(at + 20);
        section.characteristics = file.u32(at + 36);
        uint32_t size = mapped_size(section);
        if (section.address % section_alignment != 0 || section.address < end_of_previous ||
            section.address > headers->image_size || size > headers->image_size - section.address)
            return refuse(reason, "inconsistent: section %s at 0x%x, 0x%x bytes", section.name,
                          section.address, size);
        if (section.raw_size && !file.has(section.raw_offset, section.raw_size))
            return refuse(reason, "truncated: section %s lies past the end of the file",
                          section.name);
        end_of_previous = section.address + size;
        headers->sections.push_back(section);
    }
    return true;
}

struct Directory {
    uint32_t address, size;
};

Directory directory(const Bytes& file, const Headers& headers, unsigned index) {
    if (index >= headers.directory_count)
        return {0, 0};
    size_t at = headers.directories + 8 * index;
    return {file.u32(at), file.u32(at + 4)};
}

bool within(const Directory& d, uint32_t image_size) {
    return d.address <= image_size && d.size <= image_size - d.address;
}

bool apply_relocations(uint8_t* base, const Headers& headers, Directory relocations,
                       std::string* reason) {
    Bytes image = {base, headers.image_size};
    uint32_t delta = (uint32_t)(uintptr_t)base - headers.image_base;
    for (uint32_t at = relocations.address; at < relocations.address + relocations.size;) {
        if (!image.has(at, 8))
            return refuse(reason, "inconsistent: relocation block at 0x%x", at);
        uint32_t page = image.u32(at), block_size = image.u32(at + 4);
        if (block_size < 8 || block_size % 2 ||
            block_size > relocations.address + relocations.size - at)
            return refuse(reason, "inconsistent: relocation block of %u bytes", block_size);
        for (uint32_t entry = at + 8; entry < at + block_size; entry += 2) {
            unsigned type = image.u16(entry) >> 12;
            uint32_t target = page + (image.u16(entry) & 0xFFF);
            if (type == relocation_padding)
                continue;
            if (type != relocation_highlow)
                return refuse(reason, "relocation of type %u at 0x%x is not supported", type,
                              target);
            if (!image.has(target, 4))
                return refuse(reason, "inconsistent: relocation at 0x%x", target);
            uint32_t value = image.u32(target) + delta;
            memcpy(base + target, &value, 4);
        }
        at += block_size;
    }
    return true;
}

bool bind_imports(uint8_t* base, const Headers& headers, Directory imports, std::string* reason) {
    Bytes image = {base, headers.image_size};
    for (uint32_t at = imports.address;; at += 20) {
        if (!image.has(at, 20))
            return refuse(reason, "inconsistent: import descriptor at 0x%x", at);
        uint32_t lookup = image.u32(at), name = image.u32(at + 12), thunks = image.u32(at + 16);
        if (name == 0 && thunks == 0)
            return true;
        const char* dll = image.text(name);
        if (!dll)
            return refuse(reason, "inconsistent: import name at 0x%x", name);
        if (!is_provided_dll(dll))
            return refuse(reason, "imports from %s, which the stand-in does not provide", dll);
        if (lookup == 0)
            lookup = thunks;
        for (uint32_t i = 0;; ++i) {
            if (!image.has(lookup + 4 * i, 4) || !image.has(thunks + 4 * i, 4))
                return refuse(reason, "inconsistent: import table of %s", dll);
            uint32_t entry = image.u32(lookup + 4 * i);
            if (entry == 0)
                break;
            if (entry & 0x80000000u)
                return refuse(reason, "imports %s ordinal %u; only imports by name are bound", dll,
                              entry & 0xFFFF);
            const char* function = image.text(entry + 2);
            if (!function)
                return refuse(reason, "inconsistent: import name at 0x%x", entry);
            void* bound = binding_of(dll, function);
            if (!bound)
                return refuse(reason, "imports %s!%s, which the stand-in does not provide", dll,
                              function);
            uint32_t address = (uint32_t)(uintptr_t)bound;
            memcpy(base + thunks + 4 * i, &address, 4);
        }
    }
}

int protection_of(const Section& section) {
    int protection = PROT_NONE;
    if (section.characteristics & section_reads)
        protection |= PROT_READ;
    if (section.characteristics & section_writes)
        protection |= PROT_WRITE;
    if (section.characteristics & section_executes)
        protection |= PROT_EXEC;
    return protection;
}

} // namespace

bool load_program(const char* path, LoadedProgram* program, std::string* reason) {
    std::ifstream stream(path, std::ios::binary);
    if (!stream)
        return refuse(reason, "cannot read %s", path);
    std::vector<uint8_t> content((std::istreambuf_iterator<char>(stream)),
                                 std::istreambuf_iterator<char>());
    Bytes file = {content.data(), content.size()};
    Headers headers;
    if (!read_headers(file, &headers, reason))
        return false;
    bool entry_in_code = false;
    for (const Section& section : headers.sections)
        entry_in_code = entry_in_code || ((section.characteristics & section_executes) &&
                                          headers.entry >= section.address &&
                                          headers.entry - section.address < mapped_size(section));
    if (!entry_in_code)
        return refuse(reason, "inconsistent: entry point 0x%x lies outside the code",
                      headers.entry);
    Directory imports = directory(file, headers, import_directory);
    Directory relocations = directory(file, headers, relocation_directory);
    if (!within(imports, headers.image_size) || !within(relocations, headers.image_size))
        return refuse(reason, "inconsistent: a data directory lies outside the image");
    if (directory(file, headers, tls_directory).size != 0)
        return refuse(reason, "has thread-local storage, which the loader does not set up");
    if (imports.size == 0)
        return refuse(reason, "has no imports");

    // With relocations the image goes wherever there is room, so they are really applied;
    // without, only its own base will do.
    bool relocatable =
        relocations.size != 0 && !(headers.characteristics & file_relocations_stripped);
    void* wanted = relocatable ? nullptr : (void*)(uintptr_t)headers.image_base;
    void* mapped =
        mmap(wanted, headers.image_size, PROT_READ | PROT_WRITE,
             MAP_PRIVATE | MAP_ANONYMOUS | (relocatable ? 0 : MAP_FIXED_NOREPLACE), -1, 0);
    if (mapped == MAP_FAILED || (!relocatable && mapped != wanted))
        return refuse(reason, "has no relocations, and its base 0x%x is taken", headers.image_base);
    uint8_t* base = static_cast<uint8_t*>(mapped);
    memcpy(base, content.data(), headers.headers_size);
    for (const Section& section : headers.sections) {
        uint32_t size = mapped_size(section);
        memcpy(base + section.address, content.data() + section.raw_offset,
               section.raw_size < size ? section.raw_size : size);
    }
    bool ready = (!relocatable || apply_relocations(base, headers, relocations, reason)) &&
                 bind_imports(base, headers, imports, reason);
    if (ready) {
        mprotect(base, round_up(headers.headers_size, page_size), PROT_READ);
        for (const Section& section : headers.sections)
            mprotect(base + section.address, round_up(mapped_size(section), page_size),
                     protection_of(section));
    }
    if (!ready) {
        munmap(base, headers.image_size);
        return false;
    }
    program->base = base;
    program->size = headers.image_size;
    program->entry = reinterpret_cast<void (*)()>(base + headers.entry);
    return true;
}

void unload_program(LoadedProgram* program) {
    if (program->base)
        munmap(program->base, program->size);
    *program = LoadedProgram();
}

bool run_program_entry(const LoadedProgram& program, unsigned* exit_code, std::string* reason) {
    running_base = program.base;
    const unsigned short caller_control_word = x87_get_control_word();
    if (setjmp(exit_jump) == 0) {
        x87_reset();
        x87_set_control_word(windows_start_control_word);
        program.entry();
        x87_reset();
        x87_set_control_word(caller_control_word);
        return refuse(reason, "the entry point returned without calling ExitProcess");
    }
    x87_reset();
    x87_set_control_word(caller_control_word);
    *exit_code = exit_code_passed;
    return true;
}
