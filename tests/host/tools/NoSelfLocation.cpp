// Preloaded into quorvane-run by its tests (LD_PRELOAD): the program's own location
// cannot be read, as in a chroot or a container without /proc. Every other link reads
// as usual.
#include <cerrno>
#include <cstring>
#include <dlfcn.h>
#include <unistd.h>

extern "C" ssize_t readlink(const char* APath, char* ABuffer, size_t ASize) {
  if (std::strcmp(APath, "/proc/self/exe") == 0) {
    errno = EACCES;
    return -1;
  }
  using TReadLink = ssize_t (*)(const char*, char*, size_t);
  static const auto next = reinterpret_cast<TReadLink>(dlsym(RTLD_NEXT, "readlink"));
  return next(APath, ABuffer, ASize);
}
