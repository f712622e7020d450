// The message table: the one place where a failure becomes the Japanese text
// shown to the user.
#pragma once

#include <string>

#include "core/texts/failure.h"

namespace talvoren {

// "N 行目：" and the cause for what the reader refused, the cause alone else.
std::string DescribeFailure(const Failure& failure);
// The cause alone, for a report that gives the line apart.
std::string DescribeCause(const Failure& failure);

}  // namespace talvoren
