// Writes the sample pictures of every format into the folder given as the
// only argument, as the starting corpus of the decoder fuzzer.
#include <cstdio>
#include <string>

#include "tests/images/image_writers.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s <folder>\n", argv[0]);
    return 2;
  }
  for (const imgtest::Sample& s : imgtest::SampleFiles()) {
    const std::string path = std::string(argv[1]) + "/seed_" + s.name;
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f || std::fwrite(s.bytes.data(), 1, s.bytes.size(), f) != s.bytes.size()) {
      std::fprintf(stderr, "cannot write %s\n", path.c_str());
      if (f) std::fclose(f);
      return 1;
    }
    std::fclose(f);
  }
  return 0;
}
