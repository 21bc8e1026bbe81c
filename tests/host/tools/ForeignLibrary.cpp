// A library that calls itself kernel32.dll, for the POSIX build: loading it leaves the
// file named by QRT_FOREIGN_MARK behind, so a test sees whether anything loaded a
// library by that Windows name from the loader's search path.
#include <cstdio>
#include <cstdlib>

namespace {

struct TMark {
  TMark() {
    if (const char* mark = std::getenv("QRT_FOREIGN_MARK")) {
      if (FILE* file = std::fopen(mark, "w")) std::fclose(file);
    }
  }
} Mark;

} // namespace
