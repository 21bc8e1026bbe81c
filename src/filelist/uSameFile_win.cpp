#include "filelist/uSameFile.h"

#include <windows.h>

namespace {

// The volume and file index of a path; false when it cannot be opened for that.
bool GetFileIdentity(const std::u16string& APath, BY_HANDLE_FILE_INFORMATION& AInfo) {
  HANDLE h =
      ::CreateFileW(reinterpret_cast<LPCWSTR>(APath.c_str()), FILE_READ_ATTRIBUTES,
                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                    FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
  if (h == INVALID_HANDLE_VALUE) return false;
  const BOOL ok = ::GetFileInformationByHandle(h, &AInfo);
  ::CloseHandle(h);
  return ok != 0;
}

} // namespace

bool IsSameFile(const std::u16string& APath1, const std::u16string& APath2) {
  BY_HANDLE_FILE_INFORMATION i1, i2;
  if (GetFileIdentity(APath1, i1) && GetFileIdentity(APath2, i2))
    return i1.dwVolumeSerialNumber == i2.dwVolumeSerialNumber &&
           i1.nFileIndexHigh == i2.nFileIndexHigh && i1.nFileIndexLow == i2.nFileIndexLow;
  return ::lstrcmpiW(reinterpret_cast<LPCWSTR>(APath1.c_str()),
                     reinterpret_cast<LPCWSTR>(APath2.c_str())) == 0;
}
