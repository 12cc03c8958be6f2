// The kinds of control that the tables are made of: each fixes a class, a style set and an
// extended style, so a table row gives only text, place, size, ID and handle.
#pragma once

#include "variants/profile.h"

const DWORD child_visible = WS_CHILD | WS_VISIBLE;
const DWORD multiline_read_only = ES_MULTILINE | ES_AUTOVSCROLL | ES_AUTOHSCROLL | ES_READONLY;

// One row, every field named; each kind below fixes the class, style and extended style.
constexpr ControlSpec control_row(const char* class_name, DWORD style, DWORD ex_style,
                                  const char* text, int x, int y, int width, int height, int id,
                                  HWND* handle) {
    return {.class_name = class_name,
            .text = text,
            .style = style,
            .ex_style = ex_style,
            .x = x,
            .y = y,
            .width = width,
            .height = height,
            .id = id,
            .handle = handle};
}

constexpr ControlSpec push_button(const char* text, int x, int y, int width, int height, int id,
                                  HWND* handle = nullptr) {
    return control_row("button", child_visible | BS_DEFPUSHBUTTON, 0, text, x, y, width, height, id,
                       handle);
}

constexpr ControlSpec group_box(const char* text, int x, int y, int width, int height, int id) {
    return control_row("button", child_visible | BS_GROUPBOX, 0, text, x, y, width, height, id,
                       nullptr);
}

constexpr ControlSpec label(const char* text, int x, int y, int width, int height, int id,
                            HWND* handle = nullptr) {
    return control_row("static", child_visible | SS_NOTIFY, 0, text, x, y, width, height, id,
                       handle);
}

constexpr ControlSpec input_edit(const char* text, int x, int y, int width, int height, int id,
                                 HWND* handle) {
    return control_row("edit", child_visible | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE, text, x, y, width,
                       height, id, handle);
}

constexpr ControlSpec result_edit(const char* text, int x, int y, int width, int height, int id,
                                  HWND* handle) {
    return control_row("edit", child_visible | ES_AUTOHSCROLL | ES_READONLY, WS_EX_CLIENTEDGE, text,
                       x, y, width, height, id, handle);
}

constexpr ControlSpec scrolling_result_edit(const char* text, int x, int y, int width, int height,
                                            int id, HWND* handle) {
    return control_row("edit", child_visible | ES_AUTOHSCROLL | ES_AUTOVSCROLL | ES_READONLY,
                       WS_EX_CLIENTEDGE, text, x, y, width, height, id, handle);
}

// Multi-line, read-only: statement fields and boxes, and the Task 1 result field.
constexpr ControlSpec multiline_edit(const char* text, int x, int y, int width, int height, int id,
                                     HWND* handle = nullptr) {
    return control_row("edit", child_visible | multiline_read_only, WS_EX_CLIENTEDGE, text, x, y,
                       width, height, id, handle);
}

// A statement box that the user may edit (nothing reads it).
constexpr ControlSpec editable_statement_box(const char* text, int x, int y, int width, int height,
                                             int id) {
    return control_row("edit", child_visible | (multiline_read_only & ~ES_READONLY),
                       WS_EX_CLIENTEDGE, text, x, y, width, height, id, nullptr);
}
