// UTF-8, the one codec of the system: file names of the POSIX stand-in, its
// MultiByteToWideChar and WideCharToMultiByte, the host's text and the language files
// all go through it.
//
// Ill-formed input (overlong forms, encoded surrogates, values above U+10FFFF, sequences
// cut short, stray continuation bytes) is read as Windows reads it: the lead byte and the
// continuation bytes up to the one that shows the fault are one ill-formed part, which a
// lenient reader replaces by one U+FFFD.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

// Decodes one sequence starting at ASource[AIndex] (AIndex < ALength). Returns the number
// of bytes taken; AValid tells whether they formed a character (then in ACode).
size_t DecodeUtf8(const uint8_t* ASource, size_t AIndex, size_t ALength, uint32_t& ACode,
                  bool& AValid);

// Writes the UTF-8 form of ACode (at most U+10FFFF; a surrogate value gets the
// three-byte form of that value) to AOut, which has room for 4 bytes; answers its length.
size_t EncodeUtf8(uint32_t ACode, char* AOut);
void AppendUtf8(std::string& AOut, uint32_t ACode);

// AText in UTF-16, each ill-formed part as one U+FFFD; AValid (when given) tells whether
// there was none.
std::u16string Utf8ToUtf16(std::string_view AText, bool* AValid = nullptr);

// What becomes of a surrogate without its partner.
enum class TLoneSurrogate {
  Replaced, // U+FFFD, as WideCharToMultiByte writes it
  Kept,     // the three-byte form of its value: two names that differ only there stay two
};
std::string Utf16ToUtf8(std::u16string_view AText, TLoneSurrogate ALone = TLoneSurrogate::Replaced);
