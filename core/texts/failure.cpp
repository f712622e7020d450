#include "core/texts/failure.h"

#include <utility>

#include "core/texts/failure_description.h"

namespace talvoren {

ConvError::ConvError(Failure failure) : std::runtime_error(DescribeFailure(failure)), failure_(std::move(failure)) {}

ConvError FailureOf(FailureCode code) {
    Failure failure;
    failure.code = code;
    return ConvError(failure);
}

}  // namespace talvoren
