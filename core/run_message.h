// A message the run asks the window layer (or a driver) to show: modal, OK only.
#pragma once

#include <string>

namespace talvoren {

// Values are the message-box style bits of the two icons.
enum class MessageIcon { Critical = 16, Information = 64 };

struct RunMessage {
    std::string text;  // lines joined by CR LF
    MessageIcon icon = MessageIcon::Information;
    std::string title;
};

class MessageSink {
public:
    virtual ~MessageSink() = default;
    // Shows the message and returns when the user has dismissed it.
    virtual void Show(const RunMessage& message) = 0;
};

}  // namespace talvoren
