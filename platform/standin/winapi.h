// In-memory stand-in for the parts of user32 and kernel32 that the programs use, so that the
// shell and the task windows run unchanged in host tests. Names, types and constant values are
// those of the real API; only what our callers rely on is modelled.
//
// Left out on purpose, because nothing the programs do depends on it, or (the mouse) because the
// end-to-end tests catch what it would:
// - The mouse: a click reaches a control at once, as BM_CLICK does, with no hit-testing, capture or
//   focus moving with it; a close box is WM_CLOSE, and a box's Enter key and Alt+F4 do not exist.
//   A control a person cannot click (covered, hidden, disabled), a window without its close box, a
//   box that Enter does not answer, or an edit that stops taking keys at its right edge (no
//   ES_AUTOHSCROLL) is caught by the end-to-end tests under wine64 and 32-bit Wine, which work the
//   real windows through the input queue (tests/e2e/e2e_driver.cpp).
// - The keyboard has no layout, no shift state and no keys that move the caret: the user's typing
//   selects an edit's whole text and types over it; digits, letters, '.', '-', space and Backspace
//   are keys of their own, any other byte a VK_PACKET key that carries it.
// - Painting, fonts, z-order and activation: no WM_PAINT, WM_SIZE, WM_ACTIVATE or WM_SETFOCUS,
//   and windows that cover one another are all within the user's reach. FlashWindow and SetFocus
//   are only recorded.
// - No style bits of its own: top-level windows get neither WS_CAPTION nor WS_CLIPSIBLINGS, and
//   CW_USEDEFAULT is kept as a coordinate. Edits take any length of text, and only ES_READONLY,
//   ES_MULTILINE, BS_GROUPBOX, SS_NOTIFY, WS_VISIBLE and WS_DISABLED change what a control does.
// - A message box is no window (no "#32770", no default title) and always returns IDOK.
// - Windows are never freed: a destroyed window's handle is never reused, so a stale one is
//   harmless where Windows might hand it to another window.
// - ExitProcess ends the test process (writing a coverage build's counters first); x87 state is
//   the caller's (the loader in tests/shipped starts a program with Windows' 0x027F).
// Modelled because a program could go wrong there: a message box is modal as on Windows. Its
// owner is disabled while it is up, and its own loop keeps dispatching messages to every window
// and lets the user act on the others (the test's idle script) until the box is answered, a
// quit message arrives, or its owner is destroyed. Typed keys are input as on Windows: each a
// WM_KEYDOWN and WM_KEYUP queued for the focused edit behind the posted messages, read by the
// program's loop (or a box's), which must pass them to TranslateMessage for the WM_CHAR that the
// edit inserts; GetMessageA with a window takes only that window's messages and its children's,
// and with a range of messages only those (a loop that passed one would not get the user's input).
// LoadIconA and LoadCursorA give one handle for each of the system's icons and cursors (a null
// module and its number), from which a test reads which one a class was given, and null for any
// other; so a class with the wrong cursor or icon shows.
#pragma once

#include <stdint.h>

typedef int BOOL;
typedef unsigned char BYTE;
typedef unsigned short WORD;
typedef unsigned int DWORD;
typedef unsigned int UINT;
typedef int LONG;
typedef uintptr_t UINT_PTR;
typedef intptr_t LONG_PTR;
typedef UINT_PTR WPARAM;
typedef LONG_PTR LPARAM;
typedef LONG_PTR LRESULT;
typedef WORD ATOM;
typedef char CHAR;
typedef const char* LPCSTR;
typedef char* LPSTR;
typedef void* LPVOID;

typedef struct standin_window* HWND;
typedef struct standin_module* HINSTANCE;
typedef HINSTANCE HMODULE;
typedef struct standin_icon* HICON;
typedef HICON HCURSOR;
typedef struct standin_brush* HBRUSH;
typedef struct standin_menu* HMENU;

#if defined(__i386__)
// As on 32-bit Windows, so that a Windows program's code can call the stand-in and be called back
// by it: the callee pops its arguments, and a caller promises only 4-byte stack alignment.
#define WINAPI __attribute__((stdcall, force_align_arg_pointer))
#define CALLBACK __attribute__((stdcall))
#else
#define CALLBACK
#define WINAPI
#endif
#define TRUE 1
#define FALSE 0

