// Names of the temporary files a run writes in the destination folder before
// they take their real names. They never match "*Tp.csv", and they say whose
// they are, should a power cut leave one behind.
#pragma once

#include <string>

namespace talvoren {

// "~talvoren-<process>-<tag>-<n>.tmp": the process number, eight hex digits
// drawn once per process, and a new n at every call; a caller that finds the
// name taken asks again.
std::string NextTemporaryFileName(unsigned long process_id);

}  // namespace talvoren
