// The Windows-1251 bytes that the profiles carry: the letters that another code page or a
// look-alike Latin letter would get wrong, and line breaks that the edit controls show only as CR
// LF.
#include "tests/support/deliverable.h"
#include "variants/profile.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

enum TextGroup { captions, main_texts, task1_texts, task2_texts, task3_texts, message_texts };

void add_table(std::vector<std::string>& texts, ControlTable table) {
    for (int i = 0; i < table.count; ++i)
        texts.push_back(table.rows[i].text);
}

std::vector<std::string> texts_of(TextGroup group) {
    std::vector<std::string> texts;
    switch (group) {
    case captions:
        texts.push_back(profile.main_window.caption);
        for (const TaskWindowSpec& window : profile.task_windows)
            texts.push_back(window.caption);
        break;
    case main_texts: add_table(texts, profile.main_controls); break;
    case task1_texts: add_table(texts, profile.tabulation.controls); break;
    case task2_texts: add_table(texts, profile.expression.controls); break;
    case task3_texts: add_table(texts, profile.array.controls); break;
    case message_texts:
        for (const char* text :
             {profile.already_open.text, profile.about_text, profile.array.added_text})
            if (text)
                texts.push_back(text);
        break;
    }
    return texts;
}

std::vector<std::string> all_texts() {
    std::vector<std::string> texts;
    for (TextGroup group :
         {captions, main_texts, task1_texts, task2_texts, task3_texts, message_texts}) {
        std::vector<std::string> more = texts_of(group);
        texts.insert(texts.end(), more.begin(), more.end());
    }
    return texts;
}

// The compiler's conversion itself: the profiles are built with the same flags as this test.
TEST(TextBytes, LettersTakeTheirWindows1251Bytes) {
    const std::pair<std::string, std::string> letters[] = {
        {"і", "\xB3"}, {"ї", "\xBF"}, {"є", "\xBA"}, {"Є", "\xAA"},
        {"№", "\xB9"}, {"’", "\x92"}, {"с", "\xF1"}, {"Х", "\xD5"},
    };
    for (const auto& [text, bytes] : letters)
        EXPECT_EQ(text, bytes) << "for " << bytes;
}

struct CarriedBytes {
    const char* deliverable;
    TextGroup group;
    const char* bytes; // expected inside one text of the group
    bool at_end;       // the text ends with the bytes
};

#define NEGATIVE_1251 "\xE2\xB3\xE4\x92\xBA\xEC\xED\xE8\xF5" // від’ємних
#define VARIANT_1251 "\xC2\xE0\xF0\xB3\xE0\xED\xF2 \xB9"     // Варіант №

const CarriedBytes carried_bytes[] = {
    {"practice_v4", main_texts, NEGATIVE_1251, false},
    {"practice_v4", main_texts, VARIANT_1251 "4", true},
    {"practice_v4", task1_texts, "X\xEF\xEE\xF7= ", true}, // Latin X, then поч
    {"practice_v4_early", main_texts, NEGATIVE_1251, false},
    {"practice_v4_early", task1_texts, "Xp= ", true},
    {"practice_v1", captions, ". " VARIANT_1251 "1", true},
    {"practice_v1", captions, "\xD2\xF0\xE5\xF2\xBA", false}, // Третє
    {"practice_v8", main_texts, VARIANT_1251 "8", true},
    {"practice_v8", task3_texts, NEGATIVE_1251, false},
    // ТРЕТЄ завданння, with its three н
    {"practice_v5", main_texts, "\xD2\xD0\xC5\xD2\xAA \xE7\xE0\xE2\xE4\xE0\xED\xED\xED\xFF", true},
    {"practice_v5", task3_texts, "\xE4\xEE\xE4\xE0\xF2\xED\xE8\xF5  \xE5", false}, // two blanks
    {"practice_v14", task3_texts, NEGATIVE_1251, false},
    {"practice_v14", message_texts, "\xE2\xB3\xE4\xEA\xF0\xE8\xF2\xE5 !", true}, // відкрите !
    {"practice_v6", captions, VARIANT_1251 "6", true},
    {"practice_v6", task3_texts, "a[i]>=d/\xF1", true}, // Cyrillic с, not Latin c
};

bool holds(const std::string& text, const CarriedBytes& row) {
    std::string bytes = row.bytes;
    if (!row.at_end)
        return text.find(bytes) != std::string::npos;
    return text.size() >= bytes.size() &&
           text.compare(text.size() - bytes.size(), bytes.size(), bytes) == 0;
}

TEST(TextBytes, ProfileCarriesTheBytesOfItsTexts) {
    for (const CarriedBytes& row : carried_bytes) {
        if (!is_deliverable(row.deliverable))
            continue;
        bool found = false;
        for (const std::string& text : texts_of(row.group))
            found = found || holds(text, row);
        EXPECT_TRUE(found) << "group " << row.group << " lacks the bytes of: " << row.bytes;
    }
}

// Multi-line statements break only at CR LF; a lone LF shows as a glyph, not a new line.
TEST(TextBytes, LineBreaksAreCrLfPairs) {
    const std::pair<const char*, int> line_breaks[] = {
        {"practice_v4", 7}, {"practice_v4_early", 5}, {"practice_v1", 7}, {"practice_v8", 6},
        {"practice_v5", 6}, {"practice_v14", 6},      {"practice_v6", 7},
    };
    int pairs = 0;
    for (const std::string& text : all_texts()) {
        for (size_t i = 0; i < text.size(); ++i) {
            if (text[i] == '\r') {
                EXPECT_EQ(text.substr(i + 1, 1), "\n") << "lone CR in: " << text;
                ++pairs;
            } else if (text[i] == '\n') {
                EXPECT_TRUE(i > 0 && text[i - 1] == '\r') << "lone LF in: " << text;
            }
        }
    }
    int expected_pairs = -1;
    for (const auto& [deliverable, count] : line_breaks)
        if (is_deliverable(deliverable))
            expected_pairs = count;
    EXPECT_EQ(pairs, expected_pairs) << "-1: no count of " << deliverable_name << " in line_breaks";
}

} // namespace
