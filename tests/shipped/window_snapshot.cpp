#include "tests/shipped/window_snapshot.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <sstream>

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

std::string utf8_of(unsigned char byte) {
    unsigned code = character_of(byte);
    if (code < 0x80)
        return std::string(1, (char)code);
    if (code < 0x800)
        return {(char)(0xC0 | code >> 6), (char)(0x80 | (code & 0x3F))};
    return {(char)(0xE0 | code >> 12), (char)(0x80 | (code >> 6 & 0x3F)),
            (char)(0x80 | (code & 0x3F))};
}

// A byte that would read as something else, or as nothing, written as \xHH.
bool escaped(unsigned char byte) {
    return byte < 0x20 || byte == 0x7F || character_of(byte) == 0 || byte == 0xA0 || byte == 0xAD;
}

// The text at `at` (its opening quote) up to its closing quote, which `at` is left after.
bool unquoted(const std::string& line, size_t* at, std::string* bytes) {
    const std::string named = "\"\\rnt", meant = "\"\\\r\n\t";
    for (size_t i = *at + 1; i < line.size();) {
        if (line[i] == '"') {
            *at = i + 1;
            return true;
        }
        if (line.compare(i, 2, "\\x") == 0) {
            if (!bytes_of_hex(line.substr(i + 2, 2), bytes))
                return false;
            i += 4;
        } else if (line[i] == '\\') {
            size_t escape = i + 1 < line.size() ? named.find(line[i + 1]) : std::string::npos;
            if (escape == std::string::npos)
                return false;
            *bytes += meant[escape];
            i += 2;
        } else { // one character, which must be one of Windows-1251's
            int byte = 1;
            while (byte < 256 &&
                   (escaped(byte) || line.compare(i, utf8_of(byte).size(), utf8_of(byte)) != 0))
                ++byte;
            if (byte == 256)
                return false;
            *bytes += (char)byte;
            i += utf8_of(byte).size();
        }
    }
    return false;
}

// ---- Styles as flag names: WS_ for every window (WS_EX_ for the extended styles), BS_, SS_ and
// ES_ by class. Each name with the bits it stands for in hex, MASK or MASK:VALUE (the bits VALUE
// within MASK).
const char* const known_style_names =
    "WS_POPUP:80000000 WS_CHILD:40000000 WS_VISIBLE:10000000 WS_DISABLED:8000000 "
    "WS_CLIPSIBLINGS:4000000 WS_CLIPCHILDREN:2000000 WS_CAPTION:C00000 WS_BORDER:C00000:800000 "
    "WS_DLGFRAME:C00000:400000 WS_VSCROLL:200000 WS_HSCROLL:100000 WS_SYSMENU:80000 "
    "WS_THICKFRAME:40000 WS_MINIMIZEBOX:20000 WS_MAXIMIZEBOX:10000 WS_GROUP:20000 "
    "WS_TABSTOP:10000 WS_EX_DLGMODALFRAME:1 WS_EX_TOPMOST:8 WS_EX_TRANSPARENT:20 "
    "WS_EX_TOOLWINDOW:80 WS_EX_WINDOWEDGE:100 WS_EX_CLIENTEDGE:200 WS_EX_STATICEDGE:20000 "
    "WS_EX_APPWINDOW:40000 BS_DEFPUSHBUTTON:F:1 BS_CHECKBOX:F:2 BS_AUTOCHECKBOX:F:3 "
    "BS_RADIOBUTTON:F:4 BS_GROUPBOX:F:7 BS_AUTORADIOBUTTON:F:9 BS_MULTILINE:2000 BS_NOTIFY:4000 "
    "BS_FLAT:8000 SS_CENTER:1F:1 SS_RIGHT:1F:2 SS_NOPREFIX:80 SS_NOTIFY:100 SS_SUNKEN:1000 "
    "ES_CENTER:3:1 ES_RIGHT:3:2 ES_MULTILINE:4 ES_UPPERCASE:8 ES_LOWERCASE:10 ES_PASSWORD:20 "
    "ES_AUTOVSCROLL:40 ES_AUTOHSCROLL:80 ES_NOHIDESEL:100 ES_READONLY:800 ES_WANTRETURN:1000 "
    "ES_NUMBER:2000";

struct StyleName {
    std::string name;
    unsigned long mask, value;
};

const std::vector<StyleName>& style_names_known() {
    static std::vector<StyleName> names;
    std::istringstream words(names.empty() ? known_style_names : "");
    for (std::string word; words >> word;) {
        char* rest = nullptr;
        unsigned long mask = strtoul(word.c_str() + word.find(':') + 1, &rest, 16);
        names.push_back(
            {word.substr(0, word.find(':')), mask, *rest ? strtoul(rest + 1, nullptr, 16) : mask});
    }
    return names;
}

