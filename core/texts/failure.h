// A failure of a conversion run: a code and its details. The Japanese text a
// user reads is made from these in one place (failure_description.h).
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

namespace talvoren {

enum class FailureCode {
    // Refusals of the legacy reader; `line` is 1-based, `field` the offending text.
    Utf8ByteOrderMark,
    MissingComma,
    EmptyNumber,
    BadNumber,
    NumberOutOfRange,
    ThirdField,
    BytesAfterQuote,
    UnclosedQuote,
    TextTooLong,
    // The file layer; `os_error` is errno or GetLastError(), `os_text` the
    // platform's own wording, used when no Japanese text fits the cause.
    NotFound,
    AccessDenied,
    DiskFull,
    FileInUse,
    NameTooLong,
    LinkLoop,  // too many links, or a loop of symbolic links
    IoError,
    FileTooLarge,
    TooManyOpenFiles,
    DeviceBusy,
    QuotaExceeded,
    OtherOsError,
    // The run's own refusals and limits.
    SameAsSource,
    NotARegularFile,  // a folder, device, FIFO or socket at a destination name
    SymbolicLink,     // a symbolic link at a destination name
    ReadOnlyFile,     // a destination file nobody may write, or this user may not
    WrittenThisRun,   // a destination file another listed name has just produced
    OutOfMemory,
};

struct Failure {
    FailureCode code = FailureCode::OtherOsError;
    std::uint64_t line = 0;
    std::string field;
    int os_error = 0;
    std::string os_text;
};

// Thrown by the reader, the file layer and the folder listing; the run and its
// callers catch exactly this type. what() is the failure's Japanese
// description, made once when the error is made.
class ConvError : public std::runtime_error {
public:
    explicit ConvError(Failure failure);
    const Failure& failure() const { return failure_; }

private:
    Failure failure_;
};

// A failure with a code and no further details.
ConvError FailureOf(FailureCode code);

}  // namespace talvoren
