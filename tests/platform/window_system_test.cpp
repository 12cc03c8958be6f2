#include "platform/standin/harness.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <string>
#include <vector>

namespace {

struct Delivery {
    HWND window;
    UINT message;
    WPARAM wparam;
    LPARAM lparam;
    CREATESTRUCTA create; // WM_CREATE only
};
std::vector<Delivery> deliveries;
LRESULT create_result = 0;
std::function<void(HWND)> on_destroy;

LRESULT CALLBACK logging_procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    Delivery delivery{window, message, wparam, lparam, {}};
    if (message == WM_CREATE)
        delivery.create = *reinterpret_cast<const CREATESTRUCTA*>(lparam);
    deliveries.push_back(delivery);
    if (message == WM_CREATE)
        return create_result;
    if (message == WM_DESTROY && on_destroy)
        on_destroy(window);
    return DefWindowProcA(window, message, wparam, lparam);
}

std::vector<HWND> destroyed() {
    std::vector<HWND> result;
    for (const Delivery& d : deliveries)
        if (d.message == WM_DESTROY)
            result.push_back(d.window);
    return result;
}

HMENU menu_id(int id) {
    return reinterpret_cast<HMENU>(static_cast<uintptr_t>(id));
}

class WindowSystem : public ::testing::Test {
  protected:
    void SetUp() override {
        standin::reset();
        deliveries.clear();
        create_result = 0;
        on_destroy = nullptr;
        WNDCLASSEXA wc{};
        wc.cbSize = sizeof(wc);
        wc.lpfnWndProc = logging_procedure;
        wc.lpszClassName = "Logger";
        ASSERT_NE(RegisterClassExA(&wc), 0);
    }
    HWND make(DWORD style, HWND parent, int id = 0, const char* cls = "Logger") {
        return CreateWindowExA(0, cls, "", style, 0, 0, 10, 10, parent, menu_id(id), nullptr,
                               nullptr);
    }
};

TEST_F(WindowSystem, RegistrationCopiesTheRecordAndRefusesBadOnes) {
    char name[16] = "Other";
    char menu[16] = "Menu";
    WNDCLASSEXA wc{};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = logging_procedure;
    wc.lpszClassName = name;
    wc.lpszMenuName = menu;
    wc.hIcon = LoadIconA(nullptr, IDI_APPLICATION);
    struct Case {
        const char* what;
        std::function<void(WNDCLASSEXA&)> change;
        bool accepted;
    } cases[] = {
        {"wrong size", [](WNDCLASSEXA& c) { c.cbSize = 0; }, false},
        {"no procedure", [](WNDCLASSEXA& c) { c.lpfnWndProc = nullptr; }, false},
        {"duplicate in other case", [](WNDCLASSEXA& c) { c.lpszClassName = "LOGGER"; }, false},
        {"refused by the test", [](WNDCLASSEXA&) { standin::fail_registration_of("other"); },
         false},
        {"good", [](WNDCLASSEXA&) { standin::fail_registration_of(nullptr); }, true},
    };
    ATOM atom = 0;
    for (const Case& c : cases) {
        WNDCLASSEXA attempt = wc;
        c.change(attempt);
        atom = RegisterClassExA(&attempt);
        EXPECT_EQ(atom != 0, c.accepted) << c.what;
    }
    strcpy(name, "changed"); // the caller reuses its record at once
    strcpy(menu, "changed");
    std::vector<standin::ClassInfo> classes = standin::registered_classes();
    ASSERT_EQ(classes.size(), 2u);
    EXPECT_STREQ(classes[1].record.lpszClassName, "Other");
    EXPECT_STREQ(classes[1].record.lpszMenuName, "Menu");
    EXPECT_EQ(classes[1].record.hIcon, standin::stock_icon());

    HWND by_atom = make(0, nullptr, 0, MAKEINTATOM(atom));
    EXPECT_EQ(standin::describe(by_atom).class_name, "Other");
    standin::fail_creation_of("logger");
    deliveries.clear();
    EXPECT_EQ(make(0, nullptr), nullptr);
    EXPECT_TRUE(deliveries.empty());
    EXPECT_EQ(standin::misuse().size(), 2u); // the two malformed records
}

