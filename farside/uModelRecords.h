// What the model's services share in filling FAR's records: texts copied out as FAR's
// two-call services do, and records cleared with their size kept.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <string>

namespace farside {

inline std::u16string Text(const char16_t* AText) {
  return AText ? std::u16string(AText) : std::u16string();
}

// Copies AText with its terminating zero into ADest (ADestSize characters), cutting it to
// fit; answers the size needed, zero included, as FAR's two-call services do.
inline size_t CopyOut(const std::u16string& AText, char16_t* ADest, size_t ADestSize) {
  if (ADest && ADestSize > 0) {
    const size_t count = std::min(AText.size(), ADestSize - 1);
    std::copy_n(AText.begin(), count, ADest);
    ADest[count] = 0;
  }
  return AText.size() + 1;
}

// Clears a record the caller sized, keeping its size.
template <class T> void ClearRecord(T* ARecord) {
  const size_t structSize = ARecord->StructSize;
  std::memset(static_cast<void*>(ARecord), 0, sizeof(T));
  ARecord->StructSize = structSize;
}

} // namespace farside
