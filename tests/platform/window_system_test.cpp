#include "platform/standin/harness.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct Delivery {
    HWND window;
    UINT message;
    WPARAM wparam;
    LPARAM lparam;
};
std::vector<Delivery> deliveries;
LRESULT create_result = 0;

LRESULT CALLBACK logging_procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    deliveries.push_back({window, message, wparam, lparam});
    if (message == WM_CREATE)
        return create_result;
    return DefWindowProcA(window, message, wparam, lparam);
}

std::vector<HWND> destroyed() {
    std::vector<HWND> result;
    for (const Delivery& d : deliveries)
        if (d.message == WM_DESTROY)
            result.push_back(d.window);
    return result;
}

class WindowSystem : public ::testing::Test {
  protected:
    void SetUp() override {
        standin::reset();
        deliveries.clear();
        create_result = 0;
        WNDCLASSEXA wc{};
        wc.cbSize = sizeof(wc);
        wc.lpfnWndProc = logging_procedure;
        wc.lpszClassName = "Logger";
        ASSERT_NE(RegisterClassExA(&wc), 0);
    }
    HWND make(DWORD style, HWND parent, int id = 0, const char* cls = "Logger") {
        return CreateWindowExA(0, cls, "", style, 0, 0, 10, 10, parent,
                               reinterpret_cast<HMENU>(static_cast<uintptr_t>(id)), nullptr,
                               nullptr);
    }
};

TEST_F(WindowSystem, RegistrationChecksSizeDuplicatesAndRefusals) {
    WNDCLASSEXA wc{};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = logging_procedure;
    wc.lpszClassName = "LOGGER";
    EXPECT_EQ(RegisterClassExA(&wc), 0); // names compare case-insensitively
    wc.lpszClassName = "Other";
    wc.cbSize = 0;
    EXPECT_EQ(RegisterClassExA(&wc), 0);
    wc.cbSize = sizeof(wc);
    standin::fail_registration_of("other");
    EXPECT_EQ(RegisterClassExA(&wc), 0);
    standin::fail_registration_of(nullptr);
    EXPECT_NE(RegisterClassExA(&wc), 0);
    ASSERT_EQ(standin::registered_classes().size(), 2u);
    EXPECT_EQ(standin::registered_classes()[1].name, "Other");

    standin::fail_creation_of("Logger");
    EXPECT_EQ(make(0, nullptr), nullptr);
    EXPECT_TRUE(deliveries.empty());
}

TEST_F(WindowSystem, CreateDeliversWmCreateInsideAndHonoursCancellation) {
    HWND window = make(WS_VISIBLE, nullptr);
    ASSERT_NE(window, nullptr);
    ASSERT_EQ(deliveries.size(), 1u);
    EXPECT_EQ(deliveries[0].message, static_cast<UINT>(WM_CREATE));
    EXPECT_EQ(deliveries[0].window, window);
    EXPECT_TRUE(standin::describe(window).visible);

    deliveries.clear();
    create_result = -1;
    EXPECT_EQ(make(0, nullptr), nullptr);
    ASSERT_EQ(deliveries.size(), 2u);
    HWND cancelled = deliveries[0].window;
    EXPECT_EQ(destroyed(), std::vector<HWND>{cancelled});
    EXPECT_FALSE(standin::is_alive(cancelled));
    EXPECT_EQ(standin::top_level_windows(), std::vector<HWND>{window});
}

TEST_F(WindowSystem, DestroyTakesOwnedWindowsFirstThenSelfThenChildren) {
    HWND main = make(0, nullptr);
    HWND child = make(WS_CHILD, main, 7);
    HWND grandchild = make(WS_CHILD, child, 8);
    HWND owned1 = make(0, main);
    HWND owned2 = make(0, main);
    HWND owned_child = make(WS_CHILD, owned1, 9);
    EXPECT_EQ(standin::describe(owned1).owner, main);
    EXPECT_EQ(standin::describe(child).parent, main);
    EXPECT_EQ(standin::child_by_id(main, 7), child);

    deliveries.clear();
    EXPECT_TRUE(DestroyWindow(main));
    EXPECT_EQ(destroyed(),
              (std::vector<HWND>{owned1, owned_child, owned2, main, child, grandchild}));
    for (HWND w : {main, child, grandchild, owned1, owned2, owned_child})
        EXPECT_FALSE(standin::is_alive(w));
    EXPECT_FALSE(DestroyWindow(main));
    EXPECT_TRUE(standin::top_level_windows().empty());
}

