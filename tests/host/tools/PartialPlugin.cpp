// A module with six of the plugin's seven exports, ProcessEditorInputW missing: the host
// must refuse it before calling any of them, so every one of them fails loudly.
#include <cstdlib>

#if defined(_WIN32)
#define EXPORT extern "C" __declspec(dllexport)
#else
#define EXPORT extern "C" __attribute__((visibility("default")))
#endif
#if defined(_WIN32) && !defined(_WIN64)
#define CALL __stdcall
#else
#define CALL
#endif

EXPORT void CALL SetStartupInfoW(const void*) {
  std::abort();
}
EXPORT void CALL ExitFARW(const void*) {
  std::abort();
}
EXPORT void CALL GetGlobalInfoW(void*) {
  std::abort();
}
EXPORT void CALL GetPluginInfoW(void*) {
  std::abort();
}
EXPORT void* CALL OpenW(const void*) {
  std::abort();
}
EXPORT long CALL ProcessEditorEventW(const void*) {
  std::abort();
}
