// Variant 5: a credit label and three buttons in the main window; Task 3 counts the positive
// elements between C and D.
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
    label("Варіант №5 Автори практикуму", 20, 20, 300, 17, 8),
    push_button("Відкрити ТРЕТЄ завданння", 40, 190, 220, 35, task3_launch_id),
    push_button("Відкрити ДРУГЕ завданння", 40, 120, 220, 35, task2_launch_id),
    push_button("Відкрити ПЕРШЕ завданння", 40, 50, 220, 35, task1_launch_id),
};

constexpr TaskControlSpec task1_controls[] = {
    push_button("Виконати", 300, 20, 120, 40, task1_execute_id),
    label("Xp= ", 20, 20, 30, 17, 110),
    label("Xk= ", 20, 70, 30, 17, 111),
    label("DX= ", 20, 120, 30, 17, 112),
    label("EPS= ", 10, 170, 35, 17, 113),
    label("Результат: ", 250, 80, 75, 17, 114),
    label("Завдання: Протабулювати функцію ln[(1+x)/(1-x)]", 40, 250, 200, 200, 108),
    input_edit("-0.5", 50, 20, 160, 24, 115, &task1_xstart_edit),
    input_edit("0.5", 50, 70, 160, 24, 116, &task1_xend_edit),
    input_edit("0.25", 50, 120, 160, 24, 117, &task1_dx_edit),
    input_edit("22", 50, 170, 160, 24, 118, &task1_eps_edit),
    multiline_edit("", 250, 100, 200, 200, 119, &task1_result_edit),
};

constexpr TaskControlSpec task2_controls[] = {
    push_button("Виконати", 300, 20, 120, 40, task2_execute_id, &task2_execute_button),
    label("A= ", 20, 20, 20, 17, 122),
    label("B= ", 20, 70, 20, 17, 123),
    label("Результат: ", 250, 100, 75, 17, 124),
    label("     Обчислити і вивести на екран значення\r\n"
          "   наступного виразу\r\n"
          "         Якщо A=B, X = -10\r\n"
          "         Якщо A>B  X = 1-b/a\r\n"
          "         Якщо A<B  X = (a-5)/b\r\n"
          "   де A та B вхідні дані (дійсні числа),\r\n"
          "   X результат обчислення виразу",
          30, 105, 210, 150, 120, &task2_statement),
    input_edit("5", 40, 20, 160, 24, 125, &task2_a_edit),
    input_edit("5", 40, 70, 160, 24, 126, &task2_b_edit),
    result_edit("", 250, 120, 200, 24, 127, &task2_result_edit),
};

constexpr TaskControlSpec task3_controls[] = {
    push_button("Добавити", 90, 170, 120, 40, task3_add_id, &task3_add_button),
    push_button("Виконати", 300, 20, 120, 40, task3_execute_id, &task3_execute_button),
    label("C= ", 30, 20, 20, 17, 132),
    label("D= ", 30, 70, 20, 17, 133),
    label("a[i]= ", 30, 120, 30, 17, 134),
    label("Результат: ", 250, 70, 75, 17, 135),
    label(" Знайти, скільки додатних  елементів масиву задовольняє умові: c<=a[i]<=d", 60, 220, 400,
          100, 140, &task3_statement),
    input_edit("-5", 50, 20, 160, 24, 136, &task3_c_edit),
    input_edit("5", 50, 70, 160, 24, 137, &task3_d_edit),
    input_edit("3", 60, 120, 150, 24, 138, &task3_element_edit),
    result_edit("", 250, 90, 200, 24, 139, &task3_result_edit),
};

// The numerator has a single factor X, unlike the textbook series; S is doubled at the end.
long double first_term(long double x) {
    return x;
}
long double numerator(long double n, long double x) {
    return ((2.0L * n) + 1.0L) * x;
}
long double denominator(long double n, long double) {
    return (1.0L + n) * 2.0L;
}
long double twice(long double s) {
    return s * 2.0L;
}

long double above(long double a, long double b) {
    return 1.0L - (b / a);
}
long double below(long double a, long double b) {
    return (a - 5.0L) / b;
}

bool selects(double x, double c, double d, double) {
    return is_above(x, 0) && !is_below(x, c) && !is_above(x, d);
}
long double count(long double n, long double) {
    return n + 1.0L;
}

constexpr SeriesSpec series = {.first_term = first_term,
                               .n0 = 1,
                               .numerator = numerator,
                               .denominator = denominator,
                               .final_step = twice};

} // namespace

constexpr VariantProfile profile = {
    .main_window = {.caption = "Практика 2011", .x = 100, .y = 100, .width = 300, .height = 280},
    .main_controls = control_table(main_controls),
    .task_windows = {{.launch_id = task1_launch_id,
                      .class_name = "Window1",
                      .caption = "ПЕРШЕ завдання",
                      .x = 50,
                      .y = 50,
                      .width = 500,
                      .height = 350},
                     {.launch_id = task2_launch_id,
                      .class_name = "Window2",
                      .caption = "ДРУГЕ завдання",
                      .x = 50,
                      .y = 50,
                      .width = 500,
                      .height = 300},
                     {.launch_id = task3_launch_id,
                      .class_name = "Window3",
                      .caption = "ТРЕТЄ завдання",
                      .x = 50,
                      .y = 50,
                      .width = 500,
                      .height = 300}},
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
                   .equal_value = -10,
                   .above = above,
                   .below = below,
                   .guards_zero_divisor = false},
    .array = {.controls = control_table(task3_controls),
              .add_id = task3_add_id,
              .execute_id = task3_execute_id,
              .added_text = "Добавлено у вектор !!!",
              .guards_zero_c = false,
              .threshold = nullptr,
              .selects = selects,
              .aggregate_start = 0,
              .accumulate = count,
              .counts_by_sign = false},
};
