// Stands in for a mail program or browser in the hyperlink tests: appends
// its arguments, one line per start, to the file named by TS_LINK_RECORD.
#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
  const char* path = std::getenv("TS_LINK_RECORD");
  if (!path) return 2;
  std::FILE* f = std::fopen(path, "ab");
  if (!f) return 3;
  for (int i = 1; i < argc; ++i) std::fprintf(f, i > 1 ? " %s" : "%s", argv[i]);
  std::fputc('\n', f);
  std::fclose(f);
  return 0;
}
