// The programs' texts as Windows-1251 bytes, by rules that hold for every profile: the letters that
// another code page or a look-alike would get wrong, and the variant that each main window names.
// Every text itself is the window snapshots' (tests/shipped/windows/); that each is Windows-1251
// with line breaks as CR LF is checked when its profile compiles (variants/profile_check.cpp).
#include "tests/shipped/window_snapshot.h"
#include "tests/support/deliverable.h"
#include "variants/profile.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// The compiler writes each letter as its Windows-1251 byte (the profiles are built with the same
// flags as this test), and the snapshots read that byte back as the same letter.
TEST(TextBytes, LettersTakeTheirWindows1251Bytes) {
    struct Letter {
        std::string compiled, utf8, byte;
    };
    const Letter letters[] = {
        {"і", u8"і", "\xB3"}, {"ї", u8"ї", "\xBF"}, {"є", u8"є", "\xBA"}, {"Є", u8"Є", "\xAA"},
        {"№", u8"№", "\xB9"}, {"’", u8"’", "\x92"}, {"с", u8"с", "\xF1"}, {"Х", u8"Х", "\xD5"},
    };
    for (const Letter& letter : letters) {
        EXPECT_EQ(letter.compiled, letter.byte) << letter.utf8;
        EXPECT_EQ(quoted_text(letter.byte), "\"" + letter.utf8 + "\"");
    }
}

// "Варіант №N", N from the deliverable's name: the end of the main window's caption, or a label of
// the main window that a credit may follow.
TEST(TextBytes, MainWindowNamesItsVariant) {
    const std::string name = deliverable_name, prefix = "practice_v";
    ASSERT_EQ(name.rfind(prefix, 0), 0u);
    const std::string variant =
        "Варіант №" + name.substr(prefix.size(), name.find('_', prefix.size()) - prefix.size());
    const std::string caption = profile.main_window.caption;
    bool named = caption.size() >= variant.size() &&
                 caption.compare(caption.size() - variant.size(), variant.size(), variant) == 0;
    for (int i = 0; i < profile.main_controls.count; ++i) {
        const ControlSpec& row = profile.main_controls.rows[i];
        const std::string text = row.text;
        named = named ||
                (std::string(row.class_name) == "static" && text.rfind(variant, 0) == 0 &&
                 (text.size() == variant.size() || !isdigit((unsigned char)text[variant.size()])));
    }
    EXPECT_TRUE(named) << quoted_text(variant) << " ends no caption and begins no label";
}

} // namespace
