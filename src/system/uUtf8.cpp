#include "system/uUtf8.h"

size_t DecodeUtf8(const uint8_t* ASource, size_t AIndex, size_t ALength, uint32_t& ACode,
                  bool& AValid) {
  const uint8_t b = ASource[AIndex];
  AValid = false;
  if (b < 0x80) {
    ACode = b;
    AValid = true;
    return 1;
  }
  size_t need;
  if (b >= 0xC2 && b <= 0xDF) {
    need = 1, ACode = b & 0x1F;
  } else if (b >= 0xE0 && b <= 0xEF) {
    need = 2, ACode = b & 0x0F;
  } else if (b >= 0xF0 && b <= 0xF4) {
    need = 3, ACode = b & 0x07;
  } else {
    return 1; // stray continuation byte, C0, C1, F5 to FF
  }
  // Input that ends early ends the ill-formed part where it ends; a byte present that is
  // no continuation byte ends it as well and starts the next character.
  size_t taken = 1;
  auto next = [&](uint32_t& AValue) {
    if (AIndex + taken >= ALength) return false;
    const uint32_t c = ASource[AIndex + taken] ^ 0x80u;
    if (c >= 0x40) return false;
    AValue = (ACode << 6) | c;
    return true;
  };
  uint32_t v;
  if (need == 3) {
    if (!next(v)) return taken;
    ACode = v, ++taken;
    if (ACode < 0x10) return taken; // overlong
  }
  if (need >= 2) {
    if (!next(v)) return taken;
    if (v >= (0x110000 >> 6)) return taken; // above U+10FFFF
    ACode = v, ++taken;
    if (ACode < 0x20) return taken;                                     // overlong
    if (ACode >= (0xD800 >> 6) && ACode <= (0xDFFF >> 6)) return taken; // surrogate
  }
  if (!next(v)) return taken;
  ACode = v, ++taken;
  if (ACode < 0x80) return taken; // overlong
  AValid = true;
  return taken;
}

size_t EncodeUtf8(uint32_t ACode, char* AOut) {
  if (ACode < 0x80) {
    AOut[0] = char(ACode);
    return 1;
  }
  if (ACode < 0x800) {
    AOut[0] = char(0xC0 | (ACode >> 6));
    AOut[1] = char(0x80 | (ACode & 0x3F));
    return 2;
  }
  if (ACode < 0x10000) {
    AOut[0] = char(0xE0 | (ACode >> 12));
    AOut[1] = char(0x80 | ((ACode >> 6) & 0x3F));
    AOut[2] = char(0x80 | (ACode & 0x3F));
    return 3;
  }
  AOut[0] = char(0xF0 | (ACode >> 18));
  AOut[1] = char(0x80 | ((ACode >> 12) & 0x3F));
  AOut[2] = char(0x80 | ((ACode >> 6) & 0x3F));
  AOut[3] = char(0x80 | (ACode & 0x3F));
  return 4;
}

void AppendUtf8(std::string& AOut, uint32_t ACode) {
  char bytes[4];
  AOut.append(bytes, EncodeUtf8(ACode, bytes));
}

std::u16string Utf8ToUtf16(std::string_view AText, bool* AValid) {
  std::u16string out;
  out.reserve(AText.size());
  bool allValid = true;
  const auto* bytes = reinterpret_cast<const uint8_t*>(AText.data());
  for (size_t i = 0; i < AText.size();) {
    uint32_t code;
    bool valid;
    i += DecodeUtf8(bytes, i, AText.size(), code, valid);
    if (!valid) {
      allValid = false;
      out += char16_t(0xFFFD);
    } else if (code >= 0x10000) {
      out += char16_t(0xD800 + ((code - 0x10000) >> 10));
      out += char16_t(0xDC00 + ((code - 0x10000) & 0x3FF));
    } else {
      out += char16_t(code);
    }
  }
  if (AValid) *AValid = allValid;
  return out;
}

std::string Utf16ToUtf8(std::u16string_view AText, TLoneSurrogate ALone) {
  std::string out;
  out.reserve(AText.size());
  for (size_t i = 0; i < AText.size(); ++i) {
    uint32_t c = AText[i];
    if (c >= 0xD800 && c < 0xE000) {
      if (c < 0xDC00 && i + 1 < AText.size() && AText[i + 1] >= 0xDC00 && AText[i + 1] < 0xE000) {
        c = 0x10000 + ((c - 0xD800) << 10) + (AText[i + 1] - 0xDC00);
        ++i;
      } else if (ALone == TLoneSurrogate::Replaced) {
        c = 0xFFFD;
      }
    }
    AppendUtf8(out, c);
  }
  return out;
}
