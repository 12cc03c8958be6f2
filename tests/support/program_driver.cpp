#include "tests/support/program_driver.h"

#include "numtext/numtext.h"
#include "shell/shell.h"
#include "tasks/array/array.h"
#include "variants/profile.h"

#include <gtest/gtest.h>

namespace {

const char* const task_classes[] = {"Window1", "Window2", "Window3"};

int run(const std::function<void()>& user, bool close_afterwards) {
    standin::reset();
    reset_program_state();
    bool acted = false;
    standin::on_idle([&]() {
        if (acted)
            return false;
        acted = true;
        user();
        HWND main = main_window();
        if (close_afterwards && main)
            standin::close(main);
        return true;
    });
    int exit_code = app_main(GetModuleHandleA(0));
    EXPECT_FALSE(standin::starved()) << "the program's loop ran out of input";
    return exit_code;
}

} // namespace

void reset_program_state() {
    window1_open = window2_open = window3_open = 0;
    window1_handle = window2_handle = window3_handle = 0;
    results_text[0] = 0;
    element_count = 0;
}

int run_program(const std::function<void()>& user) {
    return run(user, true);
}
int run_program_until_exit(const std::function<void()>& user) {
    return run(user, false);
}

HWND main_window() {
    return standin::find_top_level("cl_main");
}

HWND launch_button(int task) {
    return child_with_id(main_window(), profile.task_windows[task - 1].launch_id);
}

HWND open_task_window(int task) {
    standin::click(launch_button(task));
    return task_window(task);
}

HWND task_window(int task) {
    return standin::find_top_level(task_classes[task - 1]);
}

HWND child_with_id(HWND window, int id) {
    return standin::child_by_id(window, id);
}

void click_id(HWND window, int id) {
    HWND control = child_with_id(window, id);
    EXPECT_NE(control, nullptr) << "no control with ID " << id;
    standin::click(control);
}

void type(HWND edit, const std::string& text) {
    standin::type_text(edit, text);
}

std::string text(HWND window) {
    return standin::text_of(window);
}

std::string utf8_from_1251(const std::string& text) {
    std::string out;
    for (unsigned char c : text) {
        if (c < 0x80) {
            out += (char)c;
            continue;
        }
        unsigned code = '?';
        if (c >= 0xC0)
            code = 0x410 + (c - 0xC0);
        else if (c == 0xB4)
            code = 0x491; // ґ
        else if (c == 0xA5)
            code = 0x490; // Ґ
        else if (c == 0xB3)
            code = 0x456; // і
        else if (c == 0xB2)
            code = 0x406; // І
        else if (c == 0xBF)
            code = 0x457; // ї
        else if (c == 0xAF)
            code = 0x407; // Ї
        else if (c == 0xBA)
            code = 0x454; // є
        else if (c == 0xAA)
            code = 0x404; // Є
        else if (c == 0xB9)
            code = 0x2116; // №
        else if (c == 0x92)
            code = 0x2019; // ’
        if (code < 0x800) {
            out += (char)(0xC0 | (code >> 6));
            out += (char)(0x80 | (code & 0x3F));
        } else {
            out += (char)(0xE0 | (code >> 12));
            out += (char)(0x80 | ((code >> 6) & 0x3F));
            out += (char)(0x80 | (code & 0x3F));
        }
    }
    return out;
}

std::vector<std::string> box_texts() {
    std::vector<std::string> texts;
    for (const standin::MessageBoxRecord& box : standin::message_boxes())
        texts.push_back(box.text);
    return texts;
}

std::string to_1251(const char* utf8) {
    std::string out;
    for (const unsigned char* p = (const unsigned char*)utf8; *p;) {
        unsigned code = *p++;
        if (code >= 0xE0) {
            code = (code & 0x0F) << 12;
            code |= (*p++ & 0x3F) << 6;
            code |= *p++ & 0x3F;
        } else if (code >= 0xC0) {
            code = (code & 0x1F) << 6;
            code |= *p++ & 0x3F;
        }
        if (code < 0x80)
            out += (char)code;
        else if (code >= 0x410 && code <= 0x44F)
            out += (char)(0xC0 + code - 0x410);
        else if (code == 0x491)
            out += '\xB4';
        else if (code == 0x490)
            out += '\xA5';
        else if (code == 0x456)
            out += '\xB3';
        else if (code == 0x406)
            out += '\xB2';
        else if (code == 0x457)
            out += '\xBF';
        else if (code == 0x407)
            out += '\xAF';
        else if (code == 0x454)
            out += '\xBA';
        else if (code == 0x404)
            out += '\xAA';
        else if (code == 0x2116)
            out += '\xB9';
        else if (code == 0x2019)
            out += '\x92';
        else
            out += '?';
    }
    return out;
}
