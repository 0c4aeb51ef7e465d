#pragma once
// Internal consistency checks. A failed check is a bug in the program, not
// a user error: it names the expression, the file and the line on standard
// error and ends the process with exit code 3.

namespace tavrel_detail {
[[noreturn]] void assertion_failed(const char* expression, const char* file, int line);
}

#define tavrel_assert(expression) \
    ((expression) ? (void)0 : ::tavrel_detail::assertion_failed(#expression, __FILE__, __LINE__))
