// Counts the bytes held through operator new in a test program, so that a test
// can tell how much memory a conversion took at its peak.
#pragma once

#include <cstddef>

namespace talvoren::test {

// Starts a new measurement from the bytes held now.
void ResetHeapPeak();
// The most bytes held at once since the last reset, beyond those held then.
std::size_t HeapPeakSinceReset();

}  // namespace talvoren::test