TEST_F(WindowSystem, CreationRunsWmCreateInsideAndMayBeCancelled) {
    HWND main = make(WS_VISIBLE, nullptr);
    HWND child = CreateWindowExA(WS_EX_CLIENTEDGE, "Logger", "text", WS_CHILD, 1, 2, 3, 4, main,
                                 menu_id(5), GetModuleHandleA(nullptr), nullptr);
    ASSERT_EQ(deliveries.size(), 2u);
    EXPECT_EQ(deliveries[0].window, main);
    EXPECT_EQ(deliveries[1].window, child);
    const CREATESTRUCTA& create = deliveries[1].create;
    EXPECT_EQ(deliveries[1].message, static_cast<UINT>(WM_CREATE));
    EXPECT_STREQ(create.lpszName, "text");
    EXPECT_EQ(create.hwndParent, main);
    EXPECT_EQ((std::vector<int>{create.x, create.y, create.cx, create.cy, create.style}),
              (std::vector<int>{1, 2, 3, 4, WS_CHILD}));
    standin::WindowInfo info = standin::describe(child);
    EXPECT_EQ(info.id, 5);
    EXPECT_EQ(info.instance, standin::stock_module());
    EXPECT_EQ(info.ex_style, static_cast<DWORD>(WS_EX_CLIENTEDGE));

    HWND owned = make(0, child); // a child as parent: its top-level window owns
    EXPECT_EQ(standin::describe(owned).owner, main);
    EXPECT_EQ(make(WS_CHILD, nullptr), nullptr);
    EXPECT_EQ(make(0, nullptr, 0, "NoSuchClass"), nullptr);
    EXPECT_EQ(standin::misuse().size(), 2u);

    deliveries.clear();
    create_result = -1;
    EXPECT_EQ(make(0, nullptr), nullptr);
    ASSERT_EQ(deliveries.size(), 2u);
    HWND cancelled = deliveries[0].window;
    EXPECT_EQ(destroyed(), std::vector<HWND>{cancelled});
    EXPECT_FALSE(standin::is_alive(cancelled));
    EXPECT_EQ(standin::top_level_windows(), (std::vector<HWND>{main, owned}));
}

// One tree, destroyed from its top while procedures destroy windows of their own accord.
TEST_F(WindowSystem, DestructionOrderOwnedFirstThenSelfThenChildren) {
    struct Case {
        const char* destroying; // during whose WM_DESTROY
        const char* also;       // DestroyWindow is called on this one
        const char* order;
    } cases[] = {
        {"", "", "owned1 owned_child owned2 main child grandchild"},
        {"main", "grandchild", "owned1 owned_child owned2 main grandchild child"},
        {"owned1", "owned2", "owned1 owned2 owned_child main child grandchild"},
        {"child", "main", "owned1 owned_child owned2 main child grandchild"},
        {"main", "main", "owned1 owned_child owned2 main child grandchild"},
        {"grandchild", "child", "owned1 owned_child owned2 main child grandchild"},
    };
    for (const Case& c : cases) {
        SetUp();
        std::map<std::string, HWND> tree;
        tree["main"] = make(WS_VISIBLE, nullptr);
        tree["child"] = make(WS_CHILD | WS_VISIBLE, tree["main"], 7);
        tree["grandchild"] = make(WS_CHILD, tree["child"], 8);
        tree["owned1"] = make(0, tree["main"]);
        tree["owned2"] = make(0, tree["main"]);
        tree["owned_child"] = make(WS_CHILD, tree["owned1"], 9);
        std::map<HWND, std::string> names;
        for (const auto& [name, window] : tree)
            names[window] = name;
        on_destroy = [&](HWND window) {
            if (names[window] == c.destroying)
                DestroyWindow(tree[c.also]);
        };
        SetFocus(tree["child"]);

        deliveries.clear();
        EXPECT_TRUE(DestroyWindow(tree["main"])) << c.destroying;
        std::string order;
        for (HWND window : destroyed())
            order += (order.empty() ? "" : " ") + names[window];
        EXPECT_EQ(order, c.order) << c.destroying;
        for (const auto& [name, window] : tree) {
            EXPECT_FALSE(standin::is_alive(window)) << name;
            EXPECT_FALSE(standin::describe(window).visible) << name;
        }
        EXPECT_TRUE(standin::top_level_windows().empty());
        EXPECT_EQ(SetFocus(nullptr), nullptr); // the focus died with its window
        EXPECT_TRUE(standin::misuse().empty()) << c.destroying;
    }
}

