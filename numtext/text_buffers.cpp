#include "numtext/numtext.h"

char scratch_text[text_buffer_size];
char number_text[text_buffer_size];
char results_text[text_buffer_size];
char digit_text[18];

unsigned string_length(const char* text) {
    // Four bytes a round, each tested in order: nothing after the terminator is read.
    unsigned length = 0;
    for (;;) {
        if (!text[length])
            return length;
        if (!text[length + 1])
            return length + 1;
        if (!text[length + 2])
            return length + 2;
        if (!text[length + 3])
            return length + 3;
        length += 4;
    }
}

char* append_text(char* out, const char* text) {
    while (*text)
        *out++ = *text++;
    return out;
}