typedef LRESULT(CALLBACK* WNDPROC)(HWND, UINT, WPARAM, LPARAM);

typedef struct tagWNDCLASSEXA {
    UINT cbSize;
    UINT style;
    WNDPROC lpfnWndProc;
    int cbClsExtra;
    int cbWndExtra;
    HINSTANCE hInstance;
    HICON hIcon;
    HCURSOR hCursor;
    HBRUSH hbrBackground;
    LPCSTR lpszMenuName;
    LPCSTR lpszClassName;
    HICON hIconSm;
} WNDCLASSEXA;

// What WM_CREATE's lParam points to during CreateWindowExA.
typedef struct tagCREATESTRUCTA {
    LPVOID lpCreateParams;
    HINSTANCE hInstance;
    HMENU hMenu;
    HWND hwndParent;
    int cy;
    int cx;
    int y;
    int x;
    LONG style;
    LPCSTR lpszName;
    LPCSTR lpszClass;
    DWORD dwExStyle;
} CREATESTRUCTA, *LPCREATESTRUCTA;

typedef struct tagPOINT {
    LONG x;
    LONG y;
} POINT;

typedef struct tagMSG {
    HWND hwnd;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    DWORD time;
    POINT pt;
} MSG, *LPMSG;

#if defined(__i386__)
// The records a Windows program hands over keep their Win32 layout.
static_assert(sizeof(WNDCLASSEXA) == 48 && __builtin_offsetof(WNDCLASSEXA, lpszClassName) == 40,
              "WNDCLASSEXA layout");
static_assert(sizeof(CREATESTRUCTA) == 48 && __builtin_offsetof(CREATESTRUCTA, dwExStyle) == 44,
              "CREATESTRUCTA layout");
static_assert(sizeof(MSG) == 28 && __builtin_offsetof(MSG, pt) == 20, "MSG layout");
#endif

#define LOWORD(l) ((WORD)(((UINT_PTR)(l)) & 0xffff))
#define HIWORD(l) ((WORD)((((UINT_PTR)(l)) >> 16) & 0xffff))
#define MAKELONG(a, b) ((LONG)(((WORD)(a)) | ((DWORD)((WORD)(b))) << 16))
#define MAKEWPARAM(l, h) ((WPARAM)(DWORD)MAKELONG(l, h))
#define MAKEINTRESOURCEA(i) ((LPSTR)((UINT_PTR)((WORD)(i))))
#define MAKEINTATOM(i) ((LPSTR)((UINT_PTR)((WORD)(i))))
#define IS_INTRESOURCE(p) ((((UINT_PTR)(p)) >> 16) == 0)

// The system's own icons and cursors, which LoadIconA and LoadCursorA give for a null module.
#define IDI_APPLICATION MAKEINTRESOURCEA(32512)
#define IDI_HAND MAKEINTRESOURCEA(32513)
#define IDI_QUESTION MAKEINTRESOURCEA(32514)
#define IDI_EXCLAMATION MAKEINTRESOURCEA(32515)
#define IDI_ASTERISK MAKEINTRESOURCEA(32516)
#define IDI_WINLOGO MAKEINTRESOURCEA(32517)
#define IDI_ERROR IDI_HAND
#define IDI_WARNING IDI_EXCLAMATION
#define IDI_INFORMATION IDI_ASTERISK
#define IDC_ARROW MAKEINTRESOURCEA(32512)
#define IDC_IBEAM MAKEINTRESOURCEA(32513)
#define IDC_WAIT MAKEINTRESOURCEA(32514)
#define IDC_CROSS MAKEINTRESOURCEA(32515)
#define IDC_UPARROW MAKEINTRESOURCEA(32516)
#define IDC_SIZEALL MAKEINTRESOURCEA(32646)
#define IDC_NO MAKEINTRESOURCEA(32648)
#define IDC_HAND MAKEINTRESOURCEA(32649)
#define IDC_APPSTARTING MAKEINTRESOURCEA(32650)
#define IDC_HELP MAKEINTRESOURCEA(32651)

#define CS_BYTEALIGNCLIENT 0x1000
#define COLOR_BTNFACE 15