TEST_F(WindowSystem, StaleHandlesAreHarmlessAndUnknownOnesAreNoted) {
    HWND window = make(WS_VISIBLE, nullptr);
    HWND button = make(WS_CHILD | WS_VISIBLE, window, 1, "button");
    PostMessageA(window, WM_USER, 0, 0);
    standin::close(window); // DefWindowProcA destroys it
    ASSERT_FALSE(standin::is_alive(window));
    deliveries.clear();
    MSG posted;
    ASSERT_TRUE(GetMessageA(&posted, nullptr, 0, 0));
    char buffer[8] = "xx";
    struct Case {
        const char* call;
        LRESULT result;
    } cases[] = {
        {"DispatchMessageA", DispatchMessageA(&posted)},
        {"SendMessageA", SendMessageA(window, WM_USER, 0, 0)},
        {"SetWindowTextA", SetWindowTextA(window, "a")},
        {"GetWindowTextA", GetWindowTextA(window, buffer, 8)},
        {"GetWindowTextLengthA", GetWindowTextLengthA(window)},
        {"ShowWindow", ShowWindow(window, SW_SHOW)},
        {"UpdateWindow", UpdateWindow(window)},
        {"DestroyWindow", DestroyWindow(button)},
        {"PostMessageA", PostMessageA(window, WM_USER, 0, 0)},
        {"FlashWindow", FlashWindow(window, TRUE)},
        {"SetFocus", reinterpret_cast<LRESULT>(SetFocus(window))},
        {"CreateWindowExA", reinterpret_cast<LRESULT>(make(WS_CHILD, window))},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.result, 0) << c.call;
    standin::click(button);
    EXPECT_STREQ(buffer, "xx");
    EXPECT_TRUE(deliveries.empty());
    EXPECT_TRUE(standin::flashed_windows().empty());
    EXPECT_TRUE(standin::focused_windows().empty());
    EXPECT_TRUE(standin::misuse().empty());

    EXPECT_EQ(SendMessageA(reinterpret_cast<HWND>(0x12345), WM_USER, 0, 0), 0);
    EXPECT_EQ(standin::misuse().size(), 1u);
    standin::reset();
    EXPECT_FALSE(standin::is_alive(window)); // old handles do not alias new windows
    EXPECT_EQ(standin::misuse().size(), 1u);
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
    EXPECT_EQ(deliveries.back().wparam, 2u);
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_QUIT));
    EXPECT_EQ(msg.wParam, 3u);
    EXPECT_FALSE(standin::starved());

    // The idle script acts as the user; when it stops, the loop ends instead of hanging.
    struct Case {
        const char* what;
        std::function<bool()> script;
        std::vector<WPARAM> seen;
        WPARAM code;
    } cases[] = {
        {"posts the quit", [] { return PostQuitMessage(9), true; }, {}, 9}, // before any starving
        {"no script", nullptr, {}, static_cast<WPARAM>(-1)},
        {"posts then stops",
         [&] { return seen.empty() && PostMessageA(window, WM_USER, 4, 0); },
         {4},
         static_cast<WPARAM>(-1)},
        {"does nothing but says it did", [] { return true; }, {}, static_cast<WPARAM>(-1)},
        // Captures on the heap, used after the script is gone from the stand-in.
        {"replaces itself",
         [heap = std::string(64, 'x')] { return standin::on_idle(nullptr), heap.back() != 'x'; },
         {},
         static_cast<WPARAM>(-1)},
        {"resets everything",
         [heap = std::string(64, 'x')] { return standin::reset(), heap.back() == 'x'; },
         {},
         static_cast<WPARAM>(-1)},
    };
    for (const Case& c : cases) {
        standin::on_idle(c.script);
        seen.clear();
        while (GetMessageA(&msg, nullptr, 0, 0))
            seen.push_back(msg.wParam);
        EXPECT_EQ(seen, c.seen) << c.what;
        EXPECT_EQ(msg.message, static_cast<UINT>(WM_QUIT)) << c.what;
        EXPECT_EQ(msg.wParam, c.code) << c.what;
        EXPECT_EQ(standin::starved(), c.code == static_cast<WPARAM>(-1)) << c.what;
    }
}

