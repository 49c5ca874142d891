#include "command_split.h"

#include <cstring>

namespace {

bool isNumberSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

}  // namespace

CommandWords splitCommand(const char* text, size_t size) {
    CommandWords words;
    if (!text) return words;
    size_t i = 0;
    while (i < size && text[i] != '\0') {
        if (text[i] == ' ') {
            ++i;
            continue;
        }
        CommandWord word;
        word.offset = i;
        while (i < size && text[i] != '\0' && text[i] != ' ') ++i;
        word.length = i - word.offset;
        ++words.count;
        if (words.count == 1)
            words.verb = word;
        else if (words.count == 2)
            words.first = word;
        else
            words.second = word;
    }
    return words;
}

bool wordIs(const char* text, const CommandWord& word, const char* literal) {
    if (!word.present()) return false;
    size_t n = std::strlen(literal);
    return n == word.length && std::memcmp(text + word.offset, literal, n) == 0;
}

int32_t readCommandNumber(const char* text, size_t size) {
    if (!text) return 0;
    size_t i = 0;
    while (i < size && isNumberSpace(text[i])) ++i;
    bool negative = false;
    if (i < size && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    // Magnitude kept one past the largest negative value so that both
    // bounds are reachable; further digits cannot change the result.
    const int64_t limit = int64_t(INT32_MAX) + 1;
    int64_t magnitude = 0;
    while (i < size && text[i] >= '0' && text[i] <= '9') {
        magnitude = magnitude * 10 + (text[i] - '0');
        if (magnitude > limit) magnitude = limit;
        ++i;
    }
    if (negative) return static_cast<int32_t>(-magnitude);
    return magnitude > INT32_MAX ? INT32_MAX : static_cast<int32_t>(magnitude);
}
