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

namespace ts {
namespace {
const void* const kDigestCommands[] = {reinterpret_cast<const void*>(&DataDigest)};
const LibraryRecord kDigestRecord = {
    20000101, "4BB4003860154917BC7D8230BF4FA58A", 2, 0, 50, 0, 0, 0, 0, "数据操作支持库一", 1, nullptr, 0xC0000000,
    {},       0,  nullptr, {}, 1, nullptr, kDigestCommands, {}, nullptr, {}};
}  // namespace

const LibraryRecord& DigestLibraryRecord() { return kDigestRecord; }
}  // namespace ts
