#include "files/uBufferedStream.h"

#include "system/uExceptions.h"

#include <algorithm>
#include <cstring>
#include <limits>

TBufferedStream::TBufferedStream(TStream* AStream, int32_t ABufferSize, bool AOwnsStream)
    : fStream(AStream), fOwnsStream(AOwnsStream),
      fBuffer(new uint8_t[size_t(std::max<int32_t>(ABufferSize, 1))]),
      fBufferSize(std::max<int32_t>(ABufferSize, 1)) {
  ResetBuffer();
  Initialize();
}

TBufferedStream::~TBufferedStream() {
  try {
    Flush();
  } catch (...) {
    // Nothing can be reported from here; see the declaration.
  }
  if (fOwnsStream) {
    TStream* inner = fStream;
    fStream = nullptr;
    delete inner;
  }
}

void TBufferedStream::ResetBuffer() {
  fBufferPosition = 0;
  fBufferFill = 0;
  fBufferDirty = false;
}

bool TBufferedStream::PlaceInner(int64_t AOffset) {
  if (fStream->Position() == AOffset) return true;
  return fStream->Seek(AOffset, soBeginning) == AOffset;
}

void TBufferedStream::FillBuffer() {
  fBufferPosition = fPosition;
  fBufferFill = PlaceInner(fPosition) ? std::max(fStream->Read(fBuffer.get(), fBufferSize), 0) : 0;
  fBufferDirty = false;
}

void TBufferedStream::Flush() {
  if (!fBufferDirty) return;
  if (!PlaceInner(fBufferPosition)) throw EWriteError("Stream write error");
  fStream->WriteBuffer(fBuffer.get(), fBufferFill);
  fBufferDirty = false;
}

void TBufferedStream::MarkWritten() {
  fBufferDirty = true;
  const int64_t end = fPosition - fBufferPosition;
  if (end > fBufferFill) fBufferFill = int32_t(end);
}

bool TBufferedStream::HoldsData() {
  return (fBufferDirty && fBufferFill > 0) || fStream->Size() > 0;
}

int32_t TBufferedStream::Read(void* ABuffer, int32_t ACount) {
  // A position before the start holds nothing; the inner stream is never asked.
  if (ACount <= 0 || fPosition < 0) return 0;
  auto* dest = static_cast<uint8_t*>(ABuffer);
  int32_t total = 0;
  const int64_t d = fPosition - fBufferPosition;
  if (d >= 0 && d < fBufferFill) {
    const int32_t n = std::min<int32_t>(ACount, fBufferFill - int32_t(d));
    std::memcpy(dest, fBuffer.get() + d, size_t(n));
    fPosition += n;
    dest += n;
    total = n;
    ACount -= n;
  }
  if (ACount == 0) return total;

  Flush();
  ResetBuffer();
  if (ACount > fBufferSize) {
    if (!PlaceInner(fPosition)) return total;
    const int32_t n = std::max(fStream->Read(dest, ACount), 0);
    fPosition = fStream->Position();
    return total + n;
  }
  FillBuffer();
  const int32_t n = std::min(ACount, fBufferFill);
  if (n > 0) {
    std::memcpy(dest, fBuffer.get(), size_t(n));
    fPosition += n;
    total += n;
  }
  return total;
}

int32_t TBufferedStream::Write(const void* ABuffer, int32_t ACount) {
  if (ACount <= 0 || fPosition < 0) return 0;
  const auto* source = static_cast<const uint8_t*>(ABuffer);
  int32_t total = 0;
  // Only a write that starts inside the filled part or right at its end goes into the
  // window: starting further on would leave bytes between that hold no data, and a
  // flush would write them over the inner stream.
  const int64_t d = fPosition - fBufferPosition;
  if (d >= 0 && d <= fBufferFill && d < fBufferSize) {
    const int32_t n = std::min<int32_t>(ACount, fBufferSize - int32_t(d));
    std::memcpy(fBuffer.get() + d, source, size_t(n));
    fPosition += n;
    source += n;
    total = n;
    ACount -= n;
    MarkWritten();
  }
  if (ACount == 0) return total;

  Flush();
  ResetBuffer();
  if (ACount > fBufferSize) {
    if (!PlaceInner(fPosition)) return total;
    const int32_t n = std::max(fStream->Write(source, ACount), 0);
    fPosition = fStream->Position();
    return total + n;
  }
  // The window starts here and holds the inner bytes that this write does not cover.
  FillBuffer();
  std::memcpy(fBuffer.get(), source, size_t(ACount));
  fPosition += ACount;
  MarkWritten();
  return total + ACount;
}

int32_t TBufferedStream::Seek(int32_t AOffset, uint16_t AOrigin) {
  int64_t position;
  switch (AOrigin) {
  case soBeginning:
    position = AOffset;
    break;
  case soCurrent:
    position = fPosition + AOffset;
    break;
  case soEnd:
    position = fStream->Size() + AOffset;
    break;
  default:
    position = fPosition;
    break;
  }
  if (position < std::numeric_limits<int32_t>::min() ||
      position > std::numeric_limits<int32_t>::max())
    throw ERangeError("Stream offset out of range");
  fPosition = position;
  return int32_t(position);
}

void TBufferedStream::SetSize(int32_t ANewSize) {
  Flush();
  ResetBuffer();
  fStream->SetSize(int64_t(ANewSize));
  fPosition = fStream->Position();
}
