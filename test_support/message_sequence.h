// Expected orders of events, messages and log lines written as named tables,
// each step the line as logged and what it means:
//
//     const MessageStep kClosingTheWindow[] = {
//         {"E 06010000 1", "the closing routine is asked"},
//         {"loop-end", "the message loop ends"},
//     };
//     EXPECT_SEQUENCE(StepsAmong(Log(), kClosingTheWindow), kClosingTheWindow);
//
// A failure names the table and the first step that differs, with its
// meaning, and shows the whole sequence seen. ASSERT_SEQUENCE stops the
// test there.
#pragma once

#include <gtest/gtest.h>

#include <cstddef>
#include <string>
#include <vector>

namespace lyra::test {

struct MessageStep {
    std::string logged;
    const char* meaning;
};

namespace sequence_detail {

inline std::string Quoted(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines) text += (text.empty() ? "\"" : ", \"") + line + "\"";
    return text.empty() ? "(nothing)" : text;
}

}  // namespace sequence_detail

inline ::testing::AssertionResult SequenceMatches(const char* seenText, const char* name,
                                                  const std::vector<std::string>& seen, const MessageStep* steps,
                                                  size_t count) {
    for (size_t i = 0; i < count || i < seen.size(); ++i) {
        if (i < count && i < seen.size() && seen[i] == steps[i].logged) continue;
        ::testing::AssertionResult failure = ::testing::AssertionFailure();
        failure << seenText << " differs from " << name << " at step " << i + 1 << ":\n";
        if (i < count) {
            failure << "  expected \"" << steps[i].logged << "\" (" << steps[i].meaning << ")\n";
        } else {
            failure << "  expected the sequence to end there\n";
        }
        if (i < seen.size()) {
            failure << "  seen     \"" << seen[i] << "\"\n";
        } else {
            failure << "  seen     nothing more\n";
        }
        return failure << "  the whole sequence seen: " << sequence_detail::Quoted(seen);
    }
    return ::testing::AssertionSuccess();
}

template <size_t N>
::testing::AssertionResult SequenceMatches(const char* seenText, const char* name, const std::vector<std::string>& seen,
                                           const MessageStep (&steps)[N]) {
    return SequenceMatches(seenText, name, seen, steps, N);
}

// The lines that are steps of the table, in the order seen: for logs that
// hold other lines between the steps.
template <size_t N>
std::vector<std::string> StepsAmong(const std::vector<std::string>& lines, const MessageStep (&steps)[N]) {
    std::vector<std::string> kept;
    for (const std::string& line : lines) {
        for (const MessageStep& step : steps) {
            if (line == step.logged) {
                kept.push_back(line);
                break;
            }
        }
    }
    return kept;
}

}  // namespace lyra::test

#define EXPECT_SEQUENCE(seen, steps) EXPECT_PRED_FORMAT2(::lyra::test::SequenceMatches, seen, steps)
#define ASSERT_SEQUENCE(seen, steps) ASSERT_PRED_FORMAT2(::lyra::test::SequenceMatches, seen, steps)
