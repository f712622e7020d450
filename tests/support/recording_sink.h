// A message sink that keeps every message the run shows, for tests to read.
#pragma once

#include <vector>

#include "core/texts/message_sink.h"

namespace talvoren::test {

class RecordingSink final : public MessageSink {
public:
    void Show(const RunMessage& message) override { messages.push_back(message); }
    std::vector<RunMessage> messages;
};

}  // namespace talvoren::test
