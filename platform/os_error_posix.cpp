// errno values as failures of the file layer.
#include "platform/os_error.h"

#include <cerrno>
#include <cstring>

namespace talvoren {
namespace {

FailureCode CodeOf(int os_error) {
    switch (os_error) {
    case ENOENT:
    case ENOTDIR:
        return FailureCode::NotFound;
    case EACCES:
    case EPERM:
    case EROFS:   // Windows too reports write-protected media as access denied
    case EISDIR:  // ... and a folder opened as a file
        return FailureCode::AccessDenied;
    case ENOSPC:
    case EDQUOT:
        return FailureCode::DiskFull;
    case EBUSY:
    case ETXTBSY:
        return FailureCode::FileInUse;
    default:
        return FailureCode::OtherOsError;
    }
}

}  // namespace

ConvError OsError(int os_error) {
    Failure failure;
    failure.code = CodeOf(os_error);
    failure.os_error = os_error;
    failure.os_text = std::strerror(os_error);
    return ConvError(failure);
}

ConvError LastOsError() { return OsError(errno); }

}  // namespace talvoren
