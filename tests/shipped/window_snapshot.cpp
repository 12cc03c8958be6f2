#include "tests/shipped/window_snapshot.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>

namespace {

// ---- Texts: Windows-1251 as UTF-8, quoted.

// The characters of the bytes 0x80 to 0xBF; the bytes from 0xC0 on are U+0410 to U+044F in order.
const unsigned short upper_half[64] = {
    0x0402, 0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021, 0x20AC, 0x2030, 0x0409,
    0x2039, 0x040A, 0x040C, 0x040B, 0x040F, 0x0452, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0,      0x2122, 0x0459, 0x203A, 0x045A, 0x045C, 0x045B, 0x045F, 0x00A0,
    0x040E, 0x045E, 0x0408, 0x00A4, 0x0490, 0x00A6, 0x00A7, 0x0401, 0x00A9, 0x0404, 0x00AB,
    0x00AC, 0x00AD, 0x00AE, 0x0407, 0x00B0, 0x00B1, 0x0406, 0x0456, 0x0491, 0x00B5, 0x00B6,
    0x00B7, 0x0451, 0x2116, 0x0454, 0x00BB, 0x0458, 0x0405, 0x0455, 0x0457,
};

unsigned character_of(unsigned char byte) {
    return byte < 0x80 ? byte : byte >= 0xC0 ? 0x410 + (byte - 0xC0) : upper_half[byte - 0x80];
}

void append_utf8(std::string* out, unsigned code) {
    if (code < 0x80) {
        *out += (char)code;
    } else if (code < 0x800) {
        *out += (char)(0xC0 | code >> 6);
        *out += (char)(0x80 | (code & 0x3F));
    } else {
        *out += (char)(0xE0 | code >> 12);
        *out += (char)(0x80 | (code >> 6 & 0x3F));
        *out += (char)(0x80 | (code & 0x3F));
    }
}

// A byte that would read as something else, or as nothing, written as \xHH.
bool escaped(unsigned char byte) {
    return byte < 0x20 || byte == 0x7F || character_of(byte) == 0 || byte == 0xA0 || byte == 0xAD;
}

// The text at `at` (its opening quote) up to its closing quote, which `at` is left after.
bool unquoted(const std::string& line, size_t* at, std::string* bytes) {
    if (*at >= line.size() || line[*at] != '"')
        return false;
    for (size_t i = *at + 1; i < line.size();) {
        unsigned char c = line[i];
        if (c == '"') {
            *at = i + 1;
            return true;
        }
        if (c == '\\') {
            if (i + 1 >= line.size())
                return false;
            char e = line[i + 1];
            if (e == 'x') {
                if (i + 4 > line.size() || !bytes_of_hex(line.substr(i + 2, 2), bytes))
                    return false;
                i += 4;
                continue;
            }
            const std::string from = "\"\\rnt", to = "\"\\\r\n\t";
            if (from.find(e) == std::string::npos)
                return false;
            *bytes += to[from.find(e)];
            i += 2;
            continue;
        }
        // One UTF-8 character, which must be one of Windows-1251's.
        unsigned code = c;
        int more = c >= 0xE0 ? 2 : c >= 0xC0 ? 1 : 0;
        if (c >= 0x80 && !more)
            return false;
        if (more)
            code &= more == 2 ? 0x0F : 0x1F;
        for (int k = 1; k <= more; ++k) {
            if (i + k >= line.size() || ((unsigned char)line[i + k] & 0xC0) != 0x80)
                return false;
            code = code << 6 | ((unsigned char)line[i + k] & 0x3F);
        }
        int byte = -1;
        for (int b = 0; b < 256 && byte < 0; ++b)
            if (character_of((unsigned char)b) == code && !escaped((unsigned char)b))
                byte = b;
        if (byte < 0)
            return false;
        *bytes += (char)byte;
        i += 1 + more;
    }
    return false;
}

// ---- Styles as flag names.

struct StyleName {
    const char* name;
    unsigned long mask, value; // the name stands for the bits `value` within `mask`
};

const StyleName window_styles[] = {
    {"WS_POPUP", 0x80000000, 0x80000000},        {"WS_CHILD", 0x40000000, 0x40000000},
    {"WS_MINIMIZE", 0x20000000, 0x20000000},     {"WS_VISIBLE", 0x10000000, 0x10000000},
    {"WS_DISABLED", 0x08000000, 0x08000000},     {"WS_CLIPSIBLINGS", 0x04000000, 0x04000000},
    {"WS_CLIPCHILDREN", 0x02000000, 0x02000000}, {"WS_MAXIMIZE", 0x01000000, 0x01000000},
    {"WS_CAPTION", 0x00C00000, 0x00C00000},      {"WS_BORDER", 0x00C00000, 0x00800000},
    {"WS_DLGFRAME", 0x00C00000, 0x00400000},     {"WS_VSCROLL", 0x00200000, 0x00200000},
    {"WS_HSCROLL", 0x00100000, 0x00100000},      {"WS_SYSMENU", 0x00080000, 0x00080000},
    {"WS_THICKFRAME", 0x00040000, 0x00040000},   {nullptr, 0, 0}};
// The same two bits mean one thing on a top-level window and another on a control.
const StyleName top_level_styles[] = {
    {"WS_MINIMIZEBOX", 0x20000, 0x20000}, {"WS_MAXIMIZEBOX", 0x10000, 0x10000}, {nullptr, 0, 0}};
const StyleName control_styles[] = {
    {"WS_GROUP", 0x20000, 0x20000}, {"WS_TABSTOP", 0x10000, 0x10000}, {nullptr, 0, 0}};
const StyleName button_styles[] = {{"BS_DEFPUSHBUTTON", 0xF, 1},
                                   {"BS_CHECKBOX", 0xF, 2},
                                   {"BS_AUTOCHECKBOX", 0xF, 3},
                                   {"BS_RADIOBUTTON", 0xF, 4},
                                   {"BS_3STATE", 0xF, 5},
                                   {"BS_AUTO3STATE", 0xF, 6},
                                   {"BS_GROUPBOX", 0xF, 7},
                                   {"BS_USERBUTTON", 0xF, 8},
                                   {"BS_AUTORADIOBUTTON", 0xF, 9},
                                   {"BS_OWNERDRAW", 0xF, 0xB},
                                   {"BS_LEFTTEXT", 0x20, 0x20},
                                   {"BS_ICON", 0x40, 0x40},
                                   {"BS_BITMAP", 0x80, 0x80},
                                   {"BS_CENTER", 0x300, 0x300},
                                   {"BS_LEFT", 0x300, 0x100},
                                   {"BS_RIGHT", 0x300, 0x200},
                                   {"BS_VCENTER", 0xC00, 0xC00},
                                   {"BS_TOP", 0xC00, 0x400},
                                   {"BS_BOTTOM", 0xC00, 0x800},
                                   {"BS_PUSHLIKE", 0x1000, 0x1000},
                                   {"BS_MULTILINE", 0x2000, 0x2000},
                                   {"BS_NOTIFY", 0x4000, 0x4000},
                                   {"BS_FLAT", 0x8000, 0x8000},
                                   {nullptr, 0, 0}};
const StyleName static_styles[] = {{"SS_CENTER", 0x1F, 1},
                                   {"SS_RIGHT", 0x1F, 2},
                                   {"SS_ICON", 0x1F, 3},
                                   {"SS_SIMPLE", 0x1F, 0xB},
                                   {"SS_LEFTNOWORDWRAP", 0x1F, 0xC},
                                   {"SS_OWNERDRAW", 0x1F, 0xD},
                                   {"SS_BITMAP", 0x1F, 0xE},
                                   {"SS_NOPREFIX", 0x80, 0x80},
                                   {"SS_NOTIFY", 0x100, 0x100},
                                   {"SS_CENTERIMAGE", 0x200, 0x200},
                                   {"SS_SUNKEN", 0x1000, 0x1000},
                                   {nullptr, 0, 0}};
const StyleName edit_styles[] = {{"ES_CENTER", 0x3, 1},          {"ES_RIGHT", 0x3, 2},
                                 {"ES_MULTILINE", 0x4, 0x4},     {"ES_UPPERCASE", 0x8, 0x8},
                                 {"ES_LOWERCASE", 0x10, 0x10},   {"ES_PASSWORD", 0x20, 0x20},
                                 {"ES_AUTOVSCROLL", 0x40, 0x40}, {"ES_AUTOHSCROLL", 0x80, 0x80},
                                 {"ES_NOHIDESEL", 0x100, 0x100}, {"ES_OEMCONVERT", 0x400, 0x400},
                                 {"ES_READONLY", 0x800, 0x800},  {"ES_WANTRETURN", 0x1000, 0x1000},
                                 {"ES_NUMBER", 0x2000, 0x2000},  {nullptr, 0, 0}};
const StyleName extended_styles[] = {{"WS_EX_DLGMODALFRAME", 0x1, 0x1},
                                     {"WS_EX_NOPARENTNOTIFY", 0x4, 0x4},
                                     {"WS_EX_TOPMOST", 0x8, 0x8},
                                     {"WS_EX_ACCEPTFILES", 0x10, 0x10},
                                     {"WS_EX_TRANSPARENT", 0x20, 0x20},
                                     {"WS_EX_TOOLWINDOW", 0x80, 0x80},
                                     {"WS_EX_WINDOWEDGE", 0x100, 0x100},
                                     {"WS_EX_CLIENTEDGE", 0x200, 0x200},
                                     {"WS_EX_CONTROLPARENT", 0x10000, 0x10000},
                                     {"WS_EX_STATICEDGE", 0x20000, 0x20000},
                                     {"WS_EX_APPWINDOW", 0x40000, 0x40000},
                                     {"WS_EX_LAYERED", 0x80000, 0x80000},
                                     {nullptr, 0, 0}};

// The tables that name a style: a top-level window's, or a control's of its class; or the
// extended styles.
std::vector<const StyleName*> style_tables(bool top_level, const std::string& class_name,
                                           bool extended) {
    if (extended)
        return {extended_styles};
    if (top_level)
        return {window_styles, top_level_styles};
    const StyleName* own = class_name == "button"   ? button_styles
                           : class_name == "static" ? static_styles
                           : class_name == "edit"   ? edit_styles
                                                    : nullptr;
    if (!own)
        return {window_styles, control_styles};
    return {window_styles, control_styles, own};
}

std::string style_names(unsigned long style, const std::vector<const StyleName*>& tables) {
    std::string names;
    unsigned long rest = style;
    for (const StyleName* table : tables)
        for (const StyleName* name = table; name->name; ++name)
            if ((rest & name->mask) == name->value) {
                names += (names.empty() ? "" : "|") + std::string(name->name);
                rest &= ~name->mask;
            }
    if (rest) {
        char hex[24];
        snprintf(hex, sizeof hex, "0x%lX", rest);
        names += (names.empty() ? "" : "|") + std::string(hex);
    }
    return names.empty() ? "0" : names;
}

bool style_of_names(const std::string& names, const std::vector<const StyleName*>& tables,
                    unsigned long* style) {
    *style = 0;
    for (size_t from = 0; from <= names.size();) {
        size_t bar = names.find('|', from);
        std::string name = names.substr(from, bar == std::string::npos ? bar : bar - from);
        bool known = false;
        for (const StyleName* table : tables)
            for (const StyleName* entry = table; entry->name && !known; ++entry)
                if (name == entry->name) {
                    *style |= entry->value;
                    known = true;
                }
        if (!known) {
            char* end = nullptr;
            unsigned long bits = strtoul(name.c_str(), &end, 0);
            if (name.empty() || *end)
                return false;
            *style |= bits;
        }
        if (bar == std::string::npos)
            break;
        from = bar + 1;
    }
    return true;
}

// ---- The lines of a snapshot.

const long platform_placed = -2147483647L - 1; // CW_USEDEFAULT, a place the platform chooses

std::string coordinate(long value) {
    return value == platform_placed ? "CW_USEDEFAULT" : std::to_string(value);
}

// Place, size, styles and text of a window or a control.
std::string fields_of(const ListedWindow& listed, bool top_level) {
    std::string line =
        " x=" + coordinate(listed.x) + " y=" + coordinate(listed.y) +
        " width=" + std::to_string(listed.width) + " height=" + std::to_string(listed.height) +
        " style=" + style_names(listed.style, style_tables(top_level, listed.class_name, false));
    if (listed.ex_style)
        line += " ex_style=" + style_names(listed.ex_style, style_tables(true, "", true));
    return line + (top_level ? " caption=" : " text=") + quoted_text(listed.text);
}

// One line of a snapshot: a window's name and class, or a control's class, then every field of
// fields_of() (and a window's owner).
bool read_line(const std::string& line, bool top_level, ShownWindow* window, ListedWindow* listed) {
    std::vector<std::string> words;
    size_t at = line.find_first_not_of(' ');
    while (at < line.size() && words.size() < (top_level ? 2u : 1u)) {
        size_t end = line.find(' ', at);
        words.push_back(line.substr(at, end == std::string::npos ? end : end - at));
        at = end == std::string::npos ? line.size() : end + 1;
    }
    if (words.size() != (top_level ? 2u : 1u))
        return false;
    if (top_level)
        window->name = words[0];
    listed->class_name = words.back();
    bool placed = false, sized = false, styled = false, identified = top_level;
    long* numbers[] = {&listed->x, &listed->y, &listed->width, &listed->height, &listed->id};
    const char* const number_keys[] = {"x", "y", "width", "height", "id"};
    while (at < line.size()) {
        size_t end = line.find(' ', at);
        std::string word = line.substr(at, end == std::string::npos ? end : end - at);
        size_t equals = word.find('=');
        std::string key = word.substr(0, equals);
        std::string value = equals == std::string::npos ? "" : word.substr(equals + 1);
        if (equals != std::string::npos && key == (top_level ? "caption" : "text")) {
            size_t quote = at + equals + 1;
            return unquoted(line, &quote, &listed->text) && quote == line.size() && placed &&
                   sized && styled && identified;
        }
        bool known = false;
        for (int i = 0; i < 5 && equals != std::string::npos; ++i) {
            if (key != number_keys[i])
                continue;
            char* rest = nullptr;
            *numbers[i] = i < 2 && value == "CW_USEDEFAULT" ? platform_placed
                                                            : strtol(value.c_str(), &rest, 10);
            known = !rest || (!value.empty() && !*rest);
            placed = placed || i < 2;
            sized = sized || i == 2 || i == 3;
            identified = identified || i == 4;
        }
        if (key == "style")
            known = styled = style_of_names(
                value, style_tables(top_level, listed->class_name, false), &listed->style);
        else if (key == "ex_style")
            known = style_of_names(value, style_tables(true, "", true), &listed->ex_style);
        else if (key == "owner" && top_level)
            window->owner = value, known = !value.empty();
        if (!known)
            return false;
        at = end == std::string::npos ? line.size() : end + 1;
    }
    return false;
}

std::string shown(const std::string& key, const ListedWindow& listed, bool top_level) {
    if (key == "class")
        return listed.class_name;
    if (key == "text")
        return quoted_text(listed.text);
    if (key == "style")
        return style_names(listed.style, style_tables(top_level, listed.class_name, false));
    if (key == "ex_style")
        return style_names(listed.ex_style, style_tables(true, "", true));
    long value = key == "id"      ? listed.id
                 : key == "x"     ? listed.x
                 : key == "y"     ? listed.y
                 : key == "width" ? listed.width
                                  : listed.height;
    return coordinate(value);
}

} // namespace

