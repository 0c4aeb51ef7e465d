#include "analysis/charstring.h"

#include <cstring>
#include <new>

#include "analysis/check.h"

namespace {
// A null text is an empty text.
const char* or_empty(const char* text) {
    return text ? text : "";
}
}  // namespace

CharString::CharString(const char* text)
    : length(static_cast<int>(std::strlen(or_empty(text)))), sPtr(nullptr) {
    setString(or_empty(text));
}

CharString::CharString(const CharString& other) : length(other.length), sPtr(nullptr) {
    setString(other.sPtr);
}

CharString::~CharString() {
    delete[] sPtr;
}

CharString& CharString::operator=(const CharString& other) {
    if (this != &other) {
        delete[] sPtr;
        length = other.length;
        setString(other.sPtr);
    }
    return *this;
}

CharString& CharString::operator=(char* const& text) {
    assign(text);
    return *this;
}

CharString& CharString::operator=(const char* text) {
    assign(text);
    return *this;
}

// The new buffer is filled before the old one goes, so assigning a string
// its own text is safe.
void CharString::assign(const char* text) {
    char* old = sPtr;
    length = static_cast<int>(std::strlen(or_empty(text)));
    setString(or_empty(text));
    delete[] old;
}

CharString& CharString::operator+=(char c) {
    char* grown = new (std::nothrow) char[length + 2];
    tavrel_assert(grown != nullptr);
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

void CharString::setString(const char* text) {
    sPtr = new (std::nothrow) char[length + 1];
    tavrel_assert(sPtr != NULL);
    std::memcpy(sPtr, text, length);
    sPtr[length] = '\0';
}
