// Variant 4, earlier build: as the later one, but with editable statement boxes, shorter buttons
// and a few other texts and places.
#include "tasks/array/array.h"
#include "tasks/common/task_io.h"
#include "tasks/expression/expression.h"
#include "tasks/tabulation/series_sum.h"
#include "tasks/tabulation/tabulation.h"
#include "variants/control_kinds.h"
#include "variants/variant4_computation.h"

namespace {

using variant4::series;

// The IDs that the window procedures look up, each written once.
const int task1_launch_id = 9;
const int task2_launch_id = 10;
const int task3_launch_id = 11;
const int task1_execute_id = 109;
const int task2_execute_id = 121;
const int task3_add_id = 130;
const int task3_execute_id = 131;

constexpr MainControlSpec main_controls[] = {
    push_button("Відкрити", 400, 485, 100, 25, task3_launch_id),
    push_button("Відкрити", 400, 275, 100, 25, task2_launch_id),
    push_button("Відкрити", 400, 95, 100, 25, task1_launch_id),
    editable_statement_box(" Знайти суму кубів всіх від’ємних елементів\r\n"
                           " масиву, які задовольняють умові: a[i]>=c*d",
                           32, 440, 350, 120, 8),
    editable_statement_box("Обчислити і вивести на екран значення\r\n"
                           " наступного виразу\r\n"
                           " [(A=B)? -125], [(A>B)? 52*b/a+b], [(A<B)? (a-5)/b] \r\n"
                           " де A та B вхідні дані (дійсні числа),\r\n"
                           " X результат обчислення виразу",
                           32, 230, 350, 120, 6),
    editable_statement_box("Протабулювати функцію ln(x+1)", 32, 50, 350, 120, 5),
    label("Варіант №4", 224, 8, 80, 17, 4),
    // The frames come last, around the statement boxes and launch buttons made before them.
    group_box("Завдання 3", 24, 420, 500, 150, 3),
    group_box("Завдання 2", 24, 210, 500, 150, 2),
    group_box("Завдання 1", 24, 30, 500, 150, 1),
};

constexpr TaskControlSpec task1_controls[] = {
    push_button("Обрахувати", 10, 90, 100, 25, task1_execute_id),
    label("Xp= ", 10, 10, 30, 17, 110),
    label("Xk= ", 150, 10, 30, 17, 111),
    label("DX= ", 10, 55, 30, 17, 112),
    label("EPS= ", 142, 55, 35, 17, 113),
    label("Результат= ", 20, 130, 75, 17, 114),
    input_edit("0.1", 40, 7, 100, 24, 115, &task1_xstart_edit),
    input_edit("0.2", 180, 7, 100, 24, 116, &task1_xend_edit),
    input_edit("0.1", 40, 52, 100, 24, 117, &task1_dx_edit),
    input_edit("30", 180, 52, 100, 24, 118, &task1_eps_edit),
    multiline_edit("", 120, 87, 160, 60, 119, &task1_result_edit),
};

constexpr TaskControlSpec task2_controls[] = {
    push_button("Обрахувати", 100, 80, 100, 25, task2_execute_id, &task2_execute_button),
    label("A= ", 10, 30, 20, 17, 122),
    label("B= ", 150, 30, 20, 17, 123),
    label("Результат= ", 20, 130, 75, 17, 124),
    input_edit("", 30, 27, 100, 24, 125, &task2_a_edit),
    input_edit("", 170, 27, 100, 24, 126, &task2_b_edit),
    result_edit("", 105, 126, 160, 24, 127, &task2_result_edit),
};

constexpr TaskControlSpec task3_controls[] = {
    push_button("Добавити", 160, 22, 100, 25, task3_add_id, &task3_add_button),
    push_button("Обрахувати", 100, 120, 100, 25, task3_execute_id, &task3_execute_button),
    label("C= ", 10, 75, 20, 17, 132),
    label("D= ", 150, 75, 20, 17, 133),
    label("A= ", 25, 25, 20, 17, 134),
    label("Результат= ", 20, 160, 75, 17, 135),
    input_edit("", 30, 72, 100, 24, 136, &task3_c_edit),
    input_edit("", 170, 72, 100, 24, 137, &task3_d_edit),
    input_edit("", 45, 22, 100, 24, 138, &task3_element_edit),
    result_edit("", 105, 157, 160, 24, 139, &task3_result_edit),
};

} // namespace

constexpr VariantProfile profile = {
    .main_window = {.caption = "Практика", .x = 50, .y = 50, .width = 550, .height = 640},
    .main_controls = control_table(main_controls),
    .task_windows = {{.launch_id = task1_launch_id,
                      .class_name = "Window1",
                      .caption = "Завдання 1",
                      .x = 610,
                      .y = 50,
                      .width = 300,
                      .height = 200},
                     {.launch_id = task2_launch_id,
                      .class_name = "Window2",
                      .caption = "Завдання 2",
                      .x = 610,
                      .y = 250,
                      .width = 300,
                      .height = 200},
                     {.launch_id = task3_launch_id,
                      .class_name = "Window3",
                      .caption = "Завдання 3",
                      .x = 610,
                      .y = 450,
                      .width = 300,
                      .height = 240}},
    .already_open = {.kind = flash_and_focus, .text = nullptr},
    .exit_id = 0,
    .about_id = 0,
    .about_text = nullptr,
    .tabulation = {.controls = control_table(task1_controls),
                   .execute_id = task1_execute_id,
                   .series_sum = series_sum<series>,
                   .row_label = "При X=",
                   .keeps_earlier_rows = false},
    .expression = {.controls = control_table(task2_controls),
                   .execute_id = task2_execute_id,
                   .equal_value = -125,
                   .above = variant4::above,
                   .below = variant4::below,
                   .guards_zero_divisor = false},
    .array = {.controls = control_table(task3_controls),
              .add_id = task3_add_id,
              .execute_id = task3_execute_id,
              .added_text = nullptr,
              .guards_zero_c = false,
              .threshold = variant4::threshold,
              .selects = variant4::selects,
              .aggregate_start = 0,
              .accumulate = variant4::add_cube,
              .counts_by_sign = false},
};
