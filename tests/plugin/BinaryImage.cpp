#include "BinaryImage.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

namespace {

template <typename T> T Get(const std::string& ABytes, size_t AOffset) {
  T value{};
  if (AOffset + sizeof(T) <= ABytes.size()) std::memcpy(&value, ABytes.data() + AOffset, sizeof(T));
  return value;
}

std::string CString(const std::string& ABytes, size_t AOffset) {
  if (AOffset >= ABytes.size()) return {};
  const size_t end = ABytes.find('\0', AOffset);
  return ABytes.substr(AOffset, end == std::string::npos ? std::string::npos : end - AOffset);
}

} // namespace

TBinaryImage ReadPeImage(const std::string& ABytes) {
  TBinaryImage image;
  if (ABytes.size() < 0x40 || ABytes.compare(0, 2, "MZ") != 0) return image;
  const size_t pe = Get<uint32_t>(ABytes, 0x3C);
  if (ABytes.compare(pe, 4, std::string("PE\0\0", 4)) != 0) return image;
  const size_t coff = pe + 4;
  const uint16_t sections = Get<uint16_t>(ABytes, coff + 2);
  const uint16_t optionalSize = Get<uint16_t>(ABytes, coff + 16);
  const size_t optional = coff + 20;
  const uint16_t magic = Get<uint16_t>(ABytes, optional);
  const size_t directories = optional + (magic == 0x20B ? 112 : 96);
  const size_t sectionTable = optional + optionalSize;

  auto fileOffset = [&](uint32_t ARva) -> size_t {
    for (uint16_t i = 0; i < sections; ++i) {
      const size_t s = sectionTable + i * 40u;
      const uint32_t virtualSize = Get<uint32_t>(ABytes, s + 8);
      const uint32_t virtualAddress = Get<uint32_t>(ABytes, s + 12);
      const uint32_t rawSize = Get<uint32_t>(ABytes, s + 16);
      const uint32_t rawPointer = Get<uint32_t>(ABytes, s + 20);
      if (ARva >= virtualAddress && ARva < virtualAddress + std::max(virtualSize, rawSize))
        return ARva - virtualAddress + rawPointer;
    }
    return ABytes.size();
  };

  const uint32_t exportRva = Get<uint32_t>(ABytes, directories);
  if (exportRva != 0) {
    const size_t dir = fileOffset(exportRva);
    const uint32_t names = Get<uint32_t>(ABytes, dir + 24);
    const size_t nameTable = fileOffset(Get<uint32_t>(ABytes, dir + 32));
    for (uint32_t i = 0; i < names; ++i)
      image.Exports.push_back(
          CString(ABytes, fileOffset(Get<uint32_t>(ABytes, nameTable + 4 * i))));
  }
  const uint32_t importRva = Get<uint32_t>(ABytes, directories + 8);
  if (importRva != 0) {
    for (size_t d = fileOffset(importRva);; d += 20) {
      const uint32_t name = Get<uint32_t>(ABytes, d + 12);
      if (name == 0) break;
      image.Imports.push_back(CString(ABytes, fileOffset(name)));
    }
  }
  std::sort(image.Exports.begin(), image.Exports.end());
  image.Valid = true;
  return image;
}

TBinaryImage ReadElfImage(const std::string& ABytes) {
  // 64-bit little-endian ELF only: the native build.
  TBinaryImage image;
  if (ABytes.size() < 64 ||
      ABytes.compare(0, 4,
                     "\x7F"
                     "ELF") != 0 ||
      ABytes[4] != 2)
    return image;
  const uint64_t sectionOffset = Get<uint64_t>(ABytes, 0x28);
  const uint16_t sectionSize = Get<uint16_t>(ABytes, 0x3A);
  const uint16_t sectionCount = Get<uint16_t>(ABytes, 0x3C);
  auto section = [&](uint32_t AIndex) { return sectionOffset + uint64_t(AIndex) * sectionSize; };
  constexpr uint32_t SHT_DYNSYM = 11, SHT_DYNAMIC = 6;
  for (uint16_t i = 0; i < sectionCount; ++i) {
    const size_t s = section(i);
    const uint32_t type = Get<uint32_t>(ABytes, s + 4);
    const uint64_t offset = Get<uint64_t>(ABytes, s + 0x18);
    const uint64_t size = Get<uint64_t>(ABytes, s + 0x20);
    const uint32_t link = Get<uint32_t>(ABytes, s + 0x28);
    const uint64_t entrySize = Get<uint64_t>(ABytes, s + 0x38);
    const uint64_t strings = Get<uint64_t>(ABytes, section(link) + 0x18);
    if (type == SHT_DYNSYM && entrySize != 0) {
      for (uint64_t e = offset; e + entrySize <= offset + size; e += entrySize) {
        const uint32_t name = Get<uint32_t>(ABytes, e);
        const uint8_t info = Get<uint8_t>(ABytes, e + 4);
        const uint16_t sectionIndex = Get<uint16_t>(ABytes, e + 6);
        const uint8_t binding = info >> 4;
        if (sectionIndex != 0 && (binding == 1 || binding == 2) && name != 0)
          image.Exports.push_back(CString(ABytes, strings + name));
      }
    } else if (type == SHT_DYNAMIC && entrySize != 0) {
      for (uint64_t e = offset; e + entrySize <= offset + size; e += entrySize)
        if (Get<int64_t>(ABytes, e) == 1) // DT_NEEDED
          image.Imports.push_back(CString(ABytes, strings + Get<uint64_t>(ABytes, e + 8)));
    }
  }
  std::sort(image.Exports.begin(), image.Exports.end());
  image.Valid = true;
  return image;
}
