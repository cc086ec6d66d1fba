// The data digest command: MD5 over a byte set's bytes, returned as text.
#include "libs/digest/digest_library.h"

#include "libs/digest/md5.h"

namespace ts {

void DataDigest(ResultRecord* result, int argc, ArgRecord* args) {
  const uint8_t* set = argc >= 1 ? ArgBytes(args[0]) : EmptyByteSetArg();
  uint8_t digest[16];
  Md5(ByteSetData(set), ByteSetLength(set), digest);
  char hex[33];
  Md5Hex(digest, hex);
  SetResultPointer(result, MakeText(hex, 32));
  result->type = tag::Text;
}

}  // namespace ts
