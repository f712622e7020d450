#include "core/failure.h"

#include <utility>

namespace talvoren {

ConvError::ConvError(Failure failure) : std::runtime_error(DescribeFailure(failure)), failure_(std::move(failure)) {}

ConvError FailureOf(FailureCode code) {
    Failure failure;
    failure.code = code;
    return ConvError(failure);
}

}  // namespace talvoren
