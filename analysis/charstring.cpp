#include "analysis/charstring.h"

#include <cstring>

#include "analysis/check.h"

namespace {
// A null text is an empty text.
const char* or_empty(const char* text) {
    return text ? text : "";
}

int length_of(const char* text) {
    return static_cast<int>(std::strlen(or_empty(text)));
}
}  // namespace

// Memory that runs out is the standard library's refusal (std::bad_alloc),
// which a run reports as such: it is no fault of the program's. Every change
// makes its new buffer before it lets the old one go, so a string whose
// change failed is as it was.

CharString::CharString(const char* text) : length(0), sPtr(nullptr) {
    setString(or_empty(text), length_of(text));
}

CharString::CharString(const CharString& other) : length(0), sPtr(nullptr) {
    setString(other.sPtr, other.length);
}

CharString::~CharString() {
    delete[] sPtr;
}

CharString& CharString::operator=(const CharString& other) {
    if (this != &other) setString(other.sPtr, other.length);
    return *this;
}

CharString& CharString::operator=(char* const& text) {
    setString(or_empty(text), length_of(text));
    return *this;
}

CharString& CharString::operator=(const char* text) {
    setString(or_empty(text), length_of(text));
    return *this;
}

CharString& CharString::operator+=(char c) {
    char* grown = new char[length + 2];
    std::memcpy(grown, sPtr, length);
    grown[length] = c;
    grown[length + 1] = '\0';
    delete[] sPtr;
    sPtr = grown;
    ++length;
    return *this;
}

int CharString::operator==(const CharString& other) const {
    return std::strcmp(sPtr, other.sPtr) == 0 ? 1 : 0;
}

char& CharString::operator[](int subscript) {
    tavrel_assert(subscript >= 0 && subscript <= length - 1);
    return sPtr[subscript];
}

const char& CharString::operator[](int subscript) const {
    tavrel_assert(subscript >= 0 && subscript <= length - 1);
    return sPtr[subscript];
}

// `text` may be this string's own buffer: it is copied before that goes.
void CharString::setString(const char* text, int textLength) {
    char* buffer = new char[textLength + 1];
    std::memcpy(buffer, text, textLength);
    buffer[textLength] = '\0';
    delete[] sPtr;
    sPtr = buffer;
    length = textLength;
}
