#include "tests/shipped/script_player.h"

#include "platform/standin/harness.h"

#include <signal.h>
#include <sys/time.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <sstream>
#include <vector>

namespace {

const char* const window_names[] = {"main", "task1", "task2", "task3"};
const char* const window_classes[] = {"cl_main", "Window1", "Window2", "Window3"};

std::istream* script;
FILE* out;
int line_number;
int errors;
size_t misuse_seen;
// A line read ahead, for the box it is meant for to be answered first.
bool line_ahead;
std::vector<std::string> words_ahead;
int boxes_ahead;
// Boxes already listed by the click or close they came up in; a box is listed once, by the
// innermost action.
std::vector<bool> box_listed;
int acts_under_way;

unsigned time_limit_ms = 60000;

// What the signal handlers print, made ready before each action and written with write(2): the
// line and the action under way, already escaped for JSON.
char action_under_way[512];

void print_line(const std::string& json) {
    fputs(json.c_str(), out);
    fputc('\n', out);
    fflush(out);
}

std::string at_line(const std::string& message) {
    return "line " + std::to_string(line_number) + ": " + message;
}

void print_error(const std::string& message) {
    ++errors;
    print_line("{\"error\":" + json_string(at_line(message)) + "}");
}

void note_action_under_way(const std::string& action) {
    std::string quoted = json_string(at_line(action));
    quoted = quoted.substr(1, quoted.size() - 2);
    snprintf(action_under_way, sizeof action_under_way, "%s", quoted.c_str());
}

// To the output when it is a file, else (a memory stream) to standard error.
void write_text(const char* text) {
    int file = fileno(out) >= 0 ? fileno(out) : 2;
    if (write(file, text, strlen(text)) < 0)
        _exit(5);
}

[[noreturn]] void say_last_words(const char* what, int exit_status) {
    write_text("{\"error\":\"");
    write_text(what);
    write_text(action_under_way);
    write_text("\"}\n");
    _exit(exit_status);
}

void on_time_limit(int) {
    say_last_words("timeout: the program did not answer in time: ", 3);
}

void on_crash(int signal_number) {
    char what[48] = "the program crashed (signal 00): ";
    what[28] = (char)('0' + signal_number / 10 % 10);
    what[29] = (char)('0' + signal_number % 10);
    say_last_words(what, 4);
}

void print_new_misuse() {
    const std::vector<std::string>& misuse = standin::misuse();
    for (; misuse_seen < misuse.size(); ++misuse_seen)
        print_error("the window system reports: " + misuse[misuse_seen]);
}

// The name of a window for the output: one of the four top-level classes, or null.
std::string name_of(HWND window) {
    if (!window)
        return "null";
    standin::WindowInfo info = standin::describe(window);
    for (int i = 0; i < 4; ++i)
        if (info.class_name == window_classes[i] && !(info.style & WS_CHILD))
            return json_string(window_names[i]);
    return json_string("unknown (class " + info.class_name + ")");
}

HWND window_named(const std::string& name, std::string* problem) {
    for (int i = 0; i < 4; ++i) {
        if (name != window_names[i])
            continue;
        HWND window = standin::find_top_level(window_classes[i]);
        if (!window)
            *problem = "window " + name + " is not open";
        return window;
    }
    *problem = "unknown window '" + name + "'";
    return nullptr;
}

bool parse_number(const std::string& text, long* number) {
    if (text.empty() || text.size() > 9)
        return false;
    char* end = nullptr;
    *number = strtol(text.c_str(), &end, 10);
    return *end == 0 && text[0] >= '0' && text[0] <= '9';
}

// WINDOW#N: the N-th child in creation order; WINDOW:ID: the one child with that ID.
HWND control_named(const std::string& name, std::string* problem) {
    size_t mark = name.find_first_of("#:");
    long number = 0;
    if (mark == std::string::npos || !parse_number(name.substr(mark + 1), &number)) {
        *problem = "malformed control '" + name + "'; WINDOW#N or WINDOW:ID";
        return nullptr;
    }
    HWND window = window_named(name.substr(0, mark), problem);
    if (!window)
        return nullptr;
    std::vector<HWND> children = standin::children(window);
    if (name[mark] == '#') {
        if (number >= 1 && (size_t)number <= children.size())
            return children[number - 1];
        *problem = "no control " + name + ": the window has " + std::to_string(children.size());
        return nullptr;
    }
    HWND found = nullptr;
    int count = 0;
    for (HWND child : children)
        if (standin::describe(child).id == number && count++ == 0)
            found = child;
    if (count == 1)
        return found;
    *problem =
        count ? std::to_string(count) + " controls share the ID of " + name : "no control " + name;
    return nullptr;
}

std::string boxes_since(size_t first) {
    const std::vector<standin::MessageBoxRecord>& boxes = standin::message_boxes();
    box_listed.resize(boxes.size());
    std::string list = "[";
    for (size_t i = first; i < boxes.size(); ++i) {
        if (box_listed[i])
            continue;
        box_listed[i] = true;
        if (list.size() > 1)
            list += ",";
        list += "{\"owner\":" + name_of(boxes[i].owner) + ",\"text_hex\":\"" +
                hex_of(boxes[i].text) +
                "\",\"caption_null\":" + (boxes[i].null_title ? "true" : "false") +
                ",\"type\":" + std::to_string(boxes[i].type) + "}";
    }
    return list + "]";
}

ListedWindow listed(const standin::WindowInfo& info) {
    return {info.class_name, info.text,   info.id,    info.x,       info.y,
            info.width,      info.height, info.style, info.ex_style};
}

void print_windows() {
    for (HWND window : standin::top_level_windows()) {
        std::vector<ListedWindow> controls;
        for (HWND child : standin::children(window))
            controls.push_back(listed(standin::describe(child)));
        standin::WindowInfo info = standin::describe(window);
        print_line(window_listing(name_of(window), name_of(info.owner), listed(info), controls));
    }
}

// One line per registered class, in registration order: its style, its icons and cursor as the
// system images they are (null: none of them), and its background brush as a number.
void print_classes() {
    auto image = [](HICON handle) {
        const char* name = standin::system_image_name(handle);
        return name ? json_string(name) : std::string("null");
    };
    for (const standin::ClassInfo& info : standin::registered_classes()) {
        const WNDCLASSEXA& record = info.record;
        print_line("{\"class\":" + json_string(info.name) +
                   ",\"style\":" + std::to_string(record.style) +
                   ",\"icon\":" + image(record.hIcon) + ",\"small_icon\":" + image(record.hIconSm) +
                   ",\"cursor\":" + image(record.hCursor) +
                   ",\"background\":" + std::to_string((UINT_PTR)record.hbrBackground) + "}");
    }
}

void arm_timer(unsigned milliseconds) {
    itimerval timer = {};
    timer.it_value.tv_sec = milliseconds / 1000;
    timer.it_value.tv_usec = milliseconds % 1000 * 1000;
    setitimer(ITIMER_REAL, &timer, nullptr);
}

// A click or a close: what the program does in answer is bounded in time. While a box that it
// brought up is up, the actions taken meanwhile have their own time limit, and this one starts
// again when they are done.
void act_with_time_limit(const char* verb, const std::string& target, HWND window,
                         void (*act)(HWND)) {
    size_t first_box = standin::message_boxes().size();
    ++acts_under_way;
    arm_timer(time_limit_ms);
    act(window);
    arm_timer(--acts_under_way ? time_limit_ms : 0);
    print_line("{\"" + std::string(verb) + "\":" + json_string(target) +
               ",\"boxes\":" + boxes_since(first_box) + "}");
}

void perform(const std::vector<std::string>& words) {
    const std::string& verb = words[0];
    std::string action;
    for (const std::string& word : words)
        action += (action.empty() ? "" : " ") + word.substr(0, 40);
    char outer_action[sizeof action_under_way];
    memcpy(outer_action, action_under_way, sizeof outer_action);
    note_action_under_way(action);
    std::string problem;
    if (verb == "windows" && words.size() == 1) {
        print_windows();
    } else if (verb == "classes" && words.size() == 1) {
        print_classes();
    } else if (verb == "focus" && words.size() == 1) {
        const std::vector<HWND>& flashed = standin::flashed_windows();
        print_line("{\"focus\":" + name_of(standin::focus()) + ",\"last_flashed\":" +
                   name_of(flashed.empty() ? nullptr : flashed.back()) + "}");
    } else if ((verb == "click" || verb == "get") && words.size() == 2) {
        HWND control = control_named(words[1], &problem);
        if (!control)
            print_error(problem);
        else if (verb == "get")
            print_line("{\"get\":" + json_string(words[1]) + ",\"text_hex\":\"" +
                       hex_of(standin::text_of(control)) + "\"}");
        else
            act_with_time_limit("click", words[1], control, standin::click);
    } else if ((verb == "set" || verb == "type") && (words.size() == 2 || words.size() == 3)) {
        std::string text;
        HWND control = control_named(words[1], &problem);
        if (!control)
            print_error(problem);
        else if (words.size() == 3 && !bytes_of_hex(words[2], &text))
            print_error("malformed hex '" + words[2] + "'");
        else if (verb == "set")
            standin::type_text(control, text);
        else
            standin::type_keys(control, text);
    } else if (verb == "close" && words.size() == 2) {
        HWND window = window_named(words[1], &problem);
        if (!window)
            print_error(problem);
        else
            act_with_time_limit("close", words[1], window, standin::close);
    } else {
        print_error("malformed action; one of: click CONTROL, set CONTROL [HEX], "
                    "type CONTROL [HEX], get CONTROL, close WINDOW, windows, classes, focus");
    }
    print_new_misuse();
    memcpy(action_under_way, outer_action, sizeof outer_action);
}

// The next line that holds an action, split into words, and the number of message boxes it is
// meant to be taken under (its leading '>'); false at the end of the script. The line stays ahead
// until take_action().
bool peek_action(std::vector<std::string>* words, int* boxes) {
    std::string line;
    while (!line_ahead && std::getline(*script, line)) {
        ++line_number;
        size_t start = line.find_first_not_of(" \t>");
        words_ahead.clear();
        if (start == std::string::npos || line[start] == '#')
            continue;
        boxes_ahead = (int)std::count(line.begin(), line.begin() + start, '>');
        std::istringstream split(line.substr(start));
        for (std::string word; split >> word;)
            words_ahead.push_back(word);
        line_ahead = true;
    }
    *words = words_ahead;
    *boxes = boxes_ahead;
    return line_ahead;
}

void take_action() {
    line_ahead = false;
}

// The user's turn whenever the program waits for input, in its own loop or in a message box's:
// actions until one leaves the program something to do. A line meant for fewer boxes than are up
// answers the innermost box (false), as does the end of the script, after which the main window's
// close box is clicked.
bool act_until_the_program_has_input() {
    std::vector<std::string> words;
    int boxes = 0;
    while (peek_action(&words, &boxes) && boxes >= standin::boxes_up()) {
        take_action();
        if (boxes > standin::boxes_up())
            print_error("no message box is up for this line");
        else
            perform(words);
        if (standin::input_pending())
            return true;
    }
    if (standin::boxes_up() > 0)
        return false;
    if (HWND main = standin::find_top_level("cl_main"))
        standin::close(main);
    return true;
}

} // namespace

