// POSIX stand-in for the Windows system services: errors, attributes, directory search,
// moving and deleting, temporary names, version records and modules.
#include "system/uWindows.h"

namespace win {

namespace {
thread_local DWORD LastError = ERROR_SUCCESS;
}

DWORD GetLastError() { return LastError; }
void SetLastError(DWORD ACode) { LastError = ACode; }

} // namespace win
