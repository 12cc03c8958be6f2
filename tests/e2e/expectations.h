// What the end-to-end driver expects of each deliverable, as data: one row per deliverable. Each
// window as it opens, with its controls and their texts, is its reviewed snapshot's
// (tests/shipped/windows/). Controls are named by their place in the creation order (1-based),
// because IDs repeat.
#pragma once

const int max_fields = 6;
const int max_elements = 4;

struct FieldText {
    int order; // 0 ends a list
    const char* text;
};

struct TaskCase {
    FieldText typed[max_fields]; // typed before running (fields that start empty)
    int execute_id;
    FieldText results[max_fields];
};

// Task 3: the elements added one by one before Execute.
struct ArrayCase {
    int element_order;
    const char* elements[max_elements];
    int add_id;
    const char* added_text;              // confirmation box after each addition, or null
    FieldText empty_results[max_fields]; // Execute right after reopening
};

// Task 2 with a zero divisor, where the deliverable guards it.
struct GuardCase {
    FieldText typed[max_fields];
    FieldText results[max_fields];
    const char* box_text; // null: no guard
};

struct Deliverable {
    const char* name;
    int launch_ids[3];
    const char* already_open_text; // null: the open window takes the focus instead
    int exit_id;                   // 0: none
    TaskCase tasks[3];
    ArrayCase array;
    GuardCase guard;
    // Task 1's result after the 3rd, the 4th and the 10th click of Execute (null: not checked).
    const char* task1_after_repeats;
};

// The row of a deliverable, or null.
const Deliverable* expectations_of(const char* deliverable);