// Whether a style of a top-level window, of a control of its class, or an extended style
// (`class_name` "ex") has this name. The same two bits are the minimize and maximize boxes of a
// top-level window, and the group and tab stop marks of a control.
bool names_it(const std::string& name, bool top_level, const std::string& class_name) {
    auto starts = [&](const std::string& prefix) { return name.rfind(prefix, 0) == 0; };
    if (class_name == "ex" || starts("WS_EX_"))
        return class_name == "ex" && starts("WS_EX_");
    bool box = name == "WS_MINIMIZEBOX" || name == "WS_MAXIMIZEBOX";
    if (box || name == "WS_GROUP" || name == "WS_TABSTOP")
        return box == top_level;
    std::string own = class_name == "button"   ? "BS_"
                      : class_name == "static" ? "SS_"
                      : class_name == "edit"   ? "ES_"
                                               : "WS_";
    return starts("WS_") || (!top_level && starts(own));
}

std::string style_names(unsigned long style, bool top_level, const std::string& class_name) {
    std::string names;
    for (const StyleName& known : style_names_known())
        if (names_it(known.name, top_level, class_name) && (style & known.mask) == known.value) {
            names += (names.empty() ? "" : "|") + known.name;
            style &= ~known.mask;
        }
    if (style) {
        char hex[24];
        snprintf(hex, sizeof hex, "0x%lX", style);
        names += (names.empty() ? "" : "|") + std::string(hex);
    }
    return names.empty() ? "0" : names;
}

bool style_of_names(const std::string& names, bool top_level, const std::string& class_name,
                    unsigned long* style) {
    *style = 0;
    std::istringstream words(names);
    for (std::string name; std::getline(words, name, '|');) {
        const StyleName* found = nullptr;
        for (const StyleName& known : style_names_known())
            if (name == known.name && names_it(name, top_level, class_name))
                found = &known;
        char* rest = nullptr;
        *style |= found ? found->value : strtoul(name.c_str(), &rest, 0);
        if (!found && (name.empty() || *rest))
            return false;
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
    std::string line = " x=" + coordinate(listed.x) + " y=" + coordinate(listed.y) +
                       " width=" + std::to_string(listed.width) +
                       " height=" + std::to_string(listed.height) +
                       " style=" + style_names(listed.style, top_level, listed.class_name);
    if (listed.ex_style)
        line += " ex_style=" + style_names(listed.ex_style, top_level, "ex");
    return line + (top_level ? " caption=" : " text=") + quoted_text(listed.text);
}

// One line of a snapshot: a window's name and class, or a control's class, then every field of
// fields_of() (and a window's owner).
bool read_line(const std::string& line, bool top_level, ShownWindow* window, ListedWindow* listed) {
    const std::string text_key = top_level ? " caption=" : " text=";
    size_t quote = line.find(text_key) + text_key.size();
    if (quote < text_key.size() || !unquoted(line, &quote, &listed->text) || quote != line.size())
        return false;
    std::istringstream words(line.substr(0, line.find(text_key)));
    if (top_level)
        words >> window->name;
    words >> listed->class_name;
    std::map<std::string, std::string> fields;
    for (std::string word; words >> word;) {
        size_t equals = word.find('=');
        if (equals == std::string::npos ||
            !fields.emplace(word.substr(0, equals), word.substr(equals + 1)).second)
            return false;
    }
    auto number = [&](const char* key, long* value) {
        std::string text = fields.count(key) ? fields[key] : "";
        char* rest = nullptr;
        *value = text == "CW_USEDEFAULT" ? platform_placed : strtol(text.c_str(), &rest, 10);
        return !text.empty() && (!rest || !*rest);
    };
    listed->ex_style = 0;
    if (top_level)
        window->owner = fields.count("owner") ? fields["owner"] : "";
    size_t known = 5 + !top_level + fields.count("ex_style") + (top_level && fields.count("owner"));
    return number("x", &listed->x) && number("y", &listed->y) && number("width", &listed->width) &&
           number("height", &listed->height) && (top_level || number("id", &listed->id)) &&
           fields.size() == known &&
           style_of_names(fields["style"], top_level, listed->class_name, &listed->style) &&
           (!fields.count("ex_style") ||
            style_of_names(fields["ex_style"], top_level, "ex", &listed->ex_style));
}

std::string shown(const std::string& key, const ListedWindow& listed, bool top_level) {
    if (key == "class")
        return listed.class_name;
    if (key == "text")
        return quoted_text(listed.text);
    if (key == "style")
        return style_names(listed.style, top_level, listed.class_name);
    if (key == "ex_style")
        return style_names(listed.ex_style, top_level, "ex");
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
            quoted += utf8_of(c);
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
