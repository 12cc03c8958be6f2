#include "tests/e2e/behaviours.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>

namespace {

const char* const clears = "practice_v4 practice_v1 practice_v4_early";
const char* const keeps = "practice_v8 practice_v5 practice_v14 practice_v6";
const char* const confirms = "practice_v1 practice_v8 practice_v5 practice_v14 practice_v6";
const char* const unguarded = "practice_v4 practice_v1 practice_v4_early practice_v8 practice_v5 "
                              "practice_v14";

// Every behaviour a user can see, by window and task; null: every deliverable has it.
const std::vector<Behaviour> inventory = {
    {"main.opens", "the main window opens with its caption, place and size, and keeps its size",
     nullptr},
    {"classes",
     "every window's class: the arrow cursor, the application icon (large and small), "
     "the dialog face background",
     nullptr},
    {"task1.opens", "Task 1's launch button opens its window, owned by the main window", nullptr},
    {"task2.opens", "Task 2's launch button opens its window, owned by the main window", nullptr},
    {"task3.opens", "Task 3's launch button opens its window, owned by the main window", nullptr},
    {"task1.notice", "Task 1's launch button while it is open gives the notice, no second window",
     nullptr},
    {"task2.notice", "Task 2's launch button while it is open gives the notice, no second window",
     nullptr},
    {"task3.notice", "Task 3's launch button while it is open gives the notice, no second window",
     nullptr},
    {"task3.notice-keeps-elements", "after the notice Task 3 still has its elements", nullptr},
    {"task1.reopens", "Task 1 closed and opened again shows its initial texts", nullptr},
    {"task2.reopens", "Task 2 closed and opened again shows its initial texts", nullptr},
    {"task3.reopens", "Task 3 closed and opened again shows its initial texts", nullptr},
    {"main.closes", "closing the main window with every task open ends the program with code 0",
     nullptr},
    {"main.exit-button", "the exit button ends the program with code 0, a box up", "practice_v1"},
    {"main.about-button", "the About button shows the credit in a box owned by the main window",
     "practice_v1"},
    {"box.blocks-only-its-owner",
     "while a confirmation is up, another task can be closed, opened and run", confirms},

    {"task1.runs", "Execute shows a row per X from start to end: X and its sum", nullptr},
    {"task1.second-run-clears", "a second run shows only its own rows, the same again", clears},
    {"task1.second-run-appends", "a second run appends its rows after the first run's", keeps},
    {"task1.no-rows-clears", "a run whose start is above its end shows an empty table", clears},
    {"task1.no-rows-keeps", "a run whose start is above its end leaves the table as it was", keeps},
    {"task1.fills-table",
     "rows that do not fit: whole rows as far as they fit, earlier rows giving way where kept",
     nullptr},
    {"task1.zero-x", "X = 0 divides by zero: the sum shows as infinity, no message",
     "practice_v1 practice_v8"},
    {"release.task1-function", "the release guide's Task 1 function is the one the statement names",
     nullptr},

    {"task2.equal", "A equal to B (0 and -0) gives the release guide's value", nullptr},
    {"task2.above", "A above B: its formula, the operands in their order", nullptr},
    {"task2.below", "A below B: its formula, the operands in their order", nullptr},
    {"task2.guard-above", "A above B with a zero divisor: -1 and a box owned by Task 2",
     "practice_v6"},
    {"task2.guard-below", "A below B with a zero divisor: -1 and a box owned by Task 2",
     "practice_v6"},
    {"task2.unguarded-above", "A above B with a zero divisor: the infinity, no box", unguarded},
    {"task2.unguarded-below", "A below B with a zero divisor: the infinity, no box", unguarded},

    {"task3.confirms-addition", "each addition is confirmed by a box owned by Task 3", confirms},
    {"task3.adds-silently", "an addition shows no box", "practice_v4 practice_v4_early"},
    {"task3.empty-store", "Execute with no elements shows the empty store's result", nullptr},
    {"task3.lower-bound", "an element equal to the lower bound is taken, one below it is not",
     nullptr},
    {"task3.upper-bound", "an element equal to D is taken, one above it is not",
     "practice_v1 practice_v8 practice_v5"},
    {"task3.negatives-only", "a positive element is not taken", "practice_v4 practice_v4_early"},
    {"task3.positives-only", "an element equal to 0, or below it, is not taken",
     "practice_v5 practice_v6"},
    {"task3.zero-taken", "an element equal to 0 is a factor, a positive one is not",
     "practice_v14"},
    {"task3.by-sign", "negative, zero and positive counts, each in its own field", "practice_v8"},
    {"task3.goes-past-a-miss", "an element not taken between two taken ones", nullptr},
    {"task3.aggregate", "the result is the release guide's aggregate of the elements taken",
     nullptr},
    {"task3.zero-c-guarded", "C = 0: -1 and a box owned by Task 3, no element looked at",
     "practice_v14"},
    {"task3.zero-c-unguarded", "C = 0: an infinite threshold, no box", "practice_v6"},
    {"task3.full",
     "the 100th element is taken; the 101st gives a box owned by Task 3, the store stays", nullptr},
};

const char* const division_by_zero = "Ділення на нуль!";
const char* const store_full_text = "Масив заповнено!";

#define ROW(label, x, sum) label x "\r\n" sum "\r\n"
#define R4 ROW("При X=", "0.1", "9.379640e-002") ROW("При X=", "0.2", "0.1767844")
#define R1                                                                                         \
    ROW("При X=", "1.1", "3.987176")                                                               \
    ROW("При X=", "1.3", "2.498948")                                                               \
    ROW("При X=", "1.5", "1.860306")                                                               \
    ROW("При X=", "1.7", "1.503282") ROW("При X=", "1.9", "1.271746")
#define R8 ROW("X =", "2", "1.021694") ROW("X =", "3", "1.224426")
#define R5_TAIL ROW("X =", "0", "0") ROW("X =", "0.25", "0.6188022") ROW("X =", "0.5", "1.656854")
#define R5 ROW("X =", "-0.5", "-0.7340137") ROW("X =", "-0.25", "-0.4222912") R5_TAIL
#define R14 ROW("X =", "0.5", "0.8775826") ROW("X =", "1", "0.5403023")

// Rows for X = first, first + 1, ... (whole numbers, written in full), each with the sum `sum`,
// or with X itself where sum is null.
std::string counted_rows(const char* label, long long first, int count, const char* sum) {
    std::string rows;
    for (long long x = first; x < first + count; ++x)
        rows += label + std::to_string(x) + "\r\n" + (sum ? sum : std::to_string(x)) + "\r\n";
    return rows;
}

// Whole numbers of 16 digits, the longest written in full: few rows fill the table.
const long long big = 1000000000000000;

const ExpressionCase variant4_cases[] = {
    {"task2.equal", "-0", "0", nullptr, nullptr},
    {"task2.above", "-1", "-4", "204", nullptr},
    {"task2.below", "-3", "2", "-4", nullptr},
    {"task2.unguarded-above", "0", "-1", "-inf", nullptr},
    {"task2.unguarded-below", "-1", "0", "-inf", nullptr},
};

const std::vector<BehaviourCases> cases = {
    {"practice_v4",
     {7, 8, 9, 10, 11},
     {5, 6, 7},
     {7, 8, 9},
     {10},
     {0, 6},
     nullptr,
     0,
     {{"task1.second-run-clears", {}, 0, false, R4},
      {"task1.no-rows-clears", {"1", "0"}, 0, false, ""},
      {"task1.fills-table",
       {"1000000000000000", "1000000000000099", "1", "0"},
       0,
       false,
       counted_rows("При X=", big, 12, nullptr)}},
     {variant4_cases[0], variant4_cases[1], variant4_cases[2], variant4_cases[3],
      variant4_cases[4]},
     "5",
     "-1",
     {{"task3.lower-bound task3.negatives-only task3.goes-past-a-miss task3.aggregate",
       {"-3", "-4", "-1", "2"},
       "-1",
       "3",
       {"-28"},
       nullptr,
       {"-3", "-1"}}}},

    {"practice_v1",
     {7, 8, 9, 10, 11},
     {5, 6, 7},
     {7, 8, 9},
     {10},
     {1, 12},
     "Автори практикуму",
     13,
     {{"task1.second-run-clears", {}, 0, false, R1},
      {"task1.zero-x", {"0", "0"}, 0, false, ROW("При X=", "0", "inf")},
      {"task1.no-rows-clears", {"2", "1"}, 0, false, ""},
      {"task1.fills-table",
       {"2000000000000000", "2000000000000099", "1", "0"},
       0,
       false,
       counted_rows("При X=", 2 * big, 13, "1.000000e-015")}},
     {{"task2.equal", "-0", "0", nullptr, nullptr},
      {"task2.above", "5", "-3", "2.6", nullptr},
      {"task2.below", "-3", "2", "-4", nullptr},
      {"task2.unguarded-above", "0", "-1", "inf", nullptr},
      {"task2.unguarded-below", "-1", "0", "-inf", nullptr}},
     "1",
     "0",
     {{"task3.lower-bound task3.upper-bound task3.goes-past-a-miss task3.aggregate",
       {"-1", "3", "2", "-1.5", "0.5"},
       "-1",
       "2",
       {"3"},
       nullptr,
       {"-1", "2", "0.5"}}}},

    {"practice_v4_early",
     {7, 8, 9, 10, 11},
     {5, 6, 7},
     {7, 8, 9},
     {10},
     {0, 6},
     nullptr,
     0,
     {{"task1.second-run-clears", {}, 0, false, R4},
      {"task1.no-rows-clears", {"1", "0"}, 0, false, ""},
      {"task1.fills-table",
       {"1000000000000000", "1000000000000099", "1", "0"},
       0,
       false,
       counted_rows("При X=", big, 12, nullptr)}},
     {variant4_cases[0], variant4_cases[1], variant4_cases[2], variant4_cases[3],
      variant4_cases[4]},
     "5",
     "-1",
     {{"task3.lower-bound task3.negatives-only task3.goes-past-a-miss task3.aggregate",
       {"-3", "-4", "-1", "2"},
       "-1",
       "3",
       {"-28"},
       nullptr,
       {"-3", "-1"}}}},

    {"practice_v8",
     {8, 9, 10, 11, 12},
     {6, 7, 8},
     {10, 11, 12},
     {13, 14, 15},
     {1, 6},
     nullptr,
     0,
     {{"task1.second-run-appends", {}, 0, false, R8 R8},
      {"task1.zero-x", {"0", "0"}, 0, false, R8 R8 ROW("X =", "0", "-inf")},
      {"task1.no-rows-keeps", {"1", "0"}, 0, true, ""},
      // The earliest rows give way to the last ones.
      {"task1.fills-table",
       {"1000000000000000", "1000000000000016", "1", "0"},
       0,
       false,
       ROW("X =", "3", "1.224426") ROW("X =", "0", "-inf") +
           counted_rows("X =", big, 17, "1.571")}},
     {{"task2.equal", "-0", "0", nullptr, nullptr},
      {"task2.above", "4", "1", "7", nullptr},
      {"task2.below", "-2", "3", "2.5", nullptr},
      // Its formulas divide by B when A is above B, by A when A is below B.
      {"task2.unguarded-above", "1", "0", "-inf", nullptr},
      {"task2.unguarded-below", "0", "1", "inf", nullptr}},
     "2",
     "0",
     {{"task3.lower-bound task3.upper-bound task3.by-sign task3.goes-past-a-miss task3.aggregate",
       {"-1", "-2", "2", "3", "1"},
       "-1",
       "2",
       {"1", "0", "2"},
       nullptr,
       {"-1", "2", "1"}}}},

    {"practice_v5",
     {8, 9, 10, 11, 12},
     {6, 7, 8},
     {8, 9, 10},
     {11},
     {1, 7},
     nullptr,
     0,
     {{"task1.second-run-appends", {}, 0, false, R5 R5},
      // Five more runs of the same rows: the oldest give way, once at exactly 511 characters.
      {"task1.fills-table", {}, 5, false, R5_TAIL R5 R5 R5 R5 R5},
      {"task1.no-rows-keeps", {"1", "0"}, 0, true, ""}},
     {{"task2.equal", "-0", "0", nullptr, nullptr},
      {"task2.above", "4", "1", "0.75", nullptr},
      {"task2.below", "-3", "2", "-4", nullptr},
      {"task2.unguarded-above", "0", "-1", "inf", nullptr},
      {"task2.unguarded-below", "-1", "0", "-inf", nullptr}},
     "-1",
     "3",
     {{"task3.lower-bound task3.upper-bound task3.goes-past-a-miss task3.aggregate",
       {"1", "0.5", "3", "3.5", "2"},
       "1",
       "3",
       {"3"},
       nullptr,
       {"1", "3", "2"}},
      {"task3.positives-only task3.aggregate",
       {"0", "-0.5"},
       "-1",
       "3",
       {"4"},
       nullptr,
       {"1", "0.5", "3", "2"}}}},

    {"practice_v14",
     {8, 9, 10, 11, 12},
     {6, 7, 8},
     {8, 9, 10},
     {11},
     {1, 6},
     nullptr,
     0,
     {{"task1.second-run-appends", {}, 0, false, R14 R14},
      {"task1.fills-table",
       {"1000000000000000", "1000000000000018", "1", "0"},
       0,
       false,
       ROW("X =", "1", "0.5403023") R14 + counted_rows("X =", big, 19, "1")},
      {"task1.no-rows-keeps", {"2", "1"}, 0, true, ""}},
     {{"task2.equal", "-0", "0", nullptr, nullptr},
      {"task2.above", "4", "-2", "0.5", nullptr},
      {"task2.below", "-2", "3", "-4.333333", nullptr},
      {"task2.unguarded-above", "0", "-1", "-inf", nullptr},
      {"task2.unguarded-below", "-1", "0", "-inf", nullptr}},
     "1",
     "-1",
     {{"task3.lower-bound task3.goes-past-a-miss task3.aggregate",
       {"-3", "-4", "-1.5", "1", "-2"},
       "-1",
       "4",
       {"-9"},
       nullptr,
       {"-3", "-1.5", "-2"}},
      {"task3.zero-taken task3.aggregate",
       {"0"},
       "-1",
       "4",
       {"0"},
       nullptr,
       {"-3", "-1.5", "-2", "0"}},
      {"task3.zero-c-guarded", {}, "0", "4", {"-1"}, division_by_zero, {}}}},

    {"practice_v6",
     {7, 8, 9, 10, 11},
     {5, 6, 7},
     {7, 8, 9},
     {10},
     {1, 12},
     nullptr,
     0,
     // Its second run and its full table: Task 1 clicked 10 times (expectations.cpp).
     {{"task1.no-rows-keeps", {"1", "0"}, 0, true, ""}},
     {{"task2.equal", "-0", "0", nullptr, nullptr},
      {"task2.above", "4", "1", "0.75", nullptr},
      {"task2.below", "-3", "2", "-4", nullptr},
      {"task2.guard-below", "-1", "0", "-1", division_by_zero}},
     "1",
     "5",
     {{"task3.lower-bound task3.goes-past-a-miss task3.aggregate",
       {"3", "2.5", "0", "5", "-0.5"},
       "2",
       "6",
       {"34"},
       nullptr,
       {"3", "5"}},
      {"task3.zero-c-unguarded task3.positives-only task3.aggregate",
       {},
       "0",
       "-1",
       {"40.25"},
       nullptr,
       {"3", "2.5", "5"}}}},
};

// The release guide's rows, from variants/file_descriptions.cmake (generated).
const char* const release_rows[][2] = {
#include "release_rows.inc"
};

// The guide's aggregates, in both of its languages.
struct Aggregate {
    const char* english;
    const char* ukrainian;
};
const Aggregate aggregates[] = {
    {"sum of cubes", "сума кубів"},
    {"count", "кількість"},
    {"counts by sign", "кількості за знаком"},
    {"count of positives", "кількість додатних"},
    {"product", "добуток"},
    {"sum of squares", "сума квадратів"},
};

// Texts the steps point to; they outlive every step.
const char* keep(const std::string& text) {
    static std::deque<std::string> kept;
    kept.push_back(text);
    return kept.back().c_str();
}

std::string text_of_number(double value) {
    char text[32];
    snprintf(text, sizeof text, "%.7g", value + 0.0); // + 0.0: -0 shows as 0
    return text;
}

} // namespace

