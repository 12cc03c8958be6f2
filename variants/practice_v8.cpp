// Variant 8: a label and three buttons in the main window; task controls other than the buttons
// share the ID 222; Task 3 counts by sign.
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
    label("Варіант №8", 20, 20, 300, 17, 8),
    push_button("Завдання 3", 40, 190, 220, 35, task3_launch_id),
    push_button("Завдання 2", 40, 120, 220, 35, task2_launch_id),
    push_button("Завдання 1", 40, 50, 220, 35, task1_launch_id),
};

constexpr TaskControlSpec task1_controls[] = {
    push_button("Виконати", 70, 220, 120, 40, task1_execute_id),
    label("Xпоч= ", 18, 20, 40, 17, shared_id),
    label("Xкін= ", 20, 70, 40, 17, shared_id),
    label("DX= ", 25, 120, 30, 17, shared_id),
    label("EPS= ", 15, 170, 35, 17, shared_id),
    label("Завдання: Протабулювати функцію: arctg X", 260, 20, 200, 50, shared_id),
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
          "         Якщо A=B, X = -4\r\n"
          "         Якщо A>B  X = (3A-5)/B\r\n"
          "         Якщо A<B  X = (A^3+B)/A\r\n"
          "   де A та B вхідні дані (дійсні числа),\r\n"
          "   X результат обчислення виразу",
          230, 45, 210, 150, shared_id, &task2_statement),
    input_edit("", 40, 20, 160, 24, shared_id, &task2_a_edit),
    input_edit("", 40, 70, 160, 24, shared_id, &task2_b_edit),
    result_edit("", 40, 200, 160, 24, shared_id, &task2_result_edit),
};

constexpr TaskControlSpec task3_controls[] = {
    push_button("Добавити", 70, 170, 120, 40, task3_add_id, &task3_add_button),
    push_button("Виконати", 300, 100, 120, 40, task3_execute_id, &task3_execute_button),
    label("C= ", 30, 20, 20, 17, shared_id),
    label("D= ", 30, 70, 20, 17, shared_id),
    label("a[i]= ", 30, 120, 30, 17, shared_id),
    label("<0: ", 250, 160, 20, 17, shared_id),
    label("=0: ", 250, 200, 20, 17, shared_id),
    label(">0: ", 250, 240, 20, 17, shared_id),
    label("Знайти скільки додатних, від’ємних і рівних нулю елементів в масиві задовольняють "
          "умові: c<=a[i]<=d",
          240, 20, 220, 70, shared_id, &task3_statement),
    input_edit("", 50, 20, 160, 24, shared_id, &task3_c_edit),
    input_edit("", 50, 70, 160, 24, shared_id, &task3_d_edit),
    input_edit("", 60, 120, 150, 24, shared_id, &task3_element_edit),
    result_edit("", 280, 160, 170, 24, shared_id, &task3_negative_edit),
    result_edit("", 280, 200, 170, 24, shared_id, &task3_zero_edit),
    result_edit("", 280, 240, 170, 24, shared_id, &task3_positive_edit),
};

// Not the textbook arctangent series: the ratio is positive, so the terms do not alternate, and
// the constant added at the end is the double 1.571, not pi/2.
long double first_term(long double x) {
    return -(1.0L / x);
}
long double numerator(long double n, long double) {
    return (2.0L * n) - 1.0L;
}
long double denominator(long double n, long double x) {
    return (((n * 2.0L) + 1.0L) * x) * x;
}
long double add_constant(long double s) {
    return s + 1.571;
}

long double above(long double a, long double b) {
    return ((3.0L * a) - 5.0L) / b;
}
long double below(long double a, long double b) {
    return (((a * a) * a) + b) / a;
}

// The split by sign of the elements selected here is done by the shared query.
bool selects(double x, double c, double d, double) {
    return !is_below(x, c) && !is_above(x, d);
}

constexpr SeriesSpec series = {.first_term = first_term,
                               .n0 = 1,
                               .numerator = numerator,
                               .denominator = denominator,
                               .final_step = add_constant};

} // namespace

constexpr VariantProfile profile = {
    .main_window = {.caption = "Практика 2011", .x = 100, .y = 100, .width = 300, .height = 280},
    .main_controls = control_table(main_controls),
    .task_windows = {{.launch_id = task1_launch_id,
                      .class_name = "Window1",
                      .caption = "Практика 2011. Завдання 1",
                      .x = 50,
                      .y = 50,
                      .width = 500,
                      .height = 320},
                     {.launch_id = task2_launch_id,
                      .class_name = "Window2",
                      .caption = "Практика 2011. Завдання 2",
                      .x = 50,
                      .y = 50,
                      .width = 450,
                      .height = 280},
                     {.launch_id = task3_launch_id,
                      .class_name = "Window3",
                      .caption = "Практика 2011. Завдання 3",
                      .x = 50,
                      .y = 50,
                      .width = 500,
                      .height = 320}},
    .already_open = {.kind = information_box, .text = "Вікно вже відкрите !!!"},
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
                   .equal_value = -4,
                   .above = above,
                   .below = below,
                   .guards_zero_divisor = false},
    .array = {.controls = control_table(task3_controls),
              .add_id = task3_add_id,
              .execute_id = task3_execute_id,
              .added_text = "Елемент добавлено в масив!",
              .guards_zero_c = false,
              .threshold = nullptr,
              .selects = selects,
              .aggregate_start = 0,
              .accumulate = nullptr,
              .counts_by_sign = true},
};