TEST_F(WindowSystem, UserActionsReachTheParentAsThePlatformSendsThem) {
    const int none = -1;
    struct Case {
        const char* cls;
        DWORD style;
        bool type; // type into it rather than click
        int code;  // notification the parent gets
        bool misuse;
    } cases[] = {
        {"button", BS_PUSHBUTTON, false, BN_CLICKED, false},
        {"button", BS_DEFPUSHBUTTON, false, BN_CLICKED, false},
        {"button", BS_GROUPBOX, false, none, false},
        {"static", SS_LEFT, false, none, false},
        {"static", SS_NOTIFY, false, BN_CLICKED, false},
        {"edit", ES_LEFT, false, none, false},
        {"Logger", 0, false, none, false},
        {"edit", ES_AUTOHSCROLL, true, EN_CHANGE, false},
        {"edit", ES_MULTILINE, true, EN_CHANGE, false},
        {"edit", ES_READONLY, true, none, true},
        {"static", SS_LEFT, true, none, true},
        {"button", WS_DISABLED, false, none, true},
        {"edit", WS_DISABLED, true, none, true},
    };
    HWND main = make(WS_VISIBLE, nullptr);
    int id = 100;
    for (const Case& c : cases) {
        HWND control = make(WS_CHILD | WS_VISIBLE | c.style, main, ++id, c.cls);
        ASSERT_NE(control, nullptr) << c.cls;
        deliveries.clear();
        size_t misuse_before = standin::misuse().size();
        if (c.type)
            standin::type_text(control, "typed");
        else
            standin::click(control);
        std::vector<Delivery> to_main;
        for (const Delivery& d : deliveries)
            if (d.window == main)
                to_main.push_back(d);
        SCOPED_TRACE(std::string(c.cls) + " style " + std::to_string(c.style));
        EXPECT_EQ(standin::text_of(control), c.type && c.code != none ? "typed" : "");
        EXPECT_EQ(standin::misuse().size() > misuse_before, c.misuse);
        if (c.code == none) {
            EXPECT_TRUE(to_main.empty());
            continue;
        }
        ASSERT_EQ(to_main.size(), 1u);
        EXPECT_EQ(to_main[0].message, static_cast<UINT>(WM_COMMAND));
        EXPECT_EQ(to_main[0].wparam, MAKEWPARAM(id, c.code));
        EXPECT_EQ(to_main[0].lparam, reinterpret_cast<LPARAM>(control));
    }
}

TEST_F(WindowSystem, HiddenWindowsCannotBeReached) {
    HWND main = make(0, nullptr);
    HWND button = make(WS_CHILD | WS_VISIBLE, main, 1, "button");
    deliveries.clear();
    standin::click(button);
    EXPECT_TRUE(deliveries.empty());
    EXPECT_EQ(standin::misuse().size(), 1u);
    ShowWindow(main, SW_SHOWNORMAL);
    standin::click(button);
    EXPECT_EQ(deliveries.back().wparam, MAKEWPARAM(1, BN_CLICKED));
}