const std::vector<Behaviour>& behaviour_inventory() {
    return inventory;
}

bool has_behaviour(const Behaviour& behaviour, const char* deliverable) {
    if (!behaviour.deliverables)
        return true;
    std::string listed = std::string(" ") + behaviour.deliverables + " ";
    return listed.find(std::string(" ") + deliverable + " ") != std::string::npos;
}

const BehaviourCases* behaviour_cases_of(const char* deliverable) {
    for (const BehaviourCases& row : cases)
        if (strcmp(row.deliverable, deliverable) == 0)
            return &row;
    return nullptr;
}

std::vector<std::string> release_row_of(const char* deliverable) {
    std::vector<std::string> fields;
    for (const auto& row : release_rows) {
        if (strcmp(row[0], deliverable) != 0)
            continue;
        std::string rest = row[1];
        for (size_t tab; (tab = rest.find('\t')) != std::string::npos; rest.erase(0, tab + 1))
            fields.push_back(rest.substr(0, tab));
        fields.push_back(rest);
    }
    return fields;
}

std::vector<std::string> aggregate_by_guide(const std::vector<std::string>& row,
                                            const std::vector<std::string>& taken,
                                            std::string* problem) {
    if (row.size() != 5) {
        *problem = "no release row of five fields";
        return {};
    }
    const Aggregate* aggregate = nullptr;
    for (const Aggregate& known : aggregates)
        if (row[4] == known.english && row[3] == known.ukrainian)
            aggregate = &known;
    if (!aggregate) {
        *problem = "the release row's aggregate is none the guide knows: " + row[4];
        return {};
    }
    std::string name = aggregate->english;
    double sum = 0, product = 1, signs[3] = {0, 0, 0};
    for (const std::string& element : taken) {
        double x = strtod(element.c_str(), nullptr);
        sum += name == "sum of cubes" ? x * x * x : name == "sum of squares" ? x * x : 0;
        product *= x;
        signs[x < 0 ? 0 : x == 0 ? 1 : 2] += 1;
    }
    if (name == "counts by sign")
        return {text_of_number(signs[0]), text_of_number(signs[1]), text_of_number(signs[2])};
    if (name == "count")
        return {text_of_number((double)taken.size())};
    if (name == "count of positives")
        return {text_of_number(signs[2])};
    return {text_of_number(name == "product" ? product : sum)};
}

