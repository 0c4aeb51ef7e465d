#ifndef GLOW_CORE_GLOW_ASSERT_H
#define GLOW_CORE_GLOW_ASSERT_H

// The toolkit's internal consistency checks, in every build (NDEBUG does not
// remove them). A failed check is a bug in the toolkit or in its caller, not
// a user error: it names the expression, the file and the line on standard
// error and ends the process with exit code 3, as the program's own checks
// do. The expression must be cheap and have no side effect.

namespace glow {

[[noreturn]] void Glow_AssertionFailed(const char* expression, const char* file, int line);

}  // namespace glow

#define glow_assert(expression) \
    ((expression) ? (void)0 : ::glow::Glow_AssertionFailed(#expression, __FILE__, __LINE__))

#endif
