// Variant 1: five buttons in the main window, among them an exit and an About button; every task
// window carries its own statement.
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
const int exit_id = 12;
const int about_id = 13;

constexpr MainControlSpec main_controls[] = {
    push_button("Про програму", 280, 80, 170, 40, about_id),
    push_button("ВИХІД", 280, 160, 170, 40, exit_id),
    push_button("Завдання 3", 50, 200, 170, 40, task3_launch_id),
    push_button("Завдання 2", 50, 120, 170, 40, task2_launch_id),
    push_button("Завдання 1", 50, 40, 170, 40, task1_launch_id),
};

constexpr TaskControlSpec task1_controls[] = {
    push_button("Обрахувати", 340, 300, 125, 40, task1_execute_id),
    label("Xp= ", 20, 130, 30, 17, 110),
    label("Xk= ", 270, 130, 30, 17, 111),
    label("DX= ", 20, 200, 30, 17, 112),
    label("EPS= ", 260, 200, 35, 17, 113),
    label("Результат= ", 30, 250, 75, 17, 114),
    input_edit("1.1", 50, 130, 160, 24, 115, &task1_xstart_edit),
    input_edit("1.9", 300, 130, 160, 24, 116, &task1_xend_edit),
    input_edit("0.2", 50, 200, 160, 24, 117, &task1_dx_edit),
    input_edit("5", 300, 200, 160, 24, 118, &task1_eps_edit),
    multiline_edit("", 110, 250, 160, 80, 119, &task1_result_edit),
    multiline_edit("Протабулювати функцію ln[(x+1)/(x-1)]", 30, 30, 440, 80, 108),
};

constexpr TaskControlSpec task2_controls[] = {
    push_button("Обрахувати", 340, 225, 125, 40, task2_execute_id, &task2_execute_button),
    label("A= ", 30, 180, 20, 17, 122),
    label("B= ", 270, 180, 20, 17, 123),
    label("Результат= ", 30, 230, 75, 17, 124),
    input_edit("11.25", 50, 180, 160, 24, 125, &task2_a_edit),
    input_edit("7.52", 300, 180, 160, 24, 126, &task2_b_edit),
    scrolling_result_edit("", 110, 230, 160, 24, 127, &task2_result_edit),
    multiline_edit("     Обчислити і вивести на екран значення\r\n"
                   "   наступного виразу\r\n"
                   "         Якщо A=B, X = 25\r\n"
                   "         Якщо A>B  X = (a-b)/a+1\r\n"
                   "         Якщо A<B  X = (a-5)/b\r\n"
                   "   де A та B вхідні дані (дійсні числа),\r\n"
                   "   X результат обчислення виразу",
                   30, 30, 440, 130, 120, &task2_statement),
};

constexpr TaskControlSpec task3_controls[] = {
    push_button("Добавити", 340, 200, 120, 40, task3_add_id, &task3_add_button),
    push_button("Обрахувати", 340, 255, 120, 40, task3_execute_id, &task3_execute_button),
    label("C= ", 30, 150, 20, 17, 132),
    label("D= ", 280, 150, 20, 17, 133),
    label("a[i]= ", 81, 210, 25, 17, 134),
    label("Результат= ", 30, 260, 75, 17, 135),
    input_edit("0", 50, 150, 160, 24, 136, &task3_c_edit),
    input_edit("0", 300, 150, 160, 24, 137, &task3_d_edit),
    input_edit("0", 110, 210, 160, 24, 138, &task3_element_edit),
    scrolling_result_edit("", 110, 260, 160, 24, 139, &task3_result_edit),
    multiline_edit(" Знайти скільки елементів масиву\r\n"
                   " задовольняє умові:c<=a[i]<=d",
                   30, 30, 440, 80, 140, &task3_statement),
};

// The ratio uses 2n + 1 and 2n + 3, one step ahead of the textbook series; S is doubled at the
// end.
long double first_term(long double x) {
    return 1.0L / x;
}
long double numerator(long double n, long double) {
    return (2.0L * n) + 1.0L;
}
long double denominator(long double n, long double x) {
    return (((2.0L * n) + 3.0L) * x) * x;
}
long double twice(long double s) {
    return s * 2.0L;
}

long double above(long double a, long double b) {
    return ((a - b) / a) + 1.0L;
}
long double below(long double a, long double b) {
    return (a - 5.0L) / b;
}

bool selects(double x, double c, double d, double) {
    return !is_below(x, c) && !is_above(x, d);
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
    .main_window = {.caption = "Практика 2011. Автори практикуму. Варіант №1",
                    .x = CW_USEDEFAULT,
                    .y = CW_USEDEFAULT,
                    .width = 500,
                    .height = 300},
    .main_controls = control_table(main_controls),
    .task_windows = {{.launch_id = task1_launch_id,
                      .class_name = "Window1",
                      .caption = "Перше завдання",
                      .x = 50,
                      .y = 50,
                      .width = 500,
                      .height = 400},
                     {.launch_id = task2_launch_id,
                      .class_name = "Window2",
                      .caption = "Друге завдання",
                      .x = 80,
                      .y = 80,
                      .width = 500,
                      .height = 320},
                     {.launch_id = task3_launch_id,
                      .class_name = "Window3",
                      .caption = "Третє завдання",
                      .x = 110,
                      .y = 110,
                      .width = 500,
                      .height = 350}},
    .already_open = {.kind = information_box, .text = "Вікно вже відкрите !!!"},
    .exit_id = exit_id,
    .about_id = about_id,
    .about_text = "Автори практикуму",
    .tabulation = {.controls = control_table(task1_controls),
                   .execute_id = task1_execute_id,
                   .series_sum = series_sum<series>,
                   .row_label = "При X=",
                   .keeps_earlier_rows = false},
    .expression = {.controls = control_table(task2_controls),
                   .execute_id = task2_execute_id,
                   .equal_value = 25,
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