TEST_F(WindowSystem, EditsKeepAnyTextAndOnlySingleLineOnesReportSetText) {
    HWND main = make(WS_VISIBLE, nullptr);
    const std::string long_text(100000, 'x');
    for (DWORD style : {ES_AUTOHSCROLL, ES_MULTILINE | ES_READONLY}) {
        HWND edit = make(WS_CHILD | WS_VISIBLE | style, main, 42, "edit");
        deliveries.clear();
        SetWindowTextA(edit, long_text.c_str());
        EXPECT_EQ(standin::text_of(edit), long_text);
        EXPECT_EQ(GetWindowTextLengthA(edit), 100000);
        SetWindowTextA(edit, nullptr);
        EXPECT_EQ(standin::text_of(edit), "");
        EXPECT_EQ(deliveries.size(), style & ES_MULTILINE ? 0u : 2u);
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

TEST_F(WindowSystem, ModalBoxesFocusAndFlashesAreLogged) {
    HWND main = make(WS_VISIBLE, nullptr);
    HWND task = make(WS_VISIBLE, main);
    size_t boxes_while_up = 0;
    standin::on_message_box([&, heap = std::string(64, 'x')](const standin::MessageBoxRecord&) {
        standin::on_message_box(nullptr); // a handler may remove itself
        boxes_while_up = standin::message_boxes().size() * (heap.back() == 'x');
    });
    EXPECT_EQ(MessageBoxA(task, "text", nullptr, MB_OK | MB_ICONINFORMATION), IDOK);
    EXPECT_EQ(MessageBoxA(nullptr, "second", "title", MB_OK), IDOK);
    EXPECT_EQ(boxes_while_up, 1u);
    const std::vector<standin::MessageBoxRecord>& boxes = standin::message_boxes();
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_TRUE(boxes[0].owner == task && boxes[0].text == "text" && boxes[0].null_title);
    EXPECT_EQ(boxes[0].type, static_cast<UINT>(MB_OK | MB_ICONINFORMATION));
    EXPECT_TRUE(!boxes[1].null_title && boxes[1].title == "title");

    EXPECT_EQ(SetFocus(main), nullptr);
    EXPECT_EQ(SetFocus(task), main);
    FlashWindow(task, TRUE);
    EXPECT_EQ(standin::focused_windows(), (std::vector<HWND>{main, task}));
    EXPECT_EQ(standin::flashed_windows(), std::vector<HWND>{task});
    EXPECT_NE(standin::stock_icon(), nullptr);
    EXPECT_NE(reinterpret_cast<void*>(standin::stock_icon()),
              reinterpret_cast<void*>(standin::stock_cursor()));
    EXPECT_EQ(LoadCursorA(nullptr, IDC_ARROW), standin::stock_cursor());
    // Each system image its own handle, named by a test; none for a module's own or a name.
    EXPECT_STREQ(standin::system_image_name(LoadIconA(nullptr, IDI_APPLICATION)),
                 "IDI_APPLICATION");
    EXPECT_STREQ(standin::system_image_name(LoadCursorA(nullptr, IDC_IBEAM)), "IDC_IBEAM");
    EXPECT_STREQ(standin::system_image_name(LoadIconA(nullptr, IDI_WINLOGO)), "IDI_WINLOGO");
    EXPECT_EQ(LoadIconA(standin::stock_module(), IDI_APPLICATION), nullptr);
    EXPECT_EQ(LoadCursorA(nullptr, "arrow"), nullptr);
}

// A box runs its own loop: its owner's window is disabled, posted messages still arrive, and the
// user acts on the other windows until the script answers it or a quit message ends it.
TEST_F(WindowSystem, AMessageBoxBlocksOnlyItsOwner) {
    HWND main = make(WS_VISIBLE, nullptr);
    HWND task = make(WS_VISIBLE, main);
    HWND buttons[] = {make(WS_CHILD | WS_VISIBLE, main, 1, "button"),
                      make(WS_CHILD | WS_VISIBLE, task, 2, "button")};
    for (bool quits : {false, true}) {
        deliveries.clear();
        PostMessageA(main, WM_USER, 0, 0);
        standin::on_idle([&] {
            EXPECT_EQ(deliveries.size(), 1u); // the posted message
            EXPECT_EQ(standin::boxes_up(), 1);
            EXPECT_TRUE(standin::describe(task).style & WS_DISABLED);
            for (HWND button : buttons)
                standin::click(button);
            if (quits)
                PostQuitMessage(4);
            return quits;
        });
        size_t misuse_before = standin::misuse().size();
        EXPECT_EQ(MessageBoxA(task, "text", nullptr, MB_OK), IDOK);
        EXPECT_EQ(deliveries.back().message, (UINT)WM_COMMAND); // from main's button only
        EXPECT_EQ(deliveries.back().window, main);
        EXPECT_EQ(standin::misuse().size(), misuse_before + 1); // task's button
        EXPECT_FALSE(standin::describe(task).style & WS_DISABLED);
        EXPECT_EQ(standin::boxes_up(), 0);
        EXPECT_EQ(standin::input_pending(), quits); // the quit stays for the program's loop
    }
}

TEST(WindowSystemDeathTest, ExitProcessEndsWithItsCode) {
    EXPECT_EXIT(ExitProcess(7), ::testing::ExitedWithCode(7), "");
}

} // namespace
