#include "uNameIndex.h"

namespace host {

uint32_t TNameIndex::Hash(std::string_view AName) {
  // FNV-1a: names are short, and the folder's own order does not cluster under it.
  uint32_t hash = 2166136261u;
  for (const char c : AName) {
    hash ^= static_cast<unsigned char>(c);
    hash *= 16777619u;
  }
  return hash;
}

size_t TNameIndex::SlotOf(std::string_view AName, uint32_t AHash) const {
  const size_t mask = fSlots.size() - 1;
  for (size_t at = AHash & mask;; at = (at + 1) & mask) {
    const TSlot& slot = fSlots[at];
    if (slot.Length == 0 || (slot.Hash == AHash && NameAt(slot) == AName)) return at;
  }
}

void TNameIndex::Grow() {
  std::vector<TSlot> old(fSlots.empty() ? 64 : fSlots.size() * 2);
  old.swap(fSlots);
  for (const TSlot& slot : old) {
    if (slot.Length != 0) fSlots[SlotOf(NameAt(slot), slot.Hash)] = slot;
  }
}

void TNameIndex::Add(std::string_view AName, uint64_t ANumber) {
  if (AName.empty() || AName.size() > UINT32_MAX) return;
  if ((fCount + 1) * 2 > fSlots.size()) Grow();
  const uint32_t hash = Hash(AName);
  TSlot& slot = fSlots[SlotOf(AName, hash)];
  if (slot.Length != 0) return;
  slot.Number = ANumber;
  slot.Offset = fNames.size();
  slot.Length = static_cast<uint32_t>(AName.size());
  slot.Hash = hash;
  fNames.append(AName);
  ++fCount;
}

bool TNameIndex::Find(std::string_view AName, uint64_t& ANumber) const {
  if (fSlots.empty() || AName.empty()) return false;
  const TSlot& slot = fSlots[SlotOf(AName, Hash(AName))];
  if (slot.Length == 0) return false;
  ANumber = slot.Number;
  return true;
}

} // namespace host