int play_script(std::istream& script_in, FILE* out_file, const ProgramRun& run,
                unsigned time_limit_milliseconds) {
    script = &script_in;
    out = out_file;
    line_number = 0;
    errors = 0;
    line_ahead = false;
    box_listed.clear();
    acts_under_way = 0;
    time_limit_ms = time_limit_milliseconds;
    standin::reset();
    misuse_seen = 0;
    signal(SIGALRM, on_time_limit);
    for (int crash : {SIGSEGV, SIGBUS, SIGILL, SIGFPE})
        signal(crash, on_crash);
    standin::on_idle(act_until_the_program_has_input);

    note_action_under_way("starting the program");
    unsigned exit_code = 0;
    std::string reason;
    bool exited = run(&exit_code, &reason);
    note_action_under_way("after the program's end");
    if (standin::starved())
        print_error("the program did not end when its main window was closed");
    if (exited)
        print_line("{\"exit\":" + std::to_string(exit_code) + "}");
    else
        print_error(reason);
    std::vector<std::string> words;
    for (int boxes; peek_action(&words, &boxes); take_action())
        print_error("not run: the program has ended");
    standin::on_idle(nullptr);
    for (int handled : {SIGALRM, SIGSEGV, SIGBUS, SIGILL, SIGFPE})
        signal(handled, SIG_DFL);
    return errors;
}
