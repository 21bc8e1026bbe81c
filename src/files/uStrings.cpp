#include "files/uStrings.h"

#include "system/uExceptions.h"
#include "system/uWindows.h"

#include <limits>

namespace {

[[noreturn]] void RaiseConversion() {
  throw EStringError("Conversion failed.");
}

constexpr int32_t MaxInt = std::numeric_limits<int32_t>::max();

} // namespace

std::string AnsiBufToOem(const char* ASource, int32_t ALength) {
  std::string result;
  if (ALength <= 0) return result;
  result.resize(size_t(ALength));
  if (!win::CharToOemBuffA(ASource, result.data(), win::DWORD(ALength))) RaiseConversion();
  return result;
}

std::string AnsiToOem(const std::string& ASource) {
  if (ASource.empty()) return std::string();
  if (ASource.size() > size_t(MaxInt)) RaiseConversion();
  return AnsiBufToOem(ASource.data(), int32_t(ASource.size()));
}

std::u16string MultiByteBufToWide(uint32_t ACodePage, const char* ASource, int32_t ALength) {
  std::u16string result;
  if (ALength <= 0) return result;
  // Every code page this system meets makes at most two code units of a byte.
  const int32_t room = ALength > MaxInt / 2 ? MaxInt : ALength * 2;
  result.resize(size_t(room));
  const int n = win::MultiByteToWideChar(ACodePage, 0, ASource, ALength, result.data(), room);
  if (n <= 0) RaiseConversion();
  result.resize(size_t(n));
  return result;
}

std::u16string AnsiBufToWide(const char* ASource, int32_t ALength) {
  return MultiByteBufToWide(win::CP_ACP, ASource, ALength);
}

char16_t AnsiCharToWide(char AChar) {
  char16_t unit = 0;
  if (win::MultiByteToWideChar(win::CP_ACP, 0, &AChar, 1, &unit, 1) <= 0) RaiseConversion();
  return unit;
}

std::string WideBufToMultiByte(uint32_t ACodePage, const char16_t* ASource, int32_t ALength) {
  std::string result;
  if (ALength <= 0) return result;
  // UTF-8 takes at most three bytes per code unit (a surrogate pair takes four for two),
  // so one pass suffices; for other code pages the platform is asked for the size first.
  int32_t room;
  if (ACodePage == win::CP_UTF8 && ALength <= MaxInt / 3) {
    room = ALength * 3;
  } else {
    room = win::WideCharToMultiByte(ACodePage, 0, ASource, ALength, nullptr, 0, nullptr, nullptr);
    if (room <= 0) RaiseConversion();
  }
  result.resize(size_t(room));
  const int n = win::WideCharToMultiByte(ACodePage, 0, ASource, ALength, result.data(), room,
                                         nullptr, nullptr);
  if (n <= 0) RaiseConversion();
  result.resize(size_t(n));
  return result;
}

std::string WideBufToUtf8(const char16_t* ASource, int32_t ALength) {
  return WideBufToMultiByte(win::CP_UTF8, ASource, ALength);
}

std::string WideToUtf8(const std::u16string& ASource) {
  if (ASource.empty()) return std::string();
  if (ASource.size() > size_t(MaxInt)) RaiseConversion();
  return WideBufToUtf8(ASource.data(), int32_t(ASource.size()));
}

std::u16string EscapeControlCharacters(const std::u16string& AText) {
  static const char16_t Digits[] = u"0123456789ABCDEF";
  std::u16string result;
  result.reserve(AText.size());
  for (char16_t ch : AText) {
    if (ch == 0) {
      result += u"\\0";
    } else if (ch < 0x20 || (ch >= 0x7F && ch < 0xA0)) {
      result += u"\\x";
      result += Digits[ch >> 4];
      result += Digits[ch & 0xF];
    } else {
      result += ch;
    }
  }
  return result;
}
