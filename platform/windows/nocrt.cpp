// What g++ still calls in a program linked without the C runtime: it lowers struct zeroing and
// copies to memset/memcpy, and at -Os recognises a counting loop over a string as strlen. Built
// with -fno-builtin and without loop-pattern recognition so that these loops do not turn back into
// calls to themselves.
#include <stddef.h>

extern "C" {

void* memset(void* destination, int value, size_t count) {
    unsigned char* bytes = static_cast<unsigned char*>(destination);
    while (count--)
        *bytes++ = static_cast<unsigned char>(value);
    return destination;
}

void* memcpy(void* destination, const void* source, size_t count) {
    unsigned char* to = static_cast<unsigned char*>(destination);
    const unsigned char* from = static_cast<const unsigned char*>(source);
    while (count--)
        *to++ = *from++;
    return destination;
}

void* memmove(void* destination, const void* source, size_t count) {
    unsigned char* to = static_cast<unsigned char*>(destination);
    const unsigned char* from = static_cast<const unsigned char*>(source);
    if (to < from) {
        while (count--)
            *to++ = *from++;
    } else {
        while (count--)
            to[count] = from[count];
    }
    return destination;
}

int memcmp(const void* left, const void* right, size_t count) {
    const unsigned char* a = static_cast<const unsigned char*>(left);
    const unsigned char* b = static_cast<const unsigned char*>(right);
    for (; count; --count, ++a, ++b) {
        if (*a != *b)
            return *a < *b ? -1 : 1;
    }
    return 0;
}

size_t strlen(const char* text) {
    const char* end = text;
    while (*end)
        ++end;
    return static_cast<size_t>(end - text);
}

} // extern "C"
