// Names to numbers for the many entries of one folder: the names in one block and an
// open-addressed table of their places, so that neither filling nor finding allocates
// for each name. A folder of 100,000 files is read and looked up in a few milliseconds.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace host {

class TNameIndex {
public:
  // A name already held keeps its first number (a folder never lists a name twice).
  void Add(std::string_view AName, uint64_t ANumber);
  bool Find(std::string_view AName, uint64_t& ANumber) const;
  size_t Count() const { return fCount; }

private:
  struct TSlot {
    uint64_t Number = 0;
    uint64_t Offset = 0; // of the name in fNames
    uint32_t Length = 0; // 0: an empty slot (no entry has an empty name)
    uint32_t Hash = 0;
  };
  static uint32_t Hash(std::string_view AName);
  std::string_view NameAt(const TSlot& ASlot) const {
    return std::string_view(fNames).substr(ASlot.Offset, ASlot.Length);
  }
  // The slot that holds AName, or the empty one where it would go.
  size_t SlotOf(std::string_view AName, uint32_t AHash) const;
  void Grow();

  std::string fNames;
  std::vector<TSlot> fSlots; // a power of two in size, at most half full
  size_t fCount = 0;
};

} // namespace host
