#pragma once

// The program's own length-counted string: taxon names, neuron names,
// model names and tree labels. Always holds a NUL-terminated heap buffer
// of length + 1 characters that no other string shares.
class CharString {
public:
    CharString(const char* text = "");
    CharString(const CharString& other);
    ~CharString();

    CharString& operator=(const CharString& other);
    CharString& operator=(char* const& text);
    CharString& operator=(const char* text);
    CharString& operator+=(char c);
    int operator==(const CharString& other) const;

    int getLength() const { return length; }
    char& operator[](int subscript);
    const char& operator[](int subscript) const;
    const char* c_str() const { return sPtr; }

private:
    // Holds the first `textLength` characters of `text` from now on.
    void setString(const char* text, int textLength);

    int length;
    char* sPtr;
};