std::string quoted_text(const std::string& bytes) {
    std::string quoted = "\"";
    for (unsigned char c : bytes) {
        if (c == '"' || c == '\\') {
            quoted += '\\';
            quoted += (char)c;
        } else if (c == '\r' || c == '\n' || c == '\t') {
            quoted += c == '\r' ? "\\r" : c == '\n' ? "\\n" : "\\t";
        } else if (escaped(c)) {
            quoted += "\\x" + hex_of(std::string(1, (char)c));
        } else {
            append_utf8(&quoted, character_of(c));
        }
    }
    return quoted + "\"";
}

// ---- JSON of the runner's output.

const Json& Json::operator[](const std::string& key) const {
    static const Json missing = {"(missing)", {}, {}};
    for (const auto& field : fields)
        if (field.first == key)
            return field.second;
    return missing;
}

long Json::number() const {
    return std::atol(text.c_str());
}

namespace {

Json parse_value(const std::string& line, size_t* at) {
    Json value;
    char c = *at < line.size() ? line[*at] : 0;
    if (c == '{' || c == '[') {
        for (++*at; *at < line.size() && line[*at] != (c == '{' ? '}' : ']');) {
            if (c == '{') {
                std::string key = parse_value(line, at).text;
                ++*at; // ':'
                value.fields.push_back({key, parse_value(line, at)});
            } else {
                value.items.push_back(parse_value(line, at));
            }
            *at += *at < line.size() && line[*at] == ',';
        }
        ++*at;
    } else if (c == '"') {
        static const std::string escaped = "\"\\/bfnrt", meant = "\"\\/\b\f\n\r\t";
        for (++*at; *at < line.size() && line[*at] != '"'; ++*at) {
            if (line[*at] != '\\' || *at + 1 >= line.size()) {
                value.text += line[*at];
            } else if (line[++*at] == 'u') {
                value.text += (char)std::stoi(line.substr(*at + 1, 4), nullptr, 16);
                *at += 4;
            } else if (escaped.find(line[*at]) != std::string::npos) {
                value.text += meant[escaped.find(line[*at])];
            }
        }
        ++*at;
    } else {
        while (*at < line.size() && line[*at] != ',' && line[*at] != '}' && line[*at] != ']')
            value.text += line[(*at)++];
    }
    return value;
}

ListedWindow listed_of(const Json& json, const char* text_key) {
    std::string text;
    bytes_of_hex(json[text_key].text, &text);
    return {json["class"].text,
            text,
            json["id"].number(),
            json["x"].number(),
            json["y"].number(),
            json["width"].number(),
            json["height"].number(),
            std::strtoul(json["style"].text.c_str(), nullptr, 10),
            std::strtoul(json["ex_style"].text.c_str(), nullptr, 10)};
}

} // namespace