const std::vector<ClassSetup>& class_setups() {
    static const std::vector<ClassSetup> setups = {
        {"cl_main", 0x1000, "IDI_APPLICATION", "IDI_APPLICATION", "IDC_ARROW", 16},
        {"Window1", 0x1000, "IDI_APPLICATION", "IDI_APPLICATION", "IDC_ARROW", 16},
        {"Window2", 0x1000, "IDI_APPLICATION", "IDI_APPLICATION", "IDC_ARROW", 16},
        {"Window3", 0x1000, "IDI_APPLICATION", "IDI_APPLICATION", "IDC_ARROW", 16},
    };
    return setups;
}

namespace {

struct Walker {
    const Deliverable& d;
    const BehaviourCases& b;
    const std::vector<std::string> row;
    std::vector<Step> steps;

    void add(Act act, int window, const std::string& what, const char* walks, int id = 0,
             std::vector<FieldText> fields = {}, std::vector<ExpectedBox> boxes = {},
             int times = 1) {
        std::string named =
            (window ? "Task " + std::to_string(window) : "main window") + " " + what;
        steps.push_back({act, window, id, std::move(fields), std::move(boxes), named,
                         walks ? walks : "", times});
    }
    const char* guide(size_t field) {
        return field < row.size() ? keep(row[field]) : "(no release row)";
    }
    // A field of a task by its place in the creation order, given what it holds.
    static std::vector<FieldText> fields(const int* orders, std::vector<const char*> texts) {
        std::vector<FieldText> listed;
        for (size_t i = 0; i < texts.size(); ++i)
            if (texts[i])
                listed.push_back({orders[i], texts[i]});
        return listed;
    }
    std::vector<ExpectedBox> box(int window, const char* text) {
        return text ? std::vector<ExpectedBox>{{window, text}} : std::vector<ExpectedBox>{};
    }

