#include "list/uSavedList.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "far/uFAR.h"
#include "files/uFiles.h"
#include "list/uListFormat.h"
#include "messages/uMessages.h"
#include "system/uSystem.h"
#include "system/uWindows.h"

namespace {

// Every byte of the stream from its start; false when fewer than its size can be read.
// The position stays where it was.
bool ReadAllBytes(TTextStream& AStream, std::string& ABytes) {
  const int64_t position = AStream.Position();
  const int64_t size = AStream.Size();
  if (size < 0 || size > INT32_MAX) return false; // beyond what one read can take
  ABytes.assign(size_t(size), '\0');
  AStream.SetPosition(0);
  const int32_t read = ABytes.empty() ? 0 : AStream.Read(ABytes.data(), int32_t(ABytes.size()));
  AStream.SetPosition(position);
  return size_t(read) == ABytes.size();
}

// UTF-16 text is whole code units, and each ASCII character in it (every quote, blank and
// line end of the list) is a unit with a zero high byte: the second byte of the unit when
// little-endian, the first when big-endian. The low byte is zero only in the rare
// characters U+xx00. A line end counts only as a whole unit at an even offset: names in
// many scripts hold the byte 0x0A on its own (U+0A15, U+4E0A). A UTF-8 or ANSI list holds
// no zero byte but where a name holds U+0000, which is rarer than lines, and no line end
// beside a zero byte.
bool LooksLikeUtf16(const std::string& ABytes, bool ABigEndian) {
  if (ABytes.size() % 2 != 0) return false;
  const size_t high = ABigEndian ? 0 : 1;
  size_t zeros = 0, others = 0, lineEnds = 0, lineFeedBytes = 0;
  for (size_t i = 0; i < ABytes.size(); i += 2) {
    const char highByte = ABytes[i + high], lowByte = ABytes[i + 1 - high];
    if (highByte == 0) ++zeros;
    if (lowByte == 0) ++others;
    if (highByte == 0 && lowByte == '\n') ++lineEnds;
    lineFeedBytes += (highByte == '\n') + (lowByte == '\n');
  }
  // Without a line end in this order it may still be UTF-16 (one line, kept short by
  // the user); then its ASCII outweighs every byte that reads as a line end in UTF-8.
  return zeros > 4 * others && zeros > 2 * lineEnds && (lineEnds > 0 || zeros > 2 * lineFeedBytes);
}

// The list goes to the editor as UTF-8 with its byte-order mark. Saved without a mark, its
// bytes decide what the sample that encoding detection looks at cannot: UTF-16 of any
// length, and UTF-8 longer than the sample, which detection would take for ANSI so that
// every name outside ASCII came out wrong.
void SettleListEncoding(TTextStream& AStream, const std::string& ABytes) {
  if (AStream.Position() != 0) return; // a byte-order mark settled it
  // At most one order passes: the zero bytes of one are the other's rare ones.
  const bool littleEndian = LooksLikeUtf16(ABytes, false);
  if (littleEndian || LooksLikeUtf16(ABytes, true)) {
    AStream.SetEncoding(feUTF16); // on a stream with data this writes no mark
    AStream.SetBigEndian(!littleEndian);
  } else if (AStream.Encoding() == feANSI && !ABytes.empty() &&
             win::MultiByteToWideChar(win::CP_UTF8, win::MB_ERR_INVALID_CHARS, ABytes.data(),
                                      int(ABytes.size()), nullptr, 0) != 0) {
    AStream.SetEncoding(feUTF8);
  }
}

} // namespace

std::u16string TListLine::Shown() const {
  return Named() ? u"\"" + Source + u"\" \"" + Destination + u"\"" : Text;
}

