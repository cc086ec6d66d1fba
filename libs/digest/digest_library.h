// Commands of the data-operation support library used by this program.
#pragma once

#include "runtime/values.h"

namespace ts {

// Data digest: argument 1 is a byte set; the result is its MD5 digest as a
// new text of 32 lower-case hexadecimal digits.
void DataDigest(ResultRecord* result, int argc, ArgRecord* args);

}  // namespace ts
