#ifndef TESTS_GLOW_SUPPORT_FAILEDCHECK_H
#define TESTS_GLOW_SUPPORT_FAILEDCHECK_H

// What a failed toolkit check leaves on standard error, for death tests.

#include <gtest/gtest.h>

#include <cctype>
#include <ostream>
#include <string>

namespace glowtest {

class FailedCheckMatcher : public testing::MatcherInterface<const std::string&> {
public:
    FailedCheckMatcher(const std::string& expression, const std::string& file)
        : head_("Assertion failed: " + expression + ", file " + file + ", line ") {}

    bool MatchAndExplain(const std::string& err, testing::MatchResultListener*) const override {
        if (err.compare(0, head_.size(), head_) != 0 || err.size() < head_.size() + 2) return false;
        if (err.back() != '\n') return false;
        for (std::size_t i = head_.size(); i + 1 < err.size(); ++i)
            if (!std::isdigit(static_cast<unsigned char>(err[i]))) return false;
        return true;
    }
    void DescribeTo(std::ostream* os) const override {
        *os << "is the one line \"" << head_ << "<digits>\\n\"";
    }

private:
    std::string head_;
};

// The whole of standard error is one line: "Assertion failed:
// <expression>, file <file>, line <digits>" and a newline.
inline testing::Matcher<const std::string&> FailedCheck(const std::string& expression,
                                                        const std::string& file) {
    return testing::Matcher<const std::string&>(new FailedCheckMatcher(expression, file));
}

}  // namespace glowtest

#endif