void TSavedList::Add(std::u16string_view ALine) {
  TLineKind kind = lkOther;
  std::u16string_view parts[2] = {ALine, {}};
  int32_t sourceStart, sourceLength, destStart, destLength;
  if (ALine.find_first_not_of(u" \t") == std::u16string_view::npos) {
    kind = lkBlank;
  } else if (ParseListLine(ALine, sourceStart, sourceLength, destStart, destLength)) {
    kind = lkEntry;
    parts[0] = ALine.substr(size_t(sourceStart - 1), size_t(sourceLength));
    parts[1] = ALine.substr(size_t(destStart - 1), size_t(destLength));
  }
  bool wide = false;
  for (std::u16string_view part : parts)
    for (size_t i = 0; i < part.size() && !wide; ++i)
      wide = part[i] > 0xFF;
  const size_t units = parts[0].size() + parts[1].size();
  size_t at = fBytes.size();
  fBytes.resize(at + 1 + (kind == lkEntry ? 4 : 0) + units * (wide ? 2 : 1));
  fBytes[at++] = char(kind | (wide ? 0x80 : 0));
  if (kind == lkEntry) {
    const uint32_t length = uint32_t(parts[0].size());
    for (int shift = 0; shift < 32; shift += 8)
      fBytes[at++] = char(length >> shift);
  }
  for (std::u16string_view part : parts)
    for (char16_t unit : part) {
      fBytes[at++] = char(unit);
      if (wide) fBytes[at++] = char(unit >> 8);
    }
  fEnds.push_back(uint32_t(fBytes.size()));
}

void TSavedList::Get(size_t AIndex, TListLine& ALine) const {
  size_t at = Start(AIndex);
  const size_t end = fEnds[AIndex];
  const uint8_t mark = uint8_t(fBytes[at++]);
  const bool wide = (mark & 0x80) != 0;
  ALine.Kind = TLineKind(mark & 0x7F);
  ALine.Source.clear();
  ALine.Destination.clear();
  ALine.Text.clear();
  size_t sourceUnits = 0;
  if (ALine.Named()) {
    for (int shift = 0; shift < 32; shift += 8)
      sourceUnits |= size_t(uint8_t(fBytes[at++])) << shift;
  }
  std::u16string& first = ALine.Named() ? ALine.Source : ALine.Text;
  const size_t step = wide ? 2 : 1;
  const size_t split = ALine.Named() ? at + sourceUnits * step : end;
  for (; at < end; at += step) {
    char16_t unit = static_cast<unsigned char>(fBytes[at]);
    if (wide) unit |= char16_t(static_cast<unsigned char>(fBytes[at + 1]) << 8);
    (at < split ? first : ALine.Destination) += unit;
  }
}

void TSavedList::Skip(size_t AIndex) {
  char& mark = fBytes[Start(AIndex)];
  if ((mark & 0x7F) == lkEntry) mark = char((mark & 0x80) | lkSkipped);
}

void TSavedList::Clear() {
  std::string().swap(fBytes);
  std::vector<uint32_t>().swap(fEnds);
}

void TSavedList::Reserve(size_t ABytes) {
  fBytes.reserve(ABytes);
}

namespace {

void AddLines(TTextStream& AStream, TSavedList& ALines) {
  std::u16string line;
  while (AStream.ReadLine(line))
    ALines.Add(line);
}

} // namespace

bool LoadSavedList(TTextStream& AStream, TSavedList& ALines) {
  ALines.Clear();
  try {
    const int64_t size = AStream.Size();
    if (size < 0 || size > INT32_MAX) return false; // beyond what the lines can count
    // The lines mostly take no more bytes than the file: room for them is taken at once.
    ALines.Reserve(size_t(size));
    // A byte-order mark settled the encoding: one pass reads the lines.
    if (AStream.Position() != 0) {
      ALines.SetCodePage(AStream.CodePage());
      AddLines(AStream, ALines);
      return true;
    }
    // Without one, all of its bytes decide, and the lines are decoded from those.
    std::string bytes;
    if (ReadAllBytes(AStream, bytes)) {
      auto* memory = new TBytesStream(std::move(bytes));
      TTextStream text(memory);
      SettleListEncoding(text, memory->Bytes());
      ALines.SetCodePage(text.CodePage());
      AddLines(text, ALines);
      return true;
    }
  } catch (...) {
    // Not read (too large to hold, say): as good as gone.
  }
  ALines.Clear();
  return false;
}

bool LoadSavedList(const std::u16string& AFileName, TSavedList& ALines) {
  ALines.Clear();
  try {
    if (!AFileName.empty() && FileExists(AFileName)) {
      TTextStream stream(AFileName, fmOpenRead | fmShareDenyNone);
      return LoadSavedList(stream, ALines);
    }
  } catch (...) {
    // Not opened: as good as gone.
  }
  return false;
}

bool ReadSavedList(const std::u16string& AFileName, TSavedList& ALines) {
  if (LoadSavedList(AFileName, ALines)) return true;
  // Nothing has been renamed yet.
  ShowMessageIds({MTitle, MListUnreadable, MOk}, 1, FMSG_WARNING);
  return false;
}
