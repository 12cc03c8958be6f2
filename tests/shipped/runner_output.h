// The forms of the shipped runner's output that the end-to-end driver writes too: texts as bytes in
// hex, JSON strings, and the windows of the `windows` action, one top-level window a line.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

inline std::string hex_of(const std::string& bytes) {
    static const char digits[] = "0123456789abcdef";
    std::string hex;
    for (unsigned char c : bytes) {
        hex += digits[c >> 4];
        hex += digits[c & 15];
    }
    return hex;
}

// False, with bytes partly written, when hex is no even number of hex digits.
inline bool bytes_of_hex(const std::string& hex, std::string* bytes) {
    auto digit = [](char c) {
        return c >= '0' && c <= '9'   ? c - '0'
               : c >= 'a' && c <= 'f' ? c - 'a' + 10
               : c >= 'A' && c <= 'F' ? c - 'A' + 10
                                      : -1;
    };
    if (hex.size() % 2)
        return false;
    for (size_t i = 0; i < hex.size(); i += 2) {
        int high = digit(hex[i]), low = digit(hex[i + 1]);
        if (high < 0 || low < 0)
            return false;
        *bytes += (char)(high * 16 + low);
    }
    return true;
}

// Outside printable ASCII, a byte is written \u00XX.
inline std::string json_string(const std::string& text) {
    std::string quoted = "\"";
    for (unsigned char c : text) {
        if (c == '"' || c == '\\') {
            quoted += '\\';
            quoted += (char)c;
        } else if (c < 0x20 || c >= 0x7F) {
            char escaped[8];
            snprintf(escaped, sizeof escaped, "\\u%04x", c);
            quoted += escaped;
        } else {
            quoted += (char)c;
        }
    }
    return quoted + "\"";
}

// A window or control as listed; a control's place is relative to its window.
struct ListedWindow {
    std::string class_name, text;
    long id, x, y, width, height;
    unsigned long style, ex_style;
};

// One top-level window and its controls in creation order. name and owner are JSON values: a
// quoted window name, or null.
inline std::string window_listing(const std::string& name, const std::string& owner,
                                  const ListedWindow& window,
                                  const std::vector<ListedWindow>& controls) {
    auto place_and_style = [](const ListedWindow& listed) {
        return ",\"x\":" + std::to_string(listed.x) + ",\"y\":" + std::to_string(listed.y) +
               ",\"width\":" + std::to_string(listed.width) +
               ",\"height\":" + std::to_string(listed.height) +
               ",\"style\":" + std::to_string(listed.style) +
               ",\"ex_style\":" + std::to_string(listed.ex_style);
    };
    std::string line = "{\"window\":" + name + ",\"class\":" + json_string(window.class_name) +
                       ",\"caption_hex\":\"" + hex_of(window.text) + "\"" +
                       place_and_style(window) + ",\"owner\":" + owner + ",\"children\":[";
    for (size_t i = 0; i < controls.size(); ++i)
        line += (i ? ",{\"class\":" : "{\"class\":") + json_string(controls[i].class_name) +
                ",\"id\":" + std::to_string(controls[i].id) + ",\"text_hex\":\"" +
                hex_of(controls[i].text) + "\"" + place_and_style(controls[i]) + "}";
    return line + "]}";
}
