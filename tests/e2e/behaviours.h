// The behaviour inventory: every behaviour a user can see in a deliverable, and the data with which
// the end-to-end scenario (scenario.h) walks each one, chosen so that a near miss gives another
// result. Each step of the scenario names the behaviours it walks; a behaviour that a deliverable
// has and no step walks fails its tests (tests/scenario/scenario_test.cpp).
#pragma once

#include "tests/e2e/scenario.h"

#include <string>
#include <vector>

struct Behaviour {
    const char* name;
    const char* what;
    const char* deliverables; // those that have it, separated by blanks; null: every one
};
const std::vector<Behaviour>& behaviour_inventory();
bool has_behaviour(const Behaviour& behaviour, const char* deliverable);

const int max_runs = 4;
const int max_queries = 3;
const int max_query_elements = 6;

// A control by its window (0 main, 1 to 3 the tasks) and its place in the creation order.
struct ControlAt {
    int window;
    int order;
};

// Task 1 after its first run: the texts typed into start, end, step and term limit (null: as they
// are), the clicks of Execute, and the table after the last.
struct TableRun {
    const char* walks;
    const char* inputs[4];
    int clicks;     // 0: one
    bool unchanged; // the table stays as the runs before left it
    std::string table;
};

// Task 2: A and B typed, the text of X (null: the release guide's value when A equals B), and the
// box owned by the Task 2 window (null: none).
struct ExpressionCase {
    const char* walks;
    const char* a;
    const char* b;
    const char* x;
    const char* box;
};

// Task 3: elements added, then C and D typed and Execute clicked: the results (the one result, or
// the negative, zero and positive counts), and the box owned by the Task 3 window (null: none).
// Where `taken` lists the elements the query takes, the results must be what the release guide's
// aggregate makes of them.
struct ArrayQuery {
    const char* walks;
    const char* elements[max_query_elements];
    const char* c;
    const char* d;
    const char* results[3];
    const char* box;
    const char* taken[max_query_elements];
};

struct BehaviourCases {
    const char* deliverable;
    int task1_inputs[5]; // start, end, step, term limit, the table
    int task2_inputs[3]; // A, B, X
    int task3_inputs[3]; // C, D, the element
    int task3_results[3];
    ControlAt task1_statement; // where Task 1's statement names its function
    const char* about_text;    // the About button's box, or null
    int about_id;
    TableRun task1[max_runs];
    ExpressionCase task2[5];
    // After Task 3's first query the store is filled up with `filler`, which that query does not
    // take, and `refused`, which it would take, is the 101st: the query's results stay.
    const char* filler;
    const char* refused;
    // Queries of the reopened Task 3 window, in turn.
    ArrayQuery task3[max_queries];
};

// The cases of a deliverable, or null.
const BehaviourCases* behaviour_cases_of(const char* deliverable);

// The deliverable's row of the release guide's table (variants/file_descriptions.cmake): variant,
// Task 1 function, Task 2 value when A equals B, Task 3 aggregate in Ukrainian and in English.
std::vector<std::string> release_row_of(const char* deliverable);

// What the release guide's aggregate makes of the elements a query takes, as the programs show it;
// empty, with the reason in *problem, for an aggregate it does not know.
std::vector<std::string> aggregate_by_guide(const std::vector<std::string>& row,
                                            const std::vector<std::string>& taken,
                                            std::string* problem);

// The scenario's steps that walk the inventory, at each point where the scenario makes room for
// them (see scenario.cpp).
enum class WalkPoint {
    start,       // the main window is up
    task1_runs,  // after Task 1's first run, every task window open
    task2_cases, // after Task 2's first run
    store_full,  // after Task 3's first query
    task3_again, // Task 3 reopened, its store empty
};
std::vector<Step> behaviour_steps(const Deliverable& deliverable, WalkPoint point);

// Where the class of each window shows; the same in every deliverable (the four classes share one
// setup).
struct ClassSetup {
    const char* name;
    unsigned style;
    const char* icon;
    const char* small_icon;
    const char* cursor;
    unsigned background;
};
const std::vector<ClassSetup>& class_setups();
