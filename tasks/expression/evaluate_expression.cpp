#include "tasks/expression/expression.h"

#include "platform/x87.h"
#include "shell/shell.h"
#include "tasks/common/task_io.h"
#include "variants/profile.h"

HWND task2_a_edit;
HWND task2_b_edit;
HWND task2_result_edit;
HWND task2_execute_button;
HWND task2_statement;

void evaluate_expression() {
    const ExpressionProfile& expression = profile.expression;
    double a = read_number(task2_a_edit);
    double b = read_number(task2_b_edit);

    x87_reset();
    double x;
    if (is_equal(a, b)) {
        x = expression.equal_value;
    } else {
        bool a_above_b = is_above(a, b);
        double divisor = a_above_b ? a : b;
        if (expression.guards_zero_divisor && is_equal(divisor, 0)) {
            show_number(task2_result_edit, -1);
            show_information(window2_handle, DIVISION_BY_ZERO_TEXT);
            return;
        }
        x = a_above_b ? expression.above(a, b) : expression.below(a, b);
    }
    show_number(task2_result_edit, x);
}
