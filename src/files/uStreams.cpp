#include "files/uStreams.h"

#include "files/uStrings.h"
#include "system/uExceptions.h"

#include <algorithm>
#include <limits>
#include <string>

namespace {

bool FitsInt32(int64_t AValue) {
  return AValue >= std::numeric_limits<int32_t>::min() &&
         AValue <= std::numeric_limits<int32_t>::max();
}

[[noreturn]] void RaiseRange() {
  throw ERangeError("Stream offset out of range");
}

} // namespace

int64_t TStream::GetSize() {
  const int64_t position = Seek(int64_t(0), soCurrent);
  const int64_t size = Seek(int64_t(0), soEnd);
  Seek(position, soBeginning);
  return size;
}

void TStream::SetSize(int64_t ANewSize) {
  if (!FitsInt32(ANewSize)) RaiseRange();
  SetSize(int32_t(ANewSize));
}

int64_t TStream::Seek(int64_t AOffset, uint16_t AOrigin) {
  if (!FitsInt32(AOffset)) RaiseRange();
  return Seek(int32_t(AOffset), AOrigin);
}

void TStream::WriteBuffer(const void* ABuffer, int32_t ACount) {
  const auto* bytes = static_cast<const uint8_t*>(ABuffer);
  while (ACount > 0) {
    const int32_t written = Write(bytes, ACount);
    if (written <= 0) throw EWriteError("Stream write error");
    bytes += written;
    ACount -= written;
  }
}

int64_t THandleStream::GetSize() {
  int64_t size = 0;
  if (win::GetFileSizeEx(fHandle, &size)) return size;
  return TStream::GetSize();
}

void THandleStream::SetSize(int64_t ANewSize) {
  Seek(ANewSize, soBeginning);
  if (!win::SetEndOfFile(fHandle)) throw EWriteError("Stream size could not be set");
}

int32_t THandleStream::Read(void* ABuffer, int32_t ACount) {
  if (ACount <= 0) return 0;
  win::DWORD read = 0;
  if (!win::ReadFile(fHandle, ABuffer, win::DWORD(ACount), &read, nullptr)) return 0;
  return int32_t(read);
}

int32_t THandleStream::Write(const void* ABuffer, int32_t ACount) {
  if (ACount <= 0) return 0;
  win::DWORD written = 0;
  if (!win::WriteFile(fHandle, ABuffer, win::DWORD(ACount), &written, nullptr)) return 0;
  return int32_t(written);
}

int32_t THandleStream::Seek(int32_t AOffset, uint16_t AOrigin) {
  const int64_t position = Seek(int64_t(AOffset), AOrigin);
  if (!FitsInt32(position)) RaiseRange();
  return int32_t(position);
}

// Returns the new position, or -1 when the handle refuses the move.
int64_t THandleStream::Seek(int64_t AOffset, uint16_t AOrigin) {
  int64_t position = -1;
  if (!win::SetFilePointerEx(fHandle, AOffset, &position, AOrigin)) return -1;
  return position;
}

void TFileStream::ModeToCreateFile(uint16_t AMode, win::DWORD& AAccess, win::DWORD& AShare,
                                   win::DWORD& ADisposition) {
  using namespace win;
  constexpr DWORD Access[4] = {GENERIC_READ, GENERIC_WRITE, GENERIC_READ | GENERIC_WRITE, 0};
  constexpr DWORD Share[8] = {
      0, 0, FILE_SHARE_READ, FILE_SHARE_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, 0, 0, 0};
  AShare = Share[(AMode >> 4) & 7];
  if ((AMode & fmCreate) == fmCreate) {
    AAccess = GENERIC_READ | GENERIC_WRITE;
    ADisposition = CREATE_ALWAYS;
  } else {
    AAccess = Access[AMode & 3];
    ADisposition = OPEN_EXISTING;
  }
}

TFileStream::TFileStream(const std::u16string& AFileName, uint16_t AMode)
    : THandleStream(win::InvalidHandleValue()), fFileName(AFileName) {
  win::DWORD access, share, disposition;
  ModeToCreateFile(AMode, access, share, disposition);
  if (access != 0)
    fHandle = win::CreateFileW(AFileName.c_str(), access, share, nullptr, disposition,
                               win::FILE_ATTRIBUTE_NORMAL, nullptr);
  if (fHandle == win::InvalidHandleValue()) {
    const win::DWORD error = access != 0 ? win::GetLastError() : win::ERROR_INVALID_PARAMETER;
    const char* verb =
        disposition == win::CREATE_ALWAYS ? "Cannot create file \"" : "Cannot open file \"";
    throw EFOpenError(verb + WideToUtf8(AFileName) + "\". Error " + std::to_string(error));
  }
}

TFileStream::~TFileStream() {
  if (fHandle != win::InvalidHandleValue()) win::CloseHandle(fHandle);
}

void TBytesStream::SetSize(int32_t) {
  throw EWriteError("A stream over bytes in memory is read-only.");
}

int32_t TBytesStream::Read(void* ABuffer, int32_t ACount) {
  const int64_t left = int64_t(fBytes.size()) - fPosition;
  const int32_t count = ACount <= 0 || left <= 0 ? 0 : int32_t(std::min<int64_t>(ACount, left));
  if (count > 0) fBytes.copy(static_cast<char*>(ABuffer), size_t(count), size_t(fPosition));
  fPosition += count;
  return count;
}

int32_t TBytesStream::Write(const void*, int32_t) {
  return 0;
}

// Returns the new position, or -1 when it would lie outside the bytes' range.
int32_t TBytesStream::Seek(int32_t AOffset, uint16_t AOrigin) {
  if (AOrigin > soEnd) return fPosition;
  const int64_t base = AOrigin == soBeginning ? 0
                       : AOrigin == soCurrent ? fPosition
                                              : int64_t(fBytes.size());
  const int64_t position = base + AOffset;
  if (position < 0 || !FitsInt32(position)) return -1;
  fPosition = int32_t(position);
  return fPosition;
}