    void start() {
        if (b.about_text)
            add(Act::click, 0, "About button", "main.about-button", b.about_id, {},
                box(0, b.about_text));
    }

    void task1_runs() {
        add(Act::expect_part, b.task1_statement.window, "statement names the guide's function",
            "release.task1-function", 0, {{b.task1_statement.order, guide(1)}});
        // The table as the runs so far have left it.
        const char* table =
            d.task1_after_repeats ? d.task1_after_repeats : d.tasks[0].results[0].text;
        for (const TableRun& run : b.task1) {
            if (!run.walks)
                break;
            std::vector<FieldText> typed = fields(
                b.task1_inputs, {run.inputs[0], run.inputs[1], run.inputs[2], run.inputs[3]});
            if (!typed.empty())
                add(Act::type, 1, "inputs", run.walks, 0, typed);
            add(Act::click, 1, "execute button", run.walks, d.tasks[0].execute_id, {}, {},
                run.clicks ? run.clicks : 1);
            if (!run.unchanged)
                table = run.table.c_str();
            add(Act::expect, 1, std::string("table: ") + run.walks, run.walks, 0,
                {{b.task1_inputs[4], table}});
        }
    }

    void task2_cases() {
        for (const ExpressionCase& c : b.task2) {
            if (!c.walks)
                break;
            add(Act::type, 2, std::string("A and B: ") + c.walks, c.walks, 0,
                fields(b.task2_inputs, {c.a, c.b}));
            add(Act::click, 2, std::string("execute button: ") + c.walks, c.walks,
                d.tasks[1].execute_id, {}, box(2, c.box));
            add(Act::expect, 2, std::string("X: ") + c.walks, c.walks, 0,
                {{b.task2_inputs[2], c.x ? c.x : guide(2)}});
        }
    }

