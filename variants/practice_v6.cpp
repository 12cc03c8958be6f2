// Variant 6: three buttons in the main window; Task 2 guards its divisors, Task 3 sums squares
// above D / C with no guard on C.
#include "tasks/array/array.h"
#include "tasks/common/task_io.h"
#include "tasks/expression/expression.h"
#include "tasks/tabulation/series_sum.h"
#include "tasks/tabulation/tabulation.h"
#include "variants/control_kinds.h"

namespace {

// The IDs that the window procedures look up, each written once.
const int task1_launch_id = 9;
const int task2_launch_id = 10;
const int task3_launch_id = 11;
const int task1_execute_id = 109;
const int task2_execute_id = 121;
const int task3_add_id = 130;
const int task3_execute_id = 131;

constexpr MainControlSpec main_controls[] = {
    push_button("Завдання 3", 50, 200, 200, 40, task3_launch_id),
    push_button("Завдання 2", 50, 120, 200, 40, task2_launch_id),
    push_button("Завдання 1", 50, 40, 200, 40, task1_launch_id),
};

constexpr TaskControlSpec task1_controls[] = {
    push_button("Обрахувати", 50, 125, 100, 25, task1_execute_id),
    label("Xp= ", 20, 20, 30, 17, 110),
    label("Xk= ", 270, 20, 30, 17, 111),
    label("DX= ", 20, 70, 30, 17, 112),
    label("EPS= ", 260, 70, 35, 17, 113),
    label("Результат= ", 165, 125, 75, 17, 114),
    input_edit("0.1", 50, 20, 160, 24, 115, &task1_xstart_edit),
    input_edit("0.9", 300, 20, 160, 24, 116, &task1_xend_edit),
    input_edit("0.1", 50, 70, 160, 24, 117, &task1_dx_edit),
    input_edit("30", 300, 70, 160, 24, 118, &task1_eps_edit),
    multiline_edit("", 250, 110, 200, 60, 119, &task1_result_edit),
    multiline_edit("Протабулювати функцію ln(1-x)", 50, 200, 400, 130, 108),
};

constexpr TaskControlSpec task2_controls[] = {
    push_button("Обрахувати", 200, 90, 125, 40, task2_execute_id, &task2_execute_button),
    label("A= ", 30, 40, 20, 17, 122),
    label("B= ", 270, 40, 20, 17, 123),
    label("Результат= ", 115, 150, 75, 17, 124),
    input_edit("77.7", 50, 40, 160, 24, 125, &task2_a_edit),
    input_edit("77.7", 300, 40, 160, 24, 126, &task2_b_edit),
    result_edit("", 200, 150, 200, 24, 127, &task2_result_edit),
    multiline_edit("     Обчислити і вивести на екран значення\r\n"
                   "   наступного виразу\r\n"
                   "         Якщо A=B, X = -2\r\n"
                   "         Якщо A>B  X = (2+b)/a\r\n"
                   "         Якщо A<B  X = (a-5)/b\r\n"
                   "   де A та B вхідні дані (дійсні числа),\r\n"
                   "   X результат обчислення виразу",
                   50, 200, 400, 130, 120, &task2_statement),
};

constexpr TaskControlSpec task3_controls[] = {
    push_button("Добавити", 300, 80, 120, 40, task3_add_id, &task3_add_button),
    push_button("Обрахувати", 70, 150, 120, 40, task3_execute_id, &task3_execute_button),
    label("C= ", 30, 20, 20, 17, 132),
    label("D= ", 280, 20, 20, 17, 133),
    label("A= ", 30, 80, 20, 17, 134),
    label("Результат= ", 210, 160, 75, 17, 135),
    input_edit("1", 50, 20, 160, 24, 136, &task3_c_edit),
    input_edit("4", 300, 20, 160, 24, 137, &task3_d_edit),
    input_edit("5", 50, 80, 160, 24, 138, &task3_element_edit),
    result_edit("", 290, 157, 160, 24, 139, &task3_result_edit),
    // The last letter is the Cyrillic "с", as the statement was always shown.
    multiline_edit(" Знайти суму квадратів всіх додатних елементів\r\n"
                   " масиву, які задовольняють умові: a[i]>=d/с",
                   50, 200, 400, 130, 140, &task3_statement),
};

// The counter starts at 2, not 1.
long double first_term(long double x) {
    return -x;
}
long double numerator(long double n, long double x) {
    return x * n;
}
long double denominator(long double n, long double) {
    return 1.0L + n;
}

long double above(long double a, long double b) {
    return (2.0L + b) / a;
}
long double below(long double a, long double b) {
    return (a - 5.0L) / b;
}

// A zero C gives an infinite or NaN threshold; the comparisons then decide.
long double threshold(long double c, long double d) {
    return d / c;
}
bool selects(double x, double, double, double t) {
    return is_above(x, 0) && !is_below(x, t);
}
long double add_square(long double sum, long double x) {
    return sum + (x * x);
}

constexpr SeriesSpec series = {.first_term = first_term,
                               .n0 = 2,
                               .numerator = numerator,
                               .denominator = denominator,
                               .final_step = nullptr};

} // namespace

constexpr VariantProfile profile = {
    .main_window =
        {.caption = "Практика. Варіант №6", .x = 100, .y = 100, .width = 300, .height = 300},
    .main_controls = control_table(main_controls),
    .task_windows = {{.launch_id = task1_launch_id,
                      .class_name = "Window1",
                      .caption = "Завдання 1",
                      .x = 50,
                      .y = 50,
                      .width = 500,
                      .height = 400},
                     {.launch_id = task2_launch_id,
                      .class_name = "Window2",
                      .caption = "Завдання 2",
                      .x = 50,
                      .y = 50,
                      .width = 500,
                      .height = 400},
                     {.launch_id = task3_launch_id,
                      .class_name = "Window3",
                      .caption = "Завдання 3",
                      .x = 50,
                      .y = 50,
                      .width = 500,
                      .height = 400}},
    .already_open = {.kind = information_box, .text = "Вікно вже відкрите !!!"},
    .exit_id = 0,
    .about_id = 0,
    .about_text = nullptr,
    .tabulation = {.controls = control_table(task1_controls),
                   .execute_id = task1_execute_id,
                   .series_sum = series_sum<series>,
                   .row_label = "При X=",
                   .keeps_earlier_rows = true},
    .expression = {.controls = control_table(task2_controls),
                   .execute_id = task2_execute_id,
                   .equal_value = -2,
                   .above = above,
                   .below = below,
                   .guards_zero_divisor = true},
    .array = {.controls = control_table(task3_controls),
              .add_id = task3_add_id,
              .execute_id = task3_execute_id,
              .added_text = "Добавлено у вектор !!!",
              .guards_zero_c = false,
              .threshold = threshold,
              .selects = selects,
              .aggregate_start = 0,
              .accumulate = add_square,
              .counts_by_sign = false},
};