TEST_F(WindowSystem, StaleHandlesAreHarmlessAndUnknownOnesAreNoted) {
    HWND window = make(0, nullptr);
    standin::close(window); // DefWindowProcA destroys it
    ASSERT_FALSE(standin::is_alive(window));
    deliveries.clear();
    char buffer[8] = "xx";
    EXPECT_EQ(SendMessageA(window, WM_USER, 0, 0), 0);
    EXPECT_EQ(SetWindowTextA(window, "a"), FALSE);
    EXPECT_EQ(GetWindowTextA(window, buffer, 8), 0);
    EXPECT_EQ(GetWindowTextLengthA(window), 0);
    EXPECT_EQ(ShowWindow(window, SW_SHOW), FALSE);
    EXPECT_EQ(PostMessageA(window, WM_USER, 0, 0), FALSE);
    EXPECT_TRUE(deliveries.empty());
    EXPECT_TRUE(standin::misuse().empty());

    EXPECT_EQ(SendMessageA(reinterpret_cast<HWND>(0x12345), WM_USER, 0, 0), 0);
    EXPECT_EQ(standin::misuse().size(), 1u);
    standin::reset();
    EXPECT_FALSE(standin::is_alive(window)); // old handles do not alias new windows
}

TEST_F(WindowSystem, QuitEndsTheLoopAfterPostedMessagesWithItsCode) {
    HWND window = make(0, nullptr);
    PostMessageA(window, WM_USER, 1, 0);
    PostQuitMessage(3);
    PostMessageA(window, WM_USER, 2, 0);
    MSG msg;
    std::vector<WPARAM> seen;
    while (GetMessageA(&msg, nullptr, 0, 0)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
        seen.push_back(msg.wParam);
    }
    EXPECT_EQ(seen, (std::vector<WPARAM>{1, 2}));
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_QUIT));
    EXPECT_EQ(msg.wParam, 3u);
    EXPECT_FALSE(standin::starved());

    int idle_calls = 0;
    standin::on_idle([&] { return ++idle_calls == 1 && PostMessageA(window, WM_USER, 4, 0); });
    EXPECT_TRUE(GetMessageA(&msg, nullptr, 0, 0));
    EXPECT_EQ(msg.wParam, 4u);
    EXPECT_FALSE(GetMessageA(&msg, nullptr, 0, 0));
    EXPECT_EQ(msg.wParam, static_cast<WPARAM>(-1));
    EXPECT_TRUE(standin::starved());
}

TEST_F(WindowSystem, ControlsNotifyTheirParent) {
    HWND main = make(0, nullptr);
    struct Case {
        const char* cls;
        DWORD style;
        bool clicks;
    } cases[] = {
        {"button", BS_PUSHBUTTON, true},
        {"static", SS_LEFT, false},
        {"static", SS_NOTIFY, true},
        {"edit", ES_LEFT, false},
    };
    int id = 100;
    for (const Case& c : cases) {
        HWND control = make(WS_CHILD | c.style, main, ++id, c.cls);
        ASSERT_NE(control, nullptr) << c.cls;
        deliveries.clear();
        standin::click(control);
        if (!c.clicks) {
            EXPECT_TRUE(deliveries.empty()) << c.cls;
            continue;
        }
        ASSERT_EQ(deliveries.size(), 1u) << c.cls;
        EXPECT_EQ(deliveries[0].window, main);
        EXPECT_EQ(deliveries[0].message, static_cast<UINT>(WM_COMMAND));
        EXPECT_EQ(deliveries[0].wparam, MAKEWPARAM(id, BN_CLICKED));
        EXPECT_EQ(deliveries[0].lparam, reinterpret_cast<LPARAM>(control));
    }

    HWND edit = make(WS_CHILD, main, 42, "edit");
    HWND memo = make(WS_CHILD | ES_MULTILINE, main, 43, "edit");
    const std::string long_text(100000, 'x');
    for (HWND target : {edit, memo}) {
        deliveries.clear();
        standin::type_text(target, long_text);
        EXPECT_EQ(standin::text_of(target), long_text);
        ASSERT_EQ(deliveries.size(), 1u);
        EXPECT_EQ(deliveries[0].wparam, MAKEWPARAM(standin::describe(target).id, EN_CHANGE));
        EXPECT_EQ(deliveries[0].lparam, reinterpret_cast<LPARAM>(target));
        deliveries.clear();
        SetWindowTextA(target, nullptr);
        EXPECT_EQ(standin::text_of(target), "");
        EXPECT_EQ(deliveries.size(), target == edit ? 1u : 0u); // only single-line edits notify
    }
}

TEST_F(WindowSystem, GetWindowTextTruncates) {
    HWND window = make(0, nullptr);
    SetWindowTextA(window, "hello");
    EXPECT_EQ(GetWindowTextLengthA(window), 5);
    struct Case {
        int size;
        int copied;
        const char* text;
    } cases[] = {{10, 5, "hello"}, {6, 5, "hello"}, {5, 4, "hell"},
                 {1, 0, ""},       {0, 0, "?"},     {-1, 0, "?"}};
    for (const Case& c : cases) {
        char buffer[16] = "?";
        EXPECT_EQ(GetWindowTextA(window, buffer, c.size), c.copied) << c.size;
        EXPECT_STREQ(buffer, c.text) << c.size;
    }
}

} // namespace
