// Line-oriented text in a file or an open file handle, in ANSI, OEM, UTF-16 or UTF-8.
// Opening existing data settles the encoding from a byte-order mark or from the content;
// the first write to an empty stream writes the mark of the default encoding.
#pragma once

#include "files/uBufferedStream.h"

#include <cstdint>
#include <string>

enum TFileEncoding : uint8_t { feAuto, feANSI, feOEM, feUTF16, feUTF8 };

class TTextStream : public TBufferedStream {
public:
  // Wraps an open handle, which stays the caller's: the text stream does not close it.
  explicit TTextStream(uintptr_t AHandle);
  // Reads and writes AStream, which it owns: the lines of bytes already in memory, say.
  explicit TTextStream(TStream* AStream);
  // Opens the file with an open mode of uStreams.h; raises EFOpenError when it cannot.
  TTextStream(const std::u16string& AFileName, uint16_t AMode);

  // Appends one line to a file, creating the file when it is missing. Encoding, unless
  // feAuto, is the encoding of a file that is created or empty; a file with content keeps
  // its own.
  static void AppendLine(const std::u16string& AFileName, const std::u16string& AMsg,
                         TFileEncoding AEncoding);

  bool Eof() { return Size() <= Position(); }
  // One UTF-16 code unit. A character above U+FFFF comes as a surrogate pair over two
  // calls, the high unit first.
  bool ReadChar(char16_t& ACh);
  // One line without its terminator (CR LF, LF or CR); false at the end.
  bool ReadLine(std::u16string& ALine);
  void WriteStr(const std::u16string& S);
  void WriteLine(const std::u16string& S);

  TFileEncoding Encoding() const { return fEncoding; }
  // Writes the mark of the encoding at position 0 of a stream that holds no data yet.
  void SetEncoding(TFileEncoding AValue);
  // The Windows code page of the encoding, as an editor is told it: 65001, 1200 or 1201
  // (UTF-16 by its byte order), the system's ANSI or OEM code page; before anything
  // settled it, that of the default encoding.
  uint32_t CodePage() const;
  TFileEncoding DefaultEncoding() const { return fDefaultEncoding; }
  void SetDefaultEncoding(TFileEncoding AValue) { fDefaultEncoding = AValue; }
  const std::u16string& LineSeparator() const { return fLineSeparator; }
  void SetLineSeparator(const std::u16string& AValue) { fLineSeparator = AValue; }
  bool BigEndian() const { return fBigEndian; }
  // The byte order of feUTF16, for data whose order the caller knows better than
  // detection did (UTF-16 without its mark).
  void SetBigEndian(bool AValue) { fBigEndian = AValue; }

  using TBufferedStream::Seek;
  int32_t Seek(int32_t AOffset, uint16_t AOrigin) override;

protected:
  void Initialize() override;

private:
  void DetectEncoding();
  bool ReadUtf8(char16_t& ACh);

  TFileEncoding fDefaultEncoding = feUTF8;
  TFileEncoding fEncoding = feAuto;
  bool fBigEndian = false;
  std::u16string fLineSeparator = u"\r\n";
  // The low surrogate still owed for a character above U+FFFF, valid while the
  // position stays just behind the bytes of that character.
  char16_t fPendingUnit = 0;
  int64_t fPendingPosition = -1;
};