#define WS_OVERLAPPED 0x00000000
#define WS_POPUP 0x80000000
#define WS_CHILD 0x40000000
#define WS_MINIMIZE 0x20000000
#define WS_VISIBLE 0x10000000
#define WS_DISABLED 0x08000000
#define WS_CLIPSIBLINGS 0x04000000
#define WS_CLIPCHILDREN 0x02000000
#define WS_MAXIMIZE 0x01000000
#define WS_CAPTION 0x00C00000
#define WS_BORDER 0x00800000
#define WS_DLGFRAME 0x00400000
#define WS_VSCROLL 0x00200000
#define WS_HSCROLL 0x00100000
#define WS_SYSMENU 0x00080000
#define WS_THICKFRAME 0x00040000
#define WS_GROUP 0x00020000
#define WS_TABSTOP 0x00010000
#define WS_MINIMIZEBOX 0x00020000
#define WS_MAXIMIZEBOX 0x00010000
#define WS_OVERLAPPEDWINDOW                                                                        \
    (WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX)

#define WS_EX_CLIENTEDGE 0x00000200

#define ES_LEFT 0x0000
#define ES_MULTILINE 0x0004
#define ES_AUTOVSCROLL 0x0040
#define ES_AUTOHSCROLL 0x0080
#define ES_READONLY 0x0800

#define BS_PUSHBUTTON 0x00000000
#define BS_DEFPUSHBUTTON 0x00000001
#define BS_GROUPBOX 0x00000007
#define BS_TYPEMASK 0x0000000F

#define SS_LEFT 0x00000000
#define SS_NOTIFY 0x00000100

#define MB_OK 0x00000000
#define MB_ICONINFORMATION 0x00000040
#define IDOK 1

#define WM_CREATE 0x0001
#define WM_DESTROY 0x0002
#define WM_SETTEXT 0x000C
#define WM_GETTEXT 0x000D
#define WM_GETTEXTLENGTH 0x000E
#define WM_PAINT 0x000F
#define WM_CLOSE 0x0010
#define WM_QUIT 0x0012
#define WM_NCCREATE 0x0081
#define WM_NCDESTROY 0x0082
#define WM_KEYDOWN 0x0100
#define WM_KEYUP 0x0101
#define WM_CHAR 0x0102
#define WM_COMMAND 0x0111
#define WM_USER 0x0400

#define VK_BACK 0x08
#define VK_SPACE 0x20
#define VK_OEM_MINUS 0xBD
#define VK_OEM_PERIOD 0xBE
#define VK_PACKET 0xE7

#define BN_CLICKED 0
#define EN_CHANGE 0x0300
#define EN_UPDATE 0x0400

#define SW_HIDE 0
#define SW_SHOWNORMAL 1
#define SW_SHOW 5

#define CW_USEDEFAULT ((int)0x80000000)

HMODULE WINAPI GetModuleHandleA(LPCSTR module_name);
void WINAPI ExitProcess(UINT exit_code);

HICON WINAPI LoadIconA(HINSTANCE instance, LPCSTR icon_name);
HCURSOR WINAPI LoadCursorA(HINSTANCE instance, LPCSTR cursor_name);
ATOM WINAPI RegisterClassExA(const WNDCLASSEXA* window_class);

HWND WINAPI CreateWindowExA(DWORD ex_style, LPCSTR class_name, LPCSTR window_name, DWORD style,
                            int x, int y, int width, int height, HWND parent, HMENU menu,
                            HINSTANCE instance, LPVOID param);
BOOL WINAPI DestroyWindow(HWND window);
BOOL WINAPI ShowWindow(HWND window, int show_command);
BOOL WINAPI UpdateWindow(HWND window);

BOOL WINAPI GetMessageA(LPMSG msg, HWND window, UINT filter_min, UINT filter_max);
BOOL WINAPI TranslateMessage(const MSG* msg);
LRESULT WINAPI DispatchMessageA(const MSG* msg);
LRESULT WINAPI DefWindowProcA(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
void WINAPI PostQuitMessage(int exit_code);
BOOL WINAPI PostMessageA(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
LRESULT WINAPI SendMessageA(HWND window, UINT message, WPARAM wparam, LPARAM lparam);

BOOL WINAPI FlashWindow(HWND window, BOOL invert);
HWND WINAPI SetFocus(HWND window);
int WINAPI MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT type);

int WINAPI GetWindowTextLengthA(HWND window);
int WINAPI GetWindowTextA(HWND window, LPSTR buffer, int buffer_size);
BOOL WINAPI SetWindowTextA(HWND window, LPCSTR text);
