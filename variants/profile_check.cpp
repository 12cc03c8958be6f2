// What a profile must hold for the shared code to work with it, checked while it compiles: the
// IDs that the window procedures look up are those of exactly one control, the edits that the
// task operations read and write are there, every formula that is called is set, and every text
// is Windows-1251 with its line breaks as CR LF. The build
// compiles this file once per deliverable, with PROFILE_SOURCE naming its variants/*.cpp (whose
// tables are out of reach elsewhere), and links it into nothing.
#include PROFILE_SOURCE

#include "tasks/array/array.h"
#include "tasks/expression/expression.h"
#include "tasks/tabulation/tabulation.h"
#include "variants/profile.h"

#include <initializer_list>

// Each problem is a function that cannot run while compiling: a profile with the problem fails to
// compile, and the compiler's message names the problem.
void launch_exit_or_about_id_on_no_main_window_control_or_on_several();
void task_window_classes_are_not_Window1_Window2_Window3();
void information_box_or_about_button_without_text();
void execute_or_add_id_on_no_task_window_control_or_on_several();
void input_edit_missing_from_its_task_window_or_read_only();
void result_edit_missing_from_its_task_window_writable_or_not_empty();
void task1_result_edit_is_not_multiline();
void series_sum_or_row_label_missing();
void task2_formula_missing();
void task3_selects_missing();
void task3_accumulate_missing_without_counts_by_sign();
void text_with_a_control_byte_or_a_line_break_other_than_cr_lf();
void text_not_in_windows_1251_but_in_utf8_or_with_its_unassigned_byte();

namespace profile_check {

consteval void require(bool holds, void (*problem)()) {
    if (!holds)
        problem();
}

consteval bool same_text(const char* a, const char* b) {
    while (*a && *a == *b)
        ++a, ++b;
    return *a == *b;
}

// A procedure acts on every control with the ID it looks up.
consteval bool on_one_control(ControlTable table, int id) {
    int found = 0;
    for (int i = 0; i < table.count; ++i)
        found += table.rows[i].id == id;
    return found == 1;
}

// The one edit that keeps this handle, or null.
consteval const ControlSpec* edit_of(ControlTable table, HWND* handle) {
    const ControlSpec* found = nullptr;
    for (int i = 0; i < table.count; ++i)
        if (table.rows[i].handle == handle) {
            if (found || !same_text(table.rows[i].class_name, "edit"))
                return nullptr;
            found = &table.rows[i];
        }
    return found;
}

consteval void inputs(ControlTable table, std::initializer_list<HWND*> handles) {
    for (HWND* handle : handles) {
        const ControlSpec* edit = edit_of(table, handle);
        require(edit && !(edit->style & ES_READONLY),
                input_edit_missing_from_its_task_window_or_read_only);
    }
}

consteval void results(ControlTable table, std::initializer_list<HWND*> handles) {
    for (HWND* handle : handles) {
        const ControlSpec* edit = edit_of(table, handle);
        require(edit && (edit->style & ES_READONLY) && !edit->text[0],
                result_edit_missing_from_its_task_window_writable_or_not_empty);
    }
}

// A multi-line edit breaks lines only at CR LF; a lone CR or LF, or any other control byte, shows
// as a glyph.
consteval bool line_breaks_are_cr_lf(const char* text) {
    for (int i = 0; text[i]; ++i) {
        unsigned char c = text[i];
        if (c == '\r'   ? text[i + 1] != '\n'
            : c == '\n' ? i == 0 || text[i - 1] != '\r'
                        : c < 0x20 || c == 0x7F)
            return false;
    }
    return true;
}

// Not the source's UTF-8 let through (Ukrainian in Windows-1251 is never valid UTF-8), and not
// the one byte that Windows-1251 leaves unassigned.
consteval bool in_windows_1251(const char* text) {
    bool beyond_ascii = false, utf8 = true;
    for (int i = 0; text[i];) {
        unsigned char c = text[i];
        if (c == 0x98)
            return false;
        int more = c < 0x80 ? 0 : c >= 0xC2 && c <= 0xDF ? 1 : c >= 0xE0 && c <= 0xEF ? 2 : -1;
        beyond_ascii = beyond_ascii || c >= 0x80;
        for (int k = 1; k <= more && utf8; ++k)
            utf8 = ((unsigned char)text[i + k] & 0xC0) == 0x80;
        utf8 = utf8 && more >= 0;
        i += utf8 ? 1 + more : 1;
    }
    return !(beyond_ascii && utf8);
}

consteval void texts(std::initializer_list<const char*> shown) {
    for (const char* text : shown) {
        if (!text)
            continue;
        require(line_breaks_are_cr_lf(text),
                text_with_a_control_byte_or_a_line_break_other_than_cr_lf);
        require(in_windows_1251(text),
                text_not_in_windows_1251_but_in_utf8_or_with_its_unassigned_byte);
    }
}

consteval void texts(ControlTable table) {
    for (int i = 0; i < table.count; ++i)
        texts({table.rows[i].text});
}

} // namespace profile_check

