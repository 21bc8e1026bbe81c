#include "files/uTextStream.h"

#include "files/uStrings.h"
#include "system/uExceptions.h"
#include "system/uWindows.h"

#include <algorithm>
#include <vector>

namespace {

constexpr int32_t SampleSize = 16384;
constexpr char16_t CR = u'\r';
constexpr char16_t LF = u'\n';

} // namespace

TTextStream::TTextStream(uintptr_t AHandle)
    : TBufferedStream(new THandleStream(reinterpret_cast<win::HANDLE>(AHandle)), true) {
  Initialize();
}

TTextStream::TTextStream(TStream* AStream) : TBufferedStream(AStream, true) {
  Initialize();
}

TTextStream::TTextStream(const std::u16string& AFileName, uint16_t AMode)
    : TBufferedStream(new TFileStream(AFileName, AMode), true) {
  Initialize();
}

void TTextStream::Initialize() {
  fDefaultEncoding = feUTF8;
  fEncoding = feAuto;
  fBigEndian = false;
  fLineSeparator = u"\r\n";
  if (Size() != 0) DetectEncoding();
}

int32_t TTextStream::Seek(int32_t AOffset, uint16_t AOrigin) {
  const int32_t result = TBufferedStream::Seek(AOffset, AOrigin);
  // A move forgets the low surrogate still owed; asking for the position does not.
  const bool query = (AOrigin == soCurrent && AOffset == 0) || AOrigin > soEnd;
  if (!query) fPendingPosition = -1;
  return result;
}

void TTextStream::DetectEncoding() {
  fEncoding = feANSI;
  fBigEndian = false;
  const int64_t start = Position();
  try {
    const int64_t size = Size();
    if (size <= 1) {
      SetPosition(start);
      return;
    }
    uint8_t mark[3];
    if (size % 2 == 0) {
      SetPosition(0);
      if (Read(mark, 2) == 2 &&
          ((mark[0] == 0xFF && mark[1] == 0xFE) || (mark[0] == 0xFE && mark[1] == 0xFF))) {
        fEncoding = feUTF16;
        fBigEndian = mark[0] == 0xFE;
        return;
      }
    }
    if (size >= 3) {
      SetPosition(0);
      if (Read(mark, 3) == 3 && mark[0] == 0xEF && mark[1] == 0xBB && mark[2] == 0xBF) {
        fEncoding = feUTF8;
        return;
      }
    }
    std::vector<uint8_t> sample(size_t(std::min<int64_t>(size, SampleSize)));
    SetPosition(0);
    const int32_t m = Read(sample.data(), int32_t(sample.size()));

    if (size <= SampleSize) {
      // A multi-byte character cut off by the end of the sample must not spoil the test.
      int32_t length = m;
      while (length > 0 && sample[size_t(length - 1)] >= 0x80)
        --length;
      if (length > 0 && win::MultiByteToWideChar(win::CP_UTF8, win::MB_ERR_INVALID_CHARS,
                                                 reinterpret_cast<const char*>(sample.data()),
                                                 length, nullptr, 0) != 0) {
        fEncoding = feUTF8;
        SetPosition(start);
        return;
      }
    }
    int64_t odd = 0, even = 0;
    for (int32_t i = 0; i < m; ++i)
      if (sample[size_t(i)] == 0) ++((i & 1) ? odd : even);
    if (odd > 30 && odd > 100 * even) {
      fEncoding = feUTF16;
    } else if (even > 30 && 100 * odd < even) {
      fEncoding = feUTF16;
      fBigEndian = true;
    }
    SetPosition(start);
  } catch (...) {
    SetPosition(start);
    throw;
  }
}

uint32_t TTextStream::CodePage() const {
  switch (fEncoding == feAuto ? fDefaultEncoding : fEncoding) {
  case feUTF16:
    return fBigEndian ? 1201 : 1200;
  case feANSI:
    return win::GetACP();
  case feOEM:
    return win::GetOEMCP();
  default:
    return win::CP_UTF8;
  }
}

bool TTextStream::ReadUtf8(char16_t& ACh) {
  uint8_t lead;
  if (!ReadByte(lead)) return false;
  uint32_t value;
  int count;
  if (lead < 0x80) {
    ACh = lead;
    return true;
  } else if (lead >= 0xC0 && lead <= 0xDF) {
    value = lead & 0x1F, count = 1;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    value = lead & 0x0F, count = 2;
  } else if (lead >= 0xF0 && lead <= 0xF7) {
    value = lead & 0x07, count = 3;
  } else if (lead >= 0xF8 && lead <= 0xFB) {
    value = lead & 0x03, count = 4;
  } else if (lead >= 0xFC && lead <= 0xFD) {
    value = lead & 0x01, count = 5;
  } else {
    // A stray continuation byte, FE or FF stands for the character of the same number.
    ACh = lead;
    return true;
  }
  // Continuation bytes are taken while they come; any other byte is given back, and the
  // end of the data ends the sequence with what was gathered.
  for (int i = 0; i < count; ++i) {
    uint8_t next;
    if (!ReadByte(next)) break;
    if ((next & 0xC0) != 0x80) {
      --fPosition;
      break;
    }
    value = (value << 6) | (next & 0x3F);
  }
  if (value > 0x10FFFF) {
    ACh = 0xFFFD;
  } else if (value >= 0x10000) {
    ACh = char16_t(0xD800 + ((value - 0x10000) >> 10));
    fPendingUnit = char16_t(0xDC00 + ((value - 0x10000) & 0x3FF));
    fPendingPosition = fPosition;
  } else {
    ACh = char16_t(value);
  }
  return true;
}

