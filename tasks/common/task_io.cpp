#include "tasks/common/task_io.h"

#include "numtext/numtext.h"

double read_number(HWND control) {
    int length = GetWindowTextLengthA(control);
    if (length < 0)
        length = 0;
    if (length > (int)text_buffer_size - 1)
        length = text_buffer_size - 1; // a longer text is read up to the buffer's end
    scratch_text[0] = 0;
    GetWindowTextA(control, scratch_text, length + 1);
    double value = 0; // what a text without a number ("", "+", "-") reads as
    parse_real(scratch_text, &value);
    return value;
}

void show_number(HWND control, double value) {
    format_real(value, scratch_text);
    SetWindowTextA(control, scratch_text);
}

void show_information(HWND owner, const char* text) {
    MessageBoxA(owner, text, 0, MB_OK | MB_ICONINFORMATION);
}
