// The system's own wording of a GetLastError() code, on one line: the one
// place both error types of the Windows layers take it from.
#pragma once

#include <string>

namespace talvoren {

std::string SystemMessage(unsigned long code);

}  // namespace talvoren
