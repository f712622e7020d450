// A message the run asks the window layer (or a driver) to show: modal, OK only.
#pragma once

#include <string>

namespace talvoren {

// The icon a message is shown with; the window layer maps it to its own.
enum class MessageIcon { Critical, Information };

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