consteval bool workable(const VariantProfile& p) {
    using namespace profile_check;
    const char* const classes[] = {"Window1", "Window2", "Window3"};
    for (int task = 0; task < 3; ++task) {
        require(on_one_control(p.main_controls, p.task_windows[task].launch_id),
                launch_exit_or_about_id_on_no_main_window_control_or_on_several);
        require(same_text(p.task_windows[task].class_name, classes[task]),
                task_window_classes_are_not_Window1_Window2_Window3);
    }
    require((!p.exit_id || on_one_control(p.main_controls, p.exit_id)) &&
                (!p.about_id || on_one_control(p.main_controls, p.about_id)),
            launch_exit_or_about_id_on_no_main_window_control_or_on_several);
    require((p.already_open.kind == flash_and_focus || p.already_open.text) &&
                (!p.about_id || p.about_text),
            information_box_or_about_button_without_text);

    const TabulationProfile& tabulation = p.tabulation;
    require(on_one_control(tabulation.controls, tabulation.execute_id),
            execute_or_add_id_on_no_task_window_control_or_on_several);
    inputs(tabulation.controls,
           {&task1_xstart_edit, &task1_xend_edit, &task1_dx_edit, &task1_eps_edit});
    results(tabulation.controls, {&task1_result_edit});
    require(edit_of(tabulation.controls, &task1_result_edit)->style & ES_MULTILINE,
            task1_result_edit_is_not_multiline);
    require(tabulation.series_sum && tabulation.row_label, series_sum_or_row_label_missing);

    const ExpressionProfile& expression = p.expression;
    require(on_one_control(expression.controls, expression.execute_id),
            execute_or_add_id_on_no_task_window_control_or_on_several);
    inputs(expression.controls, {&task2_a_edit, &task2_b_edit});
    results(expression.controls, {&task2_result_edit});
    require(expression.above && expression.below, task2_formula_missing);

    const ArrayProfile& array = p.array;
    require(on_one_control(array.controls, array.add_id) &&
                on_one_control(array.controls, array.execute_id),
            execute_or_add_id_on_no_task_window_control_or_on_several);
    inputs(array.controls, {&task3_element_edit, &task3_c_edit, &task3_d_edit});
    if (array.counts_by_sign)
        results(array.controls, {&task3_negative_edit, &task3_zero_edit, &task3_positive_edit});
    if (!array.counts_by_sign || array.guards_zero_c)
        results(array.controls, {&task3_result_edit});
    require(array.selects, task3_selects_missing);
    require(array.accumulate || array.counts_by_sign,
            task3_accumulate_missing_without_counts_by_sign);

    texts({p.main_window.caption, p.task_windows[0].caption, p.task_windows[1].caption,
           p.task_windows[2].caption, p.already_open.text, p.about_text, tabulation.row_label,
           array.added_text, DIVISION_BY_ZERO_TEXT, STORE_FULL_TEXT});
    for (ControlTable table :
         {p.main_controls, tabulation.controls, expression.controls, array.controls})
        texts(table);
    return true;
}

static_assert(workable(profile));
