// A message sink that keeps every message the run shows, for tests to read,
// and what tests read in a message.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/texts/message_sink.h"

namespace talvoren::test {

class RecordingSink final : public MessageSink {
public:
    void Show(const RunMessage& message) override { messages.push_back(message); }
    std::vector<RunMessage> messages;
};

// A message's lines, split at its CR LF joins.
inline std::vector<std::string> SplitCrLf(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2) {
        lines.push_back(text.substr(start, end - start));
    }
    lines.push_back(text.substr(start));
    return lines;
}

inline void ExpectMessage(const RunMessage& actual, const RunMessage& expected) {
    EXPECT_EQ(actual.text, expected.text);
    EXPECT_EQ(actual.icon, expected.icon);
    EXPECT_EQ(actual.title, expected.title);
}

}  // namespace talvoren::test
