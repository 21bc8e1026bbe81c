// A byte stream that puts one block of memory in front of another stream, so that many
// small reads and writes reach it as few large ones.
#pragma once

#include "files/uStreams.h"

#include <cstdint>
#include <memory>

class TBufferedStream : public TStream {
public:
  static constexpr int32_t DefaultBufferSize = 16384;

  TBufferedStream(TStream* AStream, int32_t ABufferSize, bool AOwnsStream);
  TBufferedStream(TStream* AStream, bool AOwnsStream)
      : TBufferedStream(AStream, DefaultBufferSize, AOwnsStream) {}
  // Flushes, then frees the inner stream when owned. A destructor cannot raise, so a
  // flush that fails here is lost: call Flush first to learn of it.
  ~TBufferedStream() override;

  // Writes a dirty buffer to the inner stream; raises EWriteError when it is refused.
  void Flush();

  using TStream::Seek;
  using TStream::SetSize;
  void SetSize(int32_t ANewSize) override;
  int32_t Read(void* ABuffer, int32_t ACount) override;
  int32_t Write(const void* ABuffer, int32_t ACount) override;
  // Moves the logical position only; origin 2 counts from the inner stream's size, so
  // bytes still waiting in the buffer beyond it do not count. Other origins change
  // nothing. A position outside the signed 32-bit range raises ERangeError.
  int32_t Seek(int32_t AOffset, uint16_t AOrigin) override;

protected:
  // Runs as the last step of construction. C++ does not dispatch to a derived class
  // from a base constructor, so a derived class calls its own override from its own
  // constructor.
  virtual void Initialize() {}

  // One byte at the logical position, from the window when it is there.
  bool ReadByte(uint8_t& AByte) {
    const int64_t d = fPosition - fBufferPosition;
    if (d >= 0 && d < fBufferFill) {
      AByte = fBuffer[size_t(d)];
      ++fPosition;
      return true;
    }
    return Read(&AByte, 1) == 1;
  }

  // True when the stream holds any byte: in the inner stream or waiting in the buffer.
  bool HoldsData();

  TStream* fStream;
  bool fOwnsStream;
  std::unique_ptr<uint8_t[]> fBuffer;
  int32_t fBufferSize;
  int64_t fBufferPosition = 0;
  int32_t fBufferFill = 0;
  bool fBufferDirty = false;
  int64_t fPosition = 0;

private:
  void ResetBuffer();
  void FillBuffer();
  void MarkWritten();
  // Sets the inner stream's position when it differs; false when the inner stream
  // cannot go there.
  bool PlaceInner(int64_t AOffset);
};
