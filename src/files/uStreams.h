// The byte-stream layer: an abstract stream, a stream over an open file handle and a
// stream over a file opened by name.
#pragma once

#include "system/uWindows.h"

#include <cstdint>
#include <string>

// Open modes: the access in the low two bits, the sharing in the next four, and
// fmCreate to create the file anew (emptying one that exists) for reading and writing.
constexpr uint16_t fmOpenRead = 0x0000;
constexpr uint16_t fmOpenWrite = 0x0001;
constexpr uint16_t fmOpenReadWrite = 0x0002;
constexpr uint16_t fmShareCompat = 0x0000;
constexpr uint16_t fmShareExclusive = 0x0010;
constexpr uint16_t fmShareDenyWrite = 0x0020;
constexpr uint16_t fmShareDenyRead = 0x0030;
constexpr uint16_t fmShareDenyNone = 0x0040;
constexpr uint16_t fmCreate = 0xFF00;

// Seek origins.
constexpr uint16_t soBeginning = 0;
constexpr uint16_t soCurrent = 1;
constexpr uint16_t soEnd = 2;

class TStream {
public:
  TStream() = default;
  TStream(const TStream&) = delete;
  TStream& operator=(const TStream&) = delete;
  virtual ~TStream() = default;

  // The 64-bit forms pass values that fit a signed 32-bit integer on to the 32-bit forms
  // and raise ERangeError for any other; a stream with 64-bit offsets of its own
  // overrides them.
  virtual int64_t GetSize();
  virtual void SetSize(int32_t ANewSize) = 0;
  virtual void SetSize(int64_t ANewSize);
  virtual int32_t Read(void* ABuffer, int32_t ACount) = 0;
  virtual int32_t Write(const void* ABuffer, int32_t ACount) = 0;
  virtual int32_t Seek(int32_t AOffset, uint16_t AOrigin) = 0;
  virtual int64_t Seek(int64_t AOffset, uint16_t AOrigin);

  int64_t Position() { return Seek(int64_t(0), soCurrent); }
  void SetPosition(int64_t APosition) { Seek(APosition, soBeginning); }
  int64_t Size() { return GetSize(); }

  // Writes all ACount bytes or raises EWriteError.
  void WriteBuffer(const void* ABuffer, int32_t ACount);
};

// A stream over a file handle that the caller owns and closes.
class THandleStream : public TStream {
public:
  explicit THandleStream(win::HANDLE AHandle) : fHandle(AHandle) {}

  using TStream::Seek;
  using TStream::SetSize;
  int64_t GetSize() override;
  void SetSize(int32_t ANewSize) override { SetSize(int64_t(ANewSize)); }
  void SetSize(int64_t ANewSize) override;
  int32_t Read(void* ABuffer, int32_t ACount) override;
  int32_t Write(const void* ABuffer, int32_t ACount) override;
  int32_t Seek(int32_t AOffset, uint16_t AOrigin) override;
  int64_t Seek(int64_t AOffset, uint16_t AOrigin) override;

  win::HANDLE Handle() const { return fHandle; }

protected:
  win::HANDLE fHandle;
};

// A stream over a file that it opens by name (raising EFOpenError when it cannot) and
// closes when it goes.
class TFileStream : public THandleStream {
public:
  TFileStream(const std::u16string& AFileName, uint16_t AMode);
  ~TFileStream() override;

  const std::u16string& FileName() const { return fFileName; }

  // The CreateFileW arguments for an open mode.
  static void ModeToCreateFile(uint16_t AMode, win::DWORD& AAccess, win::DWORD& AShare,
                               win::DWORD& ADisposition);

private:
  std::u16string fFileName;
};

// A read-only stream over bytes in memory, which it keeps: text already read from a file,
// decoded without reading the file again. Writing is refused.
class TBytesStream : public TStream {
public:
  explicit TBytesStream(std::string ABytes) : fBytes(std::move(ABytes)) {}

  const std::string& Bytes() const { return fBytes; }

  using TStream::Seek;
  using TStream::SetSize;
  void SetSize(int32_t ANewSize) override;
  int32_t Read(void* ABuffer, int32_t ACount) override;
  int32_t Write(const void* ABuffer, int32_t ACount) override;
  int32_t Seek(int32_t AOffset, uint16_t AOrigin) override;

private:
  std::string fBytes;
  int32_t fPosition = 0;
};
