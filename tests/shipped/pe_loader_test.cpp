// The loader refuses, and says why, whatever it could not run faithfully: copies of a release
// program with one thing wrong.
#include "tests/shipped/pe_loader.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <functional>
#include <iterator>

namespace {

std::string read_file(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
}

void put_u16(std::string& bytes, size_t at, unsigned value) {
    bytes[at] = (char)(value & 0xFF);
    bytes[at + 1] = (char)(value >> 8);
}

void replace(std::string& bytes, const std::string& from, const std::string& to) {
    size_t at = bytes.find(from);
    ASSERT_NE(at, std::string::npos) << from;
    bytes.replace(at, from.size(), to);
}

TEST(PeLoader, RefusesWhatItCannotRunAndSaysWhy) {
    const std::string program = read_file(SHIPPED_PROGRAMS_DIR "/practice_v4.exe");
    ASSERT_GT(program.size(), 1024u) << "build the mingw-i686 preset first";
    size_t pe = (unsigned char)program[0x3C] | (unsigned char)program[0x3D] << 8;
    size_t first_section = pe + 24 + 224; // PE32 optional header with 16 directories

    struct Case {
        const char* what;
        std::function<void(std::string&)> change;
        const char* reason;
    };
    const Case cases[] = {
        {"a text", [](std::string& b) { b = "not a program\n"; }, "not a PE image: no MZ header"},
        {"no signature", [&](std::string& b) { b[pe] = 'X'; }, "no PE signature"},
        {"x86-64 code", [&](std::string& b) { put_u16(b, pe + 4, 0x8664); },
         "not an i386 image: machine 0x8664"},
        {"PE32+", [&](std::string& b) { put_u16(b, pe + 24, 0x20B); },
         "not a PE32 image: optional header magic 0x20b"},
        {"a DLL", [&](std::string& b) { put_u16(b, pe + 22, 0x2102); }, "not a program"},
        {"cut in half", [](std::string& b) { b.resize(b.size() / 2); }, "truncated: section"},
        {"a section past the image",
         [&](std::string& b) { put_u16(b, first_section + 10, 0x7FFF); },
         "inconsistent: section .text"},
        {"another DLL", [](std::string& b) { replace(b, "USER32.dll", "GDI32X.dll"); },
         "imports from GDI32X.dll, which the stand-in does not provide"},
        {"another function", [](std::string& b) { replace(b, "FlashWindow", "FlashWindoX"); },
         "imports USER32.dll!FlashWindoX, which the stand-in does not provide"},
    };
    // A name of this process's own: the temporary folder is shared with other users and runs.
    const std::string path = testing::TempDir() + "changed-" + std::to_string(getpid()) + ".exe";
    for (const Case& c : cases) {
        std::string bytes = program;
        c.change(bytes);
        ASSERT_TRUE(std::ofstream(path, std::ios::binary) << bytes) << "cannot write " << path;
        LoadedProgram loaded;
        std::string reason;
        EXPECT_FALSE(load_program(path.c_str(), &loaded, &reason)) << c.what;
        EXPECT_NE(reason.find(c.reason), std::string::npos) << c.what << ": " << reason;
        EXPECT_EQ(loaded.base, nullptr) << c.what;
    }
    std::remove(path.c_str());

    LoadedProgram loaded;
    std::string reason;
    ASSERT_TRUE(load_program(SHIPPED_PROGRAMS_DIR "/practice_v4.exe", &loaded, &reason)) << reason;
    EXPECT_NE((uintptr_t)loaded.base, 0x400000u) << "loaded at its own base: nothing relocated";
    unload_program(&loaded);
}

} // namespace