Json parse_json(const std::string& line) {
    size_t at = 0;
    return parse_value(line, &at);
}

bool window_of_listing(const std::string& json_line, ShownWindow* window) {
    if (json_line.rfind("{\"window\":", 0) != 0)
        return false;
    Json json = parse_json(json_line);
    window->name = json["window"].text;
    window->owner = json["owner"].text == "null" ? "" : json["owner"].text;
    window->window = listed_of(json, "caption_hex");
    window->window.id = 0;
    window->controls.clear();
    for (const Json& control : json["children"].items)
        window->controls.push_back(listed_of(control, "text_hex"));
    return true;
}

std::string snapshot_lines(const ShownWindow& window) {
    std::string lines = window.name + " " + window.window.class_name +
                        (window.owner.empty() ? "" : " owner=" + window.owner) +
                        fields_of(window.window, true) + "\n";
    for (const ListedWindow& control : window.controls)
        lines += "    " + control.class_name + " id=" + std::to_string(control.id) +
                 fields_of(control, false) + "\n";
    return lines;
}

const ShownWindow* WindowSnapshot::find(const std::string& name) const {
    for (const ShownWindow& window : windows)
        if (window.name == name)
            return &window;
    return nullptr;
}

bool read_window_snapshot(const std::string& path, WindowSnapshot* snapshot, std::string* problem) {
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        *problem = "cannot read the window snapshot " + path;
        return false;
    }
    *snapshot = {};
    int number = 0;
    for (std::string line; std::getline(file, line);) {
        ++number;
        bool read = true;
        if (line.empty() || line[0] == '#') {
            continue;
        } else if (line.rfind("> ", 0) == 0) {
            snapshot->actions.push_back(line.substr(2));
        } else if (line.rfind("    ", 0) == 0) {
            ListedWindow control = {};
            read = !snapshot->windows.empty() && read_line(line, false, nullptr, &control);
            if (read)
                snapshot->windows.back().controls.push_back(control);
        } else {
            ShownWindow window = {};
            read = read_line(line, true, &window, &window.window);
            if (read)
                snapshot->windows.push_back(window);
        }
        if (!read) {
            *problem = path + ":" + std::to_string(number) + ": not a line of a window snapshot";
            return false;
        }
    }
    return true;
}

