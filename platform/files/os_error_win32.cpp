// GetLastError() values as failures of the file layer, with the system's own
// wording as the fallback text.
#include "platform/files/os_error.h"

#include <windows.h>

#include "platform/win32/system_message_win32.h"

namespace talvoren {
namespace {

FailureCode CodeOf(DWORD os_error) {
    switch (os_error) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_BAD_NETPATH:
    case ERROR_BAD_NET_NAME:
    case ERROR_INVALID_DRIVE:
    case ERROR_DIRECTORY:
    case ERROR_INVALID_NAME:  // also what a file used as a folder gives under Wine
        return FailureCode::NotFound;
    case ERROR_ACCESS_DENIED:
    case ERROR_WRITE_PROTECT:
        return FailureCode::AccessDenied;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
        return FailureCode::DiskFull;
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
        return FailureCode::FileInUse;
    case ERROR_FILENAME_EXCED_RANGE:
        return FailureCode::NameTooLong;
    case ERROR_TOO_MANY_OPEN_FILES:
        return FailureCode::TooManyOpenFiles;
    case ERROR_NOT_ENOUGH_MEMORY:
    case ERROR_OUTOFMEMORY:
        return FailureCode::OutOfMemory;
    default:
        return FailureCode::OtherOsError;
    }
}

}  // namespace

ConvError OsError(int os_error) {
    const DWORD code = static_cast<DWORD>(os_error);
    Failure failure;
    failure.code = CodeOf(code);
    failure.os_error = os_error;
    failure.os_text = SystemMessage(code);
    return ConvError(failure);
}

ConvError LastOsError() { return OsError(static_cast<int>(GetLastError())); }

}  // namespace talvoren