bool TTextStream::ReadChar(char16_t& ACh) {
  if (fPendingPosition >= 0) {
    const bool here = fPendingPosition == fPosition;
    fPendingPosition = -1;
    if (here) {
      ACh = fPendingUnit;
      return true;
    }
  }
  if (fPosition == 0 && fEncoding == feAuto) DetectEncoding();
  uint8_t b0, b1;
  switch (fEncoding) {
  case feUTF8:
    return ReadUtf8(ACh);
  case feUTF16:
    if (!ReadByte(b0) || !ReadByte(b1)) return false;
    ACh = fBigEndian ? char16_t((b0 << 8) | b1) : char16_t(b0 | (b1 << 8));
    return true;
  case feOEM:
    // An OEM file is decoded through the OEM code page, so that it reads back as written.
    if (!ReadByte(b0)) return false;
    ACh = MultiByteBufToWide(win::CP_OEMCP, reinterpret_cast<const char*>(&b0), 1)[0];
    return true;
  default:
    if (!ReadByte(b0)) return false;
    ACh = AnsiCharToWide(char(b0));
    return true;
  }
}

bool TTextStream::ReadLine(std::u16string& ALine) {
  ALine.clear();
  // A byte in a clean window is data without asking the file for its size.
  const int64_t d = fPosition - fBufferPosition;
  const bool inWindow = !fBufferDirty && d >= 0 && d < fBufferFill;
  if (!inWindow && Eof()) return false;
  const int64_t start = fPosition;
  bool readAny = false;
  char16_t ch;
  for (;;) {
    // UTF-8 bytes below 0x80 in the window are characters of their own: take them
    // without going through ReadChar one at a time.
    if (fEncoding == feUTF8 && fPendingPosition < 0) {
      int64_t at = fPosition - fBufferPosition;
      const int64_t start = at;
      while (at >= 0 && at < fBufferFill) {
        const uint8_t b = fBuffer[size_t(at)];
        if (b >= 0x80 || b == '\r' || b == '\n') break;
        ALine += char16_t(b);
        ++at;
      }
      if (at != start) {
        fPosition += at - start;
        readAny = true;
      }
    }
    if (!ReadChar(ch)) break;
    readAny = true;
    if (ch == CR) {
      const int64_t back = fPosition;
      char16_t next;
      if (ReadChar(next) && next != LF) Seek(back, soBeginning);
      break;
    }
    if (ch == LF) break;
    ALine += ch;
  }
  // Nothing readable although the size says otherwise (a failed read): stop, or a
  // caller reading to the end would get empty lines for ever.
  return readAny || fPosition != start;
}

void TTextStream::SetEncoding(TFileEncoding AValue) {
  // The mark goes only to a stream without data, so that no stored byte is overwritten.
  if (fPosition == 0 && !HoldsData()) {
    if (AValue == feUTF16) {
      static const uint8_t mark[] = {0xFF, 0xFE};
      WriteBuffer(mark, 2);
      fBigEndian = false;
    } else if (AValue == feUTF8) {
      static const uint8_t mark[] = {0xEF, 0xBB, 0xBF};
      WriteBuffer(mark, 3);
    }
  }
  fEncoding = AValue;
}

void TTextStream::WriteStr(const std::u16string& S) {
  if (S.empty()) return;
  if (fEncoding == feAuto) SetEncoding(fDefaultEncoding);
  std::string bytes;
  switch (fEncoding) {
  case feAuto:
  case feUTF8:
    bytes = WideToUtf8(S);
    break;
  case feANSI:
    bytes = WideBufToMultiByte(win::CP_ACP, S.data(), int32_t(S.size()));
    break;
  case feOEM:
    bytes = AnsiToOem(WideBufToMultiByte(win::CP_ACP, S.data(), int32_t(S.size())));
    break;
  case feUTF16:
    // In the order of the stream's mark: a file detected as big-endian stays so.
    bytes.resize(S.size() * 2);
    for (size_t i = 0; i < S.size(); ++i) {
      const char lo = char(S[i] & 0xFF), hi = char(S[i] >> 8);
      bytes[2 * i] = fBigEndian ? hi : lo;
      bytes[2 * i + 1] = fBigEndian ? lo : hi;
    }
    break;
  default:
    throw EWriteError("Invalid encoding");
  }
  WriteBuffer(bytes.data(), int32_t(bytes.size()));
}

void TTextStream::WriteLine(const std::u16string& S) {
  WriteStr(S);
  WriteStr(fLineSeparator);
}

void TTextStream::AppendLine(const std::u16string& AFileName, const std::u16string& AMsg,
                             TFileEncoding AEncoding) {
  // Only a file that is certainly missing is created; any other refusal to look at it
  // leaves it to the open below to fail, so that an existing file is never emptied.
  bool exists = true;
  win::HANDLE probe = win::CreateFileW(
      AFileName.c_str(), 0, win::FILE_SHARE_READ | win::FILE_SHARE_WRITE | win::FILE_SHARE_DELETE,
      nullptr, win::OPEN_EXISTING, win::FILE_ATTRIBUTE_NORMAL, nullptr);
  if (probe != win::InvalidHandleValue())
    win::CloseHandle(probe);
  else if (win::GetLastError() == win::ERROR_FILE_NOT_FOUND)
    exists = false;

  TTextStream stream(AFileName, exists ? uint16_t(fmOpenReadWrite | fmShareDenyWrite) : fmCreate);
  if (AEncoding != feAuto) stream.SetDefaultEncoding(AEncoding);
  stream.SetPosition(stream.Size());
  stream.WriteLine(AMsg);
  stream.Flush(); // here, where a refused write can still raise
}
