// The host's failure codes (errno, GetLastError()) turned into the run's
// ConvError: a FailureCode for the common causes, the OS wording otherwise.
#pragma once

#include "core/texts/failure.h"

namespace talvoren {

// The failure of OS error `os_error` (errno on POSIX, a GetLastError() value
// on Windows).
ConvError OsError(int os_error);

// The failure the last OS call left behind.
ConvError LastOsError();

}  // namespace talvoren
