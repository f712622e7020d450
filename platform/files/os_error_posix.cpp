// errno values as failures of the file layer.
#include "platform/files/os_error.h"

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
        return FailureCode::DiskFull;
    case EDQUOT:
        return FailureCode::QuotaExceeded;
    case ETXTBSY:
        return FailureCode::FileInUse;
    case EBUSY:
        return FailureCode::DeviceBusy;
    case ENAMETOOLONG:
        return FailureCode::NameTooLong;
    case ELOOP:
    case EMLINK:
        return FailureCode::LinkLoop;
    case EIO:
        return FailureCode::IoError;
    case EFBIG:
        return FailureCode::FileTooLarge;
    case EMFILE:
    case ENFILE:
        return FailureCode::TooManyOpenFiles;
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
