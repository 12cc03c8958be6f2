// Variant 14: a credit label and three buttons in the main window; task controls other than the
// buttons share the ID 222; Task 3 multiplies, guarded against a zero C.
#include "tasks/array/array.h"
#include "tasks/common/task_io.h"
#include "tasks/expression/expression.h"
#include "tasks/tabulation/series_sum.h"
#include "tasks/tabulation/tabulation.h"
#include "variants/control_kinds.h"

namespace {

// The IDs that the window procedures look up, each written once.
const int task1_launch_id = 7;
const int task2_launch_id = 6;
const int task3_launch_id = 5;
const int task1_execute_id = 1;
const int task2_execute_id = 2;
const int task3_add_id = 3;
const int task3_execute_id = 4;

const int shared_id = 222;

constexpr MainControlSpec main_controls[] = {
    label("Варіант №14. Автори практикуму", 30, 220, 300, 17, 8),
    push_button("Завдання 3", 40, 170, 230, 35, task3_launch_id),
    push_button("Завдання 2", 40, 100, 230, 35, task2_launch_id),
    push_button("Завдання 1", 40, 30, 230, 35, task1_launch_id),
};

constexpr TaskControlSpec task1_controls[] = {
    push_button("Виконати", 70, 220, 120, 40, task1_execute_id),
    label("Xпоч= ", 18, 20, 40, 17, shared_id),
    label("Xкін= ", 20, 70, 40, 17, shared_id),
    label("DX= ", 25, 120, 30, 17, shared_id),
    label("EPS= ", 15, 170, 35, 17, shared_id),
    label("Завдання: Протабулювати функцію: cos(X)", 260, 20, 200, 50, shared_id),
    label("Результат: ", 250, 70, 75, 17, shared_id),
    input_edit("", 60, 20, 160, 24, shared_id, &task1_xstart_edit),
    input_edit("", 60, 70, 160, 24, shared_id, &task1_xend_edit),
    input_edit("", 60, 120, 160, 24, shared_id, &task1_dx_edit),
    input_edit("", 60, 170, 160, 24, shared_id, &task1_eps_edit),
    multiline_edit("", 250, 90, 200, 180, shared_id, &task1_result_edit),
};

constexpr TaskControlSpec task2_controls[] = {
    push_button("Виконати", 60, 120, 120, 40, task2_execute_id, &task2_execute_button),
    label("A= ", 20, 20, 20, 17, shared_id),
    label("B= ", 20, 70, 20, 17, shared_id),
    label("Результат: ", 40, 180, 75, 17, shared_id),
    label("   Обчислити і вивести на екран значення\r\n"
          "   наступного виразу\r\n"
          "         Якщо A>B  X = B/A+1\r\n"
          "         Якщо A=B, X = 25\r\n"
          "         Якщо A<B  X = (A^3-5)/B\r\n"
          "   де A та B вхідні дані (дійсні числа),\r\n"
          "   X результат обчислення виразу",
          230, 45, 210, 150, shared_id, &task2_statement),
    input_edit("", 40, 20, 160, 24, shared_id, &task2_a_edit),
    input_edit("", 40, 70, 160, 24, shared_id, &task2_b_edit),
    result_edit("", 40, 200, 160, 24, shared_id, &task2_result_edit),
};

constexpr TaskControlSpec task3_controls[] = {
    push_button("Добавити", 300, 60, 120, 40, task3_add_id, &task3_add_button),
    push_button("Виконати", 60, 190, 120, 40, task3_execute_id, &task3_execute_button),
    label("C= ", 30, 20, 20, 17, shared_id),
    label("D= ", 250, 20, 20, 17, shared_id),
    label("a[i]= ", 30, 70, 30, 17, shared_id),
    label("Результат: ", 280, 190, 70, 17, shared_id),
    label("Знайти добуток від’ємних елементів масиву, які задовольняють умові:a[i]>=(c+d)/c", 75,
          130, 400, 40, shared_id, &task3_statement),
    input_edit("", 50, 20, 160, 24, shared_id, &task3_c_edit),
    input_edit("", 280, 20, 160, 24, shared_id, &task3_d_edit),
    input_edit("", 60, 70, 150, 24, shared_id, &task3_element_edit),
    result_edit("", 280, 210, 170, 24, shared_id, &task3_result_edit),
};

// The cosine series.
long double first_term(long double) {
    return 1.0L;
}
long double numerator(long double, long double x) {
    return -(x * x);
}
long double denominator(long double n, long double) {
    return (((n * 2.0L) - 1.0L) * n) * 2.0L;
}

long double above(long double a, long double b) {
    return (b / a) + 1.0L;
}
long double below(long double a, long double b) {
    return (((a * a) * a) - 5.0L) / b;
}

// Reached only with a non-zero C: the shared query guards it first.
long double threshold(long double c, long double d) {
    return (c + d) / c;
}
// An element equal to 0 is not above 0, so it is a factor too.
bool selects(double x, double, double, double t) {
    return !is_below(x, t) && !is_above(x, 0);
}
long double multiply(long double product, long double x) {
    return product * x;
}

constexpr SeriesSpec series = {.first_term = first_term,
                               .n0 = 1,
                               .numerator = numerator,
                               .denominator = denominator,
                               .final_step = nullptr};

} // namespace

constexpr VariantProfile profile = {
    .main_window =
        {.caption = "[... Практика 2011 ...]", .x = 100, .y = 100, .width = 320, .height = 300},
    .main_controls = control_table(main_controls),
    .task_windows = {{.launch_id = task1_launch_id,
                      .class_name = "Window1",
                      .caption = "[ Перше завдання ]",
                      .x = 50,
                      .y = 50,
                      .width = 500,
                      .height = 320},
                     {.launch_id = task2_launch_id,
                      .class_name = "Window2",
                      .caption = "[ Друге завдання ]",
                      .x = 50,
                      .y = 50,
                      .width = 450,
                      .height = 280},
                     {.launch_id = task3_launch_id,
                      .class_name = "Window3",
                      .caption = "[ Третє завдання ]",
                      .x = 50,
                      .y = 50,
                      .width = 500,
                      .height = 320}},
    .already_open = {.kind = information_box, .text = "Вікно вже відкрите !"},
    .exit_id = 0,
    .about_id = 0,
    .about_text = nullptr,
    .tabulation = {.controls = control_table(task1_controls),
                   .execute_id = task1_execute_id,
                   .series_sum = series_sum<series>,
                   .row_label = "X =",
                   .keeps_earlier_rows = true},
    .expression = {.controls = control_table(task2_controls),
                   .execute_id = task2_execute_id,
                   .equal_value = 25,
                   .above = above,
                   .below = below,
                   .guards_zero_divisor = false},
    .array = {.controls = control_table(task3_controls),
              .add_id = task3_add_id,
              .execute_id = task3_execute_id,
              .added_text = "Елемент добавлено в масив!!!",
              .guards_zero_c = true,
              .threshold = threshold,
              .selects = selects,
              .aggregate_start = 1,
              .accumulate = multiply,
              .counts_by_sign = false},
};
