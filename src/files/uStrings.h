// Conversions between UTF-16 and the byte encodings of text files: the system's ANSI
// and OEM code pages and UTF-8. Byte strings are std::string. A conversion that the
// platform refuses raises EStringError("Conversion failed."); a length of 0 or less
// gives an empty result without asking the platform.
#pragma once

#include <cstdint>
#include <string>

std::string AnsiBufToOem(const char* ASource, int32_t ALength);
std::string AnsiToOem(const std::string& ASource);
std::u16string MultiByteBufToWide(uint32_t ACodePage, const char* ASource, int32_t ALength);
std::u16string AnsiBufToWide(const char* ASource, int32_t ALength);
char16_t AnsiCharToWide(char AChar);
std::string WideBufToMultiByte(uint32_t ACodePage, const char16_t* ASource, int32_t ALength);
std::string WideBufToUtf8(const char16_t* ASource, int32_t ALength);
std::string WideToUtf8(const std::u16string& ASource);

// AText with every control character (C0, DEL and C1) written as \xHH, U+0000 as \0, so
// that a name shown to the user can neither break a line, nor end its text early, nor
// drive a terminal. Boxes, the list's header and the terminal host all show names so.
std::u16string EscapeControlCharacters(const std::u16string& AText);

// The same with the result in an out argument, which is replaced in every case.
inline void AnsiBufToOem(const char* ASource, int32_t ALength, std::string& AResult) {
  AResult = AnsiBufToOem(ASource, ALength);
}
inline void AnsiToOem(const std::string& ASource, std::string& AResult) {
  AResult = AnsiToOem(ASource);
}
inline void MultiByteBufToWide(uint32_t ACodePage, const char* ASource, int32_t ALength,
                               std::u16string& AResult) {
  AResult = MultiByteBufToWide(ACodePage, ASource, ALength);
}
inline void AnsiBufToWide(const char* ASource, int32_t ALength, std::u16string& AResult) {
  AResult = AnsiBufToWide(ASource, ALength);
}
inline void WideBufToMultiByte(uint32_t ACodePage, const char16_t* ASource, int32_t ALength,
                               std::string& AResult) {
  AResult = WideBufToMultiByte(ACodePage, ASource, ALength);
}
inline void WideBufToUtf8(const char16_t* ASource, int32_t ALength, std::string& AResult) {
  AResult = WideBufToUtf8(ASource, ALength);
}
inline void WideToUtf8(const std::u16string& ASource, std::string& AResult) {
  AResult = WideToUtf8(ASource);
}
