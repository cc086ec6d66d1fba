// Commands of the data-operation support library used by this program.
#pragma once

#include "runtime/values.h"

namespace ts {

// Data digest: argument 1 is a byte set; the result is its MD5 digest as a
// new text of 32 lower-case hexadecimal digits.
void DataDigest(ResultRecord* result, int argc, ArgRecord* args);

}  // namespace ts

#include "runtime/program.h"

namespace ts {
// The library record of 数据操作支持库一 (library index 5): the one linked
// command; the library needs no notify function.
const LibraryRecord& DigestLibraryRecord();
}  // namespace ts
