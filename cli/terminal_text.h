// A driver message made safe for a terminal: a file name or a field may hold
// anything a file system or a legacy file holds, and none of it may drive the
// terminal (ESC or CSI sequences) or reorder what the user reads.
#pragma once

#include <string>

namespace talvoren {

// `text` (UTF-8 meant, any bytes accepted) as terminal lines: each CR LF
// becomes '\n' and a '\n' ends the result. Shown escaped (core/texts/escape.h):
// control characters, as the C0 and DEL bytes and as the C1 code points
// U+0080-U+009F (`\x9B`); every byte that is not part of valid UTF-8
// (`\xFF`); the bidirectional overrides and isolates (`\u202E`). Everything
// else, Japanese text included, is kept as it is.
std::string AsTerminalLines(const std::string& text);

}  // namespace talvoren
