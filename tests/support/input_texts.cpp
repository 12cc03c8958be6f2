#include "tests/support/input_texts.h"

const std::vector<std::string>& hostile_texts() {
    static const std::vector<std::string> texts = {
        "",
        "+",
        "-",
        "+-5",
        ".",
        "..",
        "e",
        "1e",
        "1e-",
        "-0",
        "0",
        "0.1",
        "1e99999",
        "-1e99999",
        "1e-99999",
        "1e2147483648",
        "1e-9999999999999999999999",
        "1e-310",
        "4.9e-324",
        "-1e308",
        "nan",
        "NaN",
        "inf",
        "-infinity",
        "0x1p3",
        "\xFF\xFE\x80",
        "1.2.3.4.5",
        std::string(100000, '9'),
        "0." + std::string(99998, '0'),
        "1e" + std::string(99998, '9'),
        std::string(100000, '.'),
        std::string(50000, '-') + std::string(50000, '7'),
    };
    return texts;
}

std::string random_input_text(std::mt19937& random) {
    auto digits = [&](unsigned count) {
        std::string text;
        while (count--)
            text += (char)('0' + random() % 10);
        return text;
    };
    std::string sign = random() % 3 ? "" : "-";
    switch (random() % 8) {
    case 0:
    case 1:
        return sign + digits(1 + random() % 4) + (random() % 2 ? "." + digits(random() % 4) : "");
    case 2: return sign + digits(1) + "." + digits(16) + (random() % 2 ? "e-" : "e") + digits(2);
    case 3: {
        static const char* const exponents[] = {"308",   "309",   "-307",      "-308",
                                                "-320",  "-324",  "-325",      "4863",
                                                "-4864", "99999", "2147483648"};
        return sign + digits(1 + random() % 3) + "e" + exponents[random() % 11];
    }
    case 4: {
        static const char alphabet[] = "0123456789+-.eE ,x\xB3";
        std::string text;
        for (unsigned n = 1 + random() % 8; n--;)
            text += alphabet[random() % (sizeof alphabet - 1)];
        return text;
    }
    case 5: return "";
    case 6: return sign + digits(1) + "." + digits(400 + random() % 300);
    default: {
        const std::vector<std::string>& hostile = hostile_texts();
        for (;;) { // the huge ones would swell a script by megabytes
            const std::string& text = hostile[random() % hostile.size()];
            if (text.size() <= 64)
                return text;
        }
    }
    }
}
