// Any bytes read as a text file give lines and end; every line goes through the
// list-line parser.
#include "files/uFiles.h"
#include "list/uListFormat.h"
#include "system/uPosixPath.h"

#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* AData, size_t ASize) {
  static const std::string path = "/tmp/quorvane-fuzz-" + std::to_string(::getpid()) + ".txt";
  static const struct TRemove {
    ~TRemove() { ::unlink(path.c_str()); }
  } remove;
  FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return 0;
  std::fwrite(AData, 1, ASize, f);
  std::fclose(f);

  TTextStream stream(posix::BytesToPath(path), fmOpenRead | fmShareDenyNone);
  std::u16string line, source, destination;
  size_t lines = 0;
  while (stream.ReadLine(line)) {
    if (++lines > ASize) std::abort(); // a reader that never ends
    int32_t a, b, c, d;
    if (ParseListLine(line, a, b, c, d) &&
        (a != 2 || b < 0 || d < 0 || size_t(c - 1 + d) >= line.size()))
      std::abort();
    SplitListLine(line, source, destination);
  }
  return 0;
}