    // The store filled up behind the first query, which shows what it showed.
    void store_full() {
        int count = 0;
        while (count < max_elements && d.array.elements[count])
            ++count;
        add(Act::type, 3, "element to fill the store", "task3.full", 0,
            fields(b.task3_inputs, {nullptr, nullptr, b.filler}));
        add(Act::click, 3, "additions up to 100", "task3.full", d.array.add_id, {},
            box(3, d.array.added_text), 100 - count);
        add(Act::type, 3, "101st element", "task3.full", 0,
            fields(b.task3_inputs, {nullptr, nullptr, b.refused}));
        add(Act::click, 3, "101st addition", "task3.full", d.array.add_id, {},
            box(3, store_full_text));
        add(Act::click, 3, "execute button on the full store", "task3.full", d.tasks[2].execute_id);
        const FieldText* first = d.tasks[2].results;
        size_t results = 0;
        while (results < max_fields && first[results].order)
            ++results;
        add(Act::expect, 3, "result of the full store", "task3.full", 0, {first, first + results});
    }

    void task3_again() {
        add(Act::classes, 0, "classes of the windows", "classes");
        for (const ArrayQuery& query : b.task3) {
            if (!query.walks)
                break;
            for (const char* element : query.elements) {
                if (!element)
                    break;
                add(Act::type, 3, "element", query.walks, 0,
                    fields(b.task3_inputs, {nullptr, nullptr, element}));
                add(Act::click, 3, "addition", query.walks, d.array.add_id, {},
                    box(3, d.array.added_text));
            }
            add(Act::type, 3, "C and D", query.walks, 0,
                fields(b.task3_inputs, {query.c, query.d}));
            add(Act::click, 3, std::string("execute button: ") + query.walks, query.walks,
                d.tasks[2].execute_id, {}, box(3, query.box));
            std::vector<const char*> results(query.results, query.results + 3);
            if (query.taken[0]) {
                // What the release guide's aggregate makes of the elements taken: where it
                // differs from the cases, the expected text says so, and no program shows it.
                std::vector<std::string> taken;
                for (const char* element : query.taken)
                    if (element)
                        taken.push_back(element);
                std::string problem;
                std::vector<std::string> by_guide = aggregate_by_guide(row, taken, &problem);
                for (size_t i = 0; i < 3 && results[i]; ++i) {
                    std::string text = i < by_guide.size() ? by_guide[i] : "(" + problem + ")";
                    if (text != results[i])
                        results[i] = keep("the release guide's " + text + ", not " + results[i]);
                }
            }
            add(Act::expect, 3, std::string("results: ") + query.walks, query.walks, 0,
                fields(b.task3_results, results));
        }
    }
};

} // namespace

std::vector<Step> behaviour_steps(const Deliverable& d, WalkPoint point) {
    const BehaviourCases* b = behaviour_cases_of(d.name);
    if (!b)
        return {};
    Walker walker{d, *b, release_row_of(d.name), {}};
    switch (point) {
    case WalkPoint::start: walker.start(); break;
    case WalkPoint::task1_runs: walker.task1_runs(); break;
    case WalkPoint::task2_cases: walker.task2_cases(); break;
    case WalkPoint::store_full: walker.store_full(); break;
    case WalkPoint::task3_again: walker.task3_again(); break;
    }
    return walker.steps;
}
