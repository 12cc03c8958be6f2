// Layouts as created through the real windows: the main window of practice_v4 in full, what sets
// the other deliverables apart, and exact bytes. (That the operations' handles are the right
// edits is checked when each profile compiles: variants/profile_check.cpp.)
#include "shell/shell.h"
#include "tasks/array/array.h"
#include "tasks/expression/expression.h"
#include "tasks/tabulation/tabulation.h"
#include "tests/support/deliverable.h"
#include "tests/support/program_driver.h"
#include "variants/profile.h"

#include <gtest/gtest.h>

namespace {

const DWORD child = WS_CHILD | WS_VISIBLE;
const DWORD statement_box_style =
    child | ES_MULTILINE | ES_AUTOVSCROLL | ES_AUTOHSCROLL | ES_READONLY;

struct ExpectedControl {
    const char* class_name;
    const char* text; // nullptr: not checked here
    DWORD style;
    DWORD ex_style;
    int x, y, width, height, id;
};

void expect_control(HWND control, const ExpectedControl& expected) {
    standin::WindowInfo info = standin::describe(control);
    EXPECT_EQ(info.class_name, expected.class_name);
    if (expected.text) {
        EXPECT_EQ(utf8_from_1251(info.text), utf8_from_1251(expected.text));
    }
    EXPECT_EQ(info.style, expected.style) << std::hex << info.style;
    EXPECT_EQ(info.ex_style, expected.ex_style);
    EXPECT_EQ(
        std::vector<int>({info.x, info.y, info.width, info.height, info.id}),
        std::vector<int>({expected.x, expected.y, expected.width, expected.height, expected.id}));
}

std::vector<HWND> main_controls() {
    std::vector<HWND> controls;
    run_program([&] { controls = standin::children(main_window()); });
    return controls;
}

TEST(MainWindowLayout, PracticeV4InFull) {
    if (!is_deliverable("practice_v4"))
        GTEST_SKIP();
    const DWORD button = child | BS_DEFPUSHBUTTON;
    const ExpectedControl expected[] = {
        {"button", "Відкрити", button, 0, 400, 480, 100, 40, 11},
        {"button", "Відкрити", button, 0, 400, 270, 100, 40, 10},
        {"button", "Відкрити", button, 0, 400, 90, 100, 40, 9},
        {"edit", nullptr, statement_box_style, WS_EX_CLIENTEDGE, 32, 440, 350, 120, 8},
        {"edit", nullptr, statement_box_style, WS_EX_CLIENTEDGE, 32, 230, 350, 120, 6},
        {"edit", "Протабулювати функцію ln(x+1)", statement_box_style, WS_EX_CLIENTEDGE, 32, 50,
         350, 120, 5},
        {"static", "Варіант №4", child | SS_NOTIFY, 0, 224, 8, 80, 17, 4},
        {"button", "Завдання 3", child | BS_GROUPBOX, 0, 24, 420, 500, 150, 3},
        {"button", "Завдання 2", child | BS_GROUPBOX, 0, 24, 210, 500, 150, 2},
        {"button", "Завдання 1", child | BS_GROUPBOX, 0, 24, 30, 500, 150, 1},
    };
    std::vector<HWND> controls = main_controls();
    ASSERT_EQ(controls.size(), std::size(expected));
    for (size_t i = 0; i < controls.size(); ++i) {
        SCOPED_TRACE("control " + std::to_string(i + 1));
        expect_control(controls[i], expected[i]);
    }
    EXPECT_EQ(text(controls[3]),
              to_1251(u8" Знайти суму кубів всіх від’ємних елементів\r\n масиву, які "
                      u8"задовольняють умові: a[i]>=c*d"));
}

struct DistinguishingControl {
    const char* deliverable;
    int index; // in creation order
    ExpectedControl control;
};

const DWORD push = child | BS_DEFPUSHBUTTON;
const DistinguishingControl distinguishing_controls[] = {
    {"practice_v4_early", 0, {"button", "Відкрити", push, 0, 400, 485, 100, 25, 11}},
    {"practice_v4_early", 2, {"button", "Відкрити", push, 0, 400, 95, 100, 25, 9}},
    {"practice_v4_early",
     3,
     {"edit", nullptr, statement_box_style & ~ES_READONLY, WS_EX_CLIENTEDGE, 32, 440, 350, 120, 8}},
    {"practice_v4_early", 6, {"static", "Варіант №4", child | SS_NOTIFY, 0, 224, 8, 80, 17, 4}},
    {"practice_v1", 0, {"button", "Про програму", push, 0, 280, 80, 170, 40, 13}},
    {"practice_v1", 1, {"button", "ВИХІД", push, 0, 280, 160, 170, 40, 12}},
    {"practice_v1", 4, {"button", "Завдання 1", push, 0, 50, 40, 170, 40, 9}},
    {"practice_v8", 0, {"static", "Варіант №8", child | SS_NOTIFY, 0, 20, 20, 300, 17, 8}},
    {"practice_v8", 1, {"button", "Завдання 3", push, 0, 40, 190, 220, 35, 5}},
    {"practice_v8", 3, {"button", "Завдання 1", push, 0, 40, 50, 220, 35, 7}},
    {"practice_v5", 1, {"button", "Відкрити ТРЕТЄ завданння", push, 0, 40, 190, 220, 35, 11}},
    {"practice_v5", 3, {"button", "Відкрити ПЕРШЕ завданння", push, 0, 40, 50, 220, 35, 9}},
    {"practice_v14", 0, {"static", nullptr, child | SS_NOTIFY, 0, 30, 220, 300, 17, 8}},
    {"practice_v14", 1, {"button", "Завдання 3", push, 0, 40, 170, 230, 35, 5}},
    {"practice_v6", 0, {"button", "Завдання 3", push, 0, 50, 200, 200, 40, 11}},
    {"practice_v6", 2, {"button", "Завдання 1", push, 0, 50, 40, 200, 40, 9}},
};

TEST(MainWindowLayout, DistinguishingControlsOfEachDeliverable) {
    std::vector<HWND> controls = main_controls();
    for (const DistinguishingControl& row : distinguishing_controls) {
        if (!is_deliverable(row.deliverable) || row.index >= (int)controls.size())
            continue;
        SCOPED_TRACE("control " + std::to_string(row.index + 1));
        expect_control(controls[row.index], row.control);
    }
}

TEST(MainWindowLayout, CreditsNameTheVariantFirst) {
    std::string caption, label;
    run_program([&] {
        caption = text(main_window());
        label = text(standin::children(main_window())[0]);
    });
    if (is_deliverable("practice_v1")) {
        EXPECT_EQ(caption.rfind(to_1251(u8"Практика 2011. "), 0), 0u);
        EXPECT_EQ(caption.substr(caption.size() - 12), to_1251(u8". Варіант №1"));
    }
    if (is_deliverable("practice_v5")) {
        EXPECT_EQ(label.rfind(to_1251(u8"Варіант №5 "), 0), 0u);
    }
    if (is_deliverable("practice_v14")) {
        EXPECT_EQ(label.rfind(to_1251(u8"Варіант №14. "), 0), 0u);
    }
}

TEST(TaskWindowLayout, PracticeV8ArrayWindowInFull) {
    if (!is_deliverable("practice_v8"))
        GTEST_SKIP();
    const DWORD label = child | SS_NOTIFY, input = child | ES_AUTOHSCROLL,
                result = child | ES_AUTOHSCROLL | ES_READONLY;
    const DWORD edge = WS_EX_CLIENTEDGE;
    const ExpectedControl expected[] = {
        {"button", "Добавити", push, 0, 70, 170, 120, 40, 3},
        {"button", "Виконати", push, 0, 300, 100, 120, 40, 4},
        {"static", "C= ", label, 0, 30, 20, 20, 17, 222},
        {"static", "D= ", label, 0, 30, 70, 20, 17, 222},
        {"static", "a[i]= ", label, 0, 30, 120, 30, 17, 222},
        {"static", "<0: ", label, 0, 250, 160, 20, 17, 222},
        {"static", "=0: ", label, 0, 250, 200, 20, 17, 222},
        {"static", ">0: ", label, 0, 250, 240, 20, 17, 222},
        {"static", nullptr, label, 0, 240, 20, 220, 70, 222},
        {"edit", "", input, edge, 50, 20, 160, 24, 222},
        {"edit", "", input, edge, 50, 70, 160, 24, 222},
        {"edit", "", input, edge, 60, 120, 150, 24, 222},
        {"edit", "", result, edge, 280, 160, 170, 24, 222},
        {"edit", "", result, edge, 280, 200, 170, 24, 222},
        {"edit", "", result, edge, 280, 240, 170, 24, 222},
    };
    run_program([&] {
        std::vector<HWND> controls = standin::children(open_task_window(3));
        ASSERT_EQ(controls.size(), std::size(expected));
        for (size_t i = 0; i < controls.size(); ++i) {
            SCOPED_TRACE("control " + std::to_string(i + 1));
            expect_control(controls[i], expected[i]);
        }
        EXPECT_EQ(controls[9], task3_c_edit);
        EXPECT_EQ(controls[11], task3_element_edit);
        EXPECT_EQ(controls[12], task3_negative_edit);
        EXPECT_EQ(controls[14], task3_positive_edit);
    });
}

TEST(TaskWindowLayout, LabelClicksAndEditNotificationsDoNothing) {
    run_program([] {
        for (int task = 1; task <= 3; ++task) {
            HWND window = open_task_window(task);
            std::vector<std::string> before;
            for (HWND control : standin::children(window))
                before.push_back(text(control));
            for (HWND control : standin::children(window)) {
                standin::WindowInfo info = standin::describe(control);
                if (info.class_name == "static")
                    standin::click(control);
                SendMessageA(window, WM_COMMAND, MAKEWPARAM(info.id, 0), 0);
                SendMessageA(window, WM_COMMAND, MAKEWPARAM(info.id, EN_CHANGE), (LPARAM)control);
            }
            std::vector<std::string> after;
            for (HWND control : standin::children(window))
                after.push_back(text(control));
            EXPECT_EQ(after, before) << "task " << task;
        }
        EXPECT_TRUE(standin::message_boxes().empty());
        EXPECT_EQ(element_count, 0);
    });
}

struct StatementCase {
    const char* deliverable;
    int task;
    int index; // in creation order
    const char* utf8_text;
};

const StatementCase statement_cases[] = {
    {"practice_v6", 2, 7,
     u8"     Обчислити і вивести на екран значення\r\n   наступного виразу\r\n         Якщо "
     u8"A=B, X = -2\r\n         Якщо A>B  X = (2+b)/a\r\n         Якщо A<B  X = (a-5)/b\r\n   де "
     u8"A та B вхідні дані (дійсні числа),\r\n   X результат обчислення виразу"},
    {"practice_v6", 3, 10,
     u8" Знайти суму квадратів всіх додатних елементів\r\n масиву, які задовольняють умові: "
     u8"a[i]>=d/с"},
    {"practice_v6", 1, 11, u8"Протабулювати функцію ln(1-x)"},
    {"practice_v8", 2, 4,
     u8"   Обчислити і вивести на екран значення\r\n   наступного виразу\r\n         Якщо A=B, "
     u8"X = -4\r\n         Якщо A>B  X = (3A-5)/B\r\n         Якщо A<B  X = (A^3+B)/A\r\n   де "
     u8"A та B вхідні дані (дійсні числа),\r\n   X результат обчислення виразу"},
    {"practice_v8", 3, 8,
     u8"Знайти скільки додатних, від’ємних і рівних нулю елементів в масиві задовольняють "
     u8"умові: c<=a[i]<=d"},
    {"practice_v8", 1, 5, u8"Завдання: Протабулювати функцію: arctg X"},
    {"practice_v5", 3, 6,
     u8" Знайти, скільки додатних  елементів масиву задовольняє умові: c<=a[i]<=d"},
    {"practice_v14", 3, 6,
     u8"Знайти добуток від’ємних елементів масиву, які задовольняють умові:a[i]>=(c+d)/c"},
};

TEST(TaskWindowLayout, StatementBytesAreExact) {
    for (const StatementCase& c : statement_cases) {
        if (!is_deliverable(c.deliverable))
            continue;
        std::string shown;
        run_program([&] { shown = text(standin::children(open_task_window(c.task))[c.index]); });
        EXPECT_EQ(shown, to_1251(c.utf8_text)) << "task " << c.task;
    }
    // Bytes easy to get wrong: ’ 0x92, Cyrillic с 0xF1, і 0xB3, є 0xBA, № 0xB9.
    EXPECT_EQ(to_1251(u8"’с")[0], '\x92');
    EXPECT_EQ(to_1251(u8"’с")[1], '\xF1');
    EXPECT_EQ(std::string("і є №"), "\xB3 \xBA \xB9");
}

} // namespace
