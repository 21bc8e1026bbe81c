// POSIX stand-in: version records. A module built for POSIX carries its record as a
// VS_FIXEDFILEINFO in the ELF section VersionRecordSection; the record handed out is
// that section's bytes, and its root block is the fixed file information itself.
#include "system/uWindowsPosix.h"

#include <cstring>
#include <elf.h>
#include <fstream>
#include <string>

namespace win::real {

using namespace standin;

namespace {

constexpr DWORD FixedFileInfoSignature = 0xFEEF04BD;

bool ReadAt(std::ifstream& AFile, uint64_t AOffset, void* ABuffer, size_t ASize) {
  AFile.seekg(std::streamoff(AOffset));
  return AFile.read(static_cast<char*>(ABuffer), std::streamsize(ASize)).good();
}

// The bytes of the named section of an ELF file of either class; false when the file is
// no ELF file or has no such section.
template <typename THeader, typename TSection>
bool FindSection(std::ifstream& AFile, const char* AName, std::string& AContent) {
  THeader header;
  if (!ReadAt(AFile, 0, &header, sizeof(header)) || header.e_shentsize != sizeof(TSection) ||
      header.e_shstrndx >= header.e_shnum)
    return false;
  auto section = [&](size_t AIndex, TSection& ASection) {
    return ReadAt(AFile, header.e_shoff + AIndex * sizeof(TSection), &ASection, sizeof(ASection));
  };
  TSection names;
  if (!section(header.e_shstrndx, names) || names.sh_size > (1u << 20)) return false;
  std::string table(names.sh_size, '\0');
  if (!ReadAt(AFile, names.sh_offset, table.data(), table.size())) return false;
  for (size_t i = 0; i < header.e_shnum; ++i) {
    TSection candidate;
    if (!section(i, candidate) || candidate.sh_name >= table.size()) continue;
    if (std::strcmp(table.c_str() + candidate.sh_name, AName) != 0) continue;
    if (candidate.sh_type == SHT_NOBITS || candidate.sh_size > (1u << 16)) return false;
    AContent.assign(candidate.sh_size, '\0');
    return ReadAt(AFile, candidate.sh_offset, AContent.data(), AContent.size());
  }
  return false;
}

// The record of a module file: ERROR_RESOURCE_TYPE_NOT_FOUND when it has none.
bool ReadRecord(const char16_t* AFileName, std::string& ARecord) {
  std::string path;
  if (!ToPath(AFileName, path)) return false;
  struct stat st;
  if (stat(path.c_str(), &st) != 0) return FailErrno(path);
  std::ifstream file(path, std::ios::binary);
  unsigned char ident[EI_NIDENT] = {};
  const bool found =
      file && ReadAt(file, 0, ident, sizeof(ident)) && std::memcmp(ident, ELFMAG, SELFMAG) == 0 &&
      (ident[EI_CLASS] == ELFCLASS64
           ? FindSection<Elf64_Ehdr, Elf64_Shdr>(file, VersionRecordSection, ARecord)
           : FindSection<Elf32_Ehdr, Elf32_Shdr>(file, VersionRecordSection, ARecord));
  if (!found || ARecord.size() < sizeof(VS_FIXEDFILEINFO))
    return Fail(ERROR_RESOURCE_TYPE_NOT_FOUND, false);
  return true;
}

} // namespace

DWORD GetFileVersionInfoSizeW(const char16_t* AFileName, DWORD* AHandle) {
  if (AHandle) *AHandle = 0;
  std::string record;
  return ReadRecord(AFileName, record) ? DWORD(record.size()) : 0;
}

BOOL GetFileVersionInfoW(const char16_t* AFileName, DWORD, DWORD ALength, void* AData) {
  std::string record;
  if (!ReadRecord(AFileName, record)) return 0;
  if (!AData || ALength < record.size()) return Fail(ERROR_INSUFFICIENT_BUFFER, 0);
  std::memcpy(AData, record.data(), record.size());
  return 1;
}

BOOL VerQueryValueW(const void* ABlock, const char16_t* ASubBlock, void** ABuffer, UINT* ALength) {
  if (ABuffer) *ABuffer = nullptr;
  if (ALength) *ALength = 0;
  const auto* info = static_cast<const VS_FIXEDFILEINFO*>(ABlock);
  const bool root = ASubBlock && ASubBlock[0] == u'\\' && ASubBlock[1] == 0;
  if (!info || !root || info->dwSignature != FixedFileInfoSignature || !ABuffer || !ALength)
    return Fail(ERROR_RESOURCE_TYPE_NOT_FOUND, 0);
  *ABuffer = const_cast<VS_FIXEDFILEINFO*>(info);
  *ALength = sizeof(VS_FIXEDFILEINFO);
  return 1;
}

} // namespace win::real
