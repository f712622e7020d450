#include "core/failure.h"

#include <utility>

namespace talvoren {

ConvError::ConvError(Failure failure)
    : std::runtime_error(DescribeFailure(failure)), failure_(std::move(failure)) {}

}  // namespace talvoren
