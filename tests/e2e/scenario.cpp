#include "tests/e2e/scenario.h"

#include "tests/e2e/behaviours.h"

#include <deque>

namespace {

std::string task(int number, const std::string& what) {
    return (number ? "Task " + std::to_string(number) : "main window") + (what.empty() ? "" : " ") +
           what;
}

struct Scenario {
    const Deliverable& d;
    std::vector<Step> steps;

    void add(Act act, int window, const std::string& what, int id = 0,
             const FieldText* fields = nullptr, std::vector<ExpectedBox> boxes = {}) {
        std::vector<FieldText> listed;
        for (int i = 0; fields && i < max_fields && fields[i].order; ++i)
            listed.push_back(fields[i]);
        std::string named = act == Act::screenshot ? what : task(window, what);
        steps.push_back({act, window, id, listed, std::move(boxes), named});
    }
    void open(int t) { add(Act::open, t, "window", d.launch_ids[t - 1]); }
    // The latest step walks these behaviours of the inventory (behaviours.h).
    void walks(const std::string& behaviours) { steps.back().walks = behaviours; }
    void walk(WalkPoint point) {
        for (Step& step : behaviour_steps(d, point))
            steps.push_back(std::move(step));
    }
    void execute(int t) { add(Act::click, t, "execute button", d.tasks[t - 1].execute_id); }
    // Keys the scenario makes up; they outlive every step that points to them.
    const char* keep(const std::string& keys) {
        static std::deque<std::string> kept;
        kept.push_back(keys);
        return kept.back().c_str();
    }
    // Types element i and adds it; its confirmation, if any, is answered at once or held. The first
    // is typed with a slip that Backspace erases.
    void addition(int i, bool hold) {
        const ArrayCase& a = d.array;
        const char* keys = a.elements[i];
        if (i == 0)
            keys = keep(std::string("7\b") + keys);
        const FieldText element[] = {{a.element_order, keys}, {}};
        add(Act::type, 3, "element", 0, element);
        std::vector<ExpectedBox> boxes;
        if (a.added_text)
            boxes.push_back({3, a.added_text});
        add(hold && a.added_text ? Act::click_and_hold : Act::click, 3,
            "addition " + std::to_string(i + 1), a.add_id, nullptr, boxes);
        walks(a.added_text ? "task3.confirms-addition" : "task3.adds-silently");
    }
};

} // namespace

std::vector<Step> scenario(const Deliverable& d, bool tour) {
    Scenario s{d, {}};
    s.add(Act::start, 0, "start");
    s.add(Act::check_main, 0, "");
    s.walks("main.opens");
    s.add(Act::screenshot, 0, "main");
    if (!tour)
        s.walk(WalkPoint::start);
    for (int t = 1; t <= 3; ++t) {
        s.open(t);
        s.walks("task" + std::to_string(t) + ".opens");
        s.add(Act::type, t, "inputs", 0, d.tasks[t - 1].typed);
        for (int i = 0; t == 3 && i < max_elements && d.array.elements[i]; ++i)
            s.addition(i, !tour && (i + 1 == max_elements || !d.array.elements[i + 1]));
        if (t == 3 && !tour && d.array.added_text) {
            // The last confirmation stays up: it blocks only its own window, so another task
            // can be closed, opened again and run meanwhile.
            s.add(Act::close, 2, "close box");
            s.open(2);
            s.add(Act::type, 2, "inputs", 0, d.tasks[1].typed);
            s.execute(2);
            s.add(Act::expect, 2, "result while a Task 3 box is up", 0, d.tasks[1].results);
            s.walks("box.blocks-only-its-owner");
            s.add(Act::answer, 3, "confirmation");
        }
        s.execute(t);
        s.add(Act::expect, t, "result", 0, d.tasks[t - 1].results);
        if (t == 1)
            s.walks("task1.runs");
        s.add(Act::screenshot, t, "task" + std::to_string(t));
        if (t == 3 && !tour)
            s.walk(WalkPoint::store_full);
    }
    if (!tour && d.task1_after_repeats) {
        // Earlier rows give way to each new run: the table never stops taking rows.
        const FieldText table[] = {{d.tasks[0].results[0].order, d.task1_after_repeats}, {}};
        for (int clicks = 2; clicks <= 10; ++clicks) {
            s.execute(1);
            if (clicks == 3 || clicks == 4 || clicks == 10) {
                s.add(Act::expect, 1, "result after " + std::to_string(clicks) + " clicks", 0,
                      table);
                s.walks("task1.second-run-appends task1.fills-table");
            }
        }
        s.add(Act::screenshot, 1, "task1-clicked-10-times");
    }
    if (!tour)
        s.walk(WalkPoint::task1_runs);
    if (!tour && d.guard.box_text) {
        s.add(Act::type, 2, "zero divisor", 0, d.guard.typed);
        s.add(Act::click, 2, "zero divisor", d.tasks[1].execute_id, nullptr,
              {{2, d.guard.box_text}});
        s.add(Act::expect, 2, "zero divisor result", 0, d.guard.results);
        s.walks("task2.guard-above");
    }
    if (!tour)
        s.walk(WalkPoint::task2_cases);
    if (!tour) {
        // The notice; the last box stays up while the task windows are closed, as it blocks
        // only the main window. Opened again, they are as they first opened, Task 3 empty.
        std::vector<ExpectedBox> box;
        if (d.already_open_text)
            box.push_back({0, d.already_open_text});
        for (int t = 1; t <= 3; ++t) {
            if (t < 3 || box.empty())
                s.add(Act::notice, t, "already open", d.launch_ids[t - 1], nullptr, box);
            else
                s.add(Act::click_and_hold, 0, "launch button of the open Task 3", d.launch_ids[2],
                      nullptr, box);
            s.walks("task" + std::to_string(t) + ".notice");
        }
        s.execute(3);
        s.add(Act::expect, 3, "result after the notice", 0, d.tasks[2].results);
        s.walks("task3.notice-keeps-elements");
        for (int t = 1; t <= 3; ++t)
            s.add(Act::close, t, "close box");
        if (!box.empty())
            s.add(Act::answer, 0, "notice");
        for (int t = 1; t <= 3; ++t) {
            s.open(t);
            s.walks("task" + std::to_string(t) + ".reopens");
        }
        s.add(Act::windows, 0, "windows");
        // A text longer than its field shows (leading zeros, which read as nothing), not added.
        std::string first = d.array.elements[0];
        first.insert(first[0] == '-' ? 1 : 0, 32, '0');
        const FieldText long_text[] = {{d.array.element_order, s.keep(first)}, {}};
        s.add(Act::type, 3, "long element", 0, long_text);
        s.add(Act::type, 3, "inputs", 0, d.tasks[2].typed);
        s.execute(3);
        s.add(Act::expect, 3, "result after reopening", 0, d.array.empty_results);
        s.walks("task3.empty-store");
        s.walk(WalkPoint::task3_again);
    }
    s.add(Act::close, 0, "close box");
    s.add(Act::exit, 0, "closed");
    s.walks("main.closes");
    if (!tour && d.exit_id) {
        // The exit button ends the program with a task window open and a box up.
        s.add(Act::start, 0, "start");
        s.open(3);
        s.addition(0, true);
        s.add(Act::click, 0, "exit button", d.exit_id);
        s.add(Act::exit, 0, "exit button");
        s.walks("main.exit-button");
    }
    return s.steps;
}

std::string typed_text(const std::string& keys) {
    std::string text;
    for (char key : keys)
        if (key != '\b')
            text += key;
        else if (!text.empty())
            text.pop_back();
    return text;
}