std::string snapshot_text(const WindowSnapshot& snapshot) {
    std::string text;
    for (const std::string& action : snapshot.actions)
        text += "> " + action + "\n";
    for (const ShownWindow& window : snapshot.windows)
        text += snapshot_lines(window);
    return text;
}

std::vector<std::string> window_differences(const ShownWindow& expected, const ShownWindow& shown_,
                                            bool real_window_system) {
    std::vector<std::string> found;
    auto compare = [&](const std::string& what, const ListedWindow& wanted,
                       const ListedWindow& actual, bool top_level,
                       const std::vector<std::string>& keys) {
        for (const std::string& key : keys) {
            std::string expected_value = shown(key, wanted, top_level);
            std::string shown_value = shown(key, actual, top_level);
            if (expected_value == shown_value)
                continue;
            std::string named = top_level && key == "text" ? "caption" : key;
            if (key == "text") {
                // A long text around its first difference, and that byte, which may look alike.
                const std::string &a = wanted.text, &b = actual.text;
                size_t first =
                    std::mismatch(a.begin(), a.begin() + std::min(a.size(), b.size()), b.begin())
                        .first -
                    a.begin();
                const size_t context = 24;
                if (std::max(a.size(), b.size()) > 2 * context) {
                    size_t from = first > context ? first - context : 0;
                    named += " from its byte " + std::to_string(from + 1);
                    expected_value = quoted_text(a.substr(std::min(from, a.size()), 2 * context));
                    shown_value = quoted_text(b.substr(std::min(from, b.size()), 2 * context));
                }
                if (first < a.size() && first < b.size())
                    shown_value += " (byte " + std::to_string(first + 1) + ": 0x" +
                                   hex_of(a.substr(first, 1)) + ", shown 0x" +
                                   hex_of(b.substr(first, 1)) + ")";
            }
            found.push_back(what + " " + named + ": " + expected_value + ", shown " + shown_value);
        }
    };
    ListedWindow wanted = expected.window;
    std::vector<std::string> keys = {"class", "text", "width", "height", "style", "ex_style"};
    if (real_window_system) {
        wanted.style |= 0x10000000 | 0x04000000 | 0x00C00000; // visible, clip siblings, caption
        wanted.ex_style |= 0x100;                             // window edge
    }
    if (!real_window_system || wanted.x != platform_placed)
        keys.insert(keys.begin() + 2, {"x", "y"});
    compare(expected.name, wanted, shown_.window, true, keys);
    if (expected.owner != shown_.owner)
        found.push_back(expected.name +
                        " owner: " + (expected.owner.empty() ? "none" : expected.owner) +
                        ", shown " + (shown_.owner.empty() ? "none" : shown_.owner));
    if (expected.controls.size() != shown_.controls.size())
        found.push_back(expected.name + ": " + std::to_string(shown_.controls.size()) +
                        " controls, not " + std::to_string(expected.controls.size()));
    for (size_t i = 0; i < expected.controls.size() && i < shown_.controls.size(); ++i)
        compare(expected.name + " control " + std::to_string(i + 1) + " (ID " +
                    std::to_string(expected.controls[i].id) + ")",
                expected.controls[i], shown_.controls[i], false,
                {"class", "id", "text", "x", "y", "width", "height", "style", "ex_style"});
    return found;
}
