// The identities of many paths at one moment, in three steps: each path is asked for
// (Want), each folder that holds one is read once, keeping only what was asked for, and
// each path that its folder's listing did not give (another spelling of its name, a
// folder that could not be read) is looked up on its own (Read); then each is answered
// (Find). So the look-ups of a job cost next to nothing beside its renames, and a few
// bytes a path.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <unordered_map>
#include <vector>

#include "system/uWindows.h"

namespace host {

// What a look-up found at a path.
enum TFound : uint8_t { fdFile, fdNothing, fdUnreadable };

// What the file at APath is, the link itself where it is one.
TFound IdentityOf(const std::u16string& APath, win::FILE_IDENTITY& AIdentity);

class TIdentityBatch {
public:
  // Paths are asked for by a number below AItems.
  explicit TIdentityBatch(size_t AItems = 0);

  void Want(size_t AItem, const std::u16string& APath);
  // APathOf tells again the path an item was wanted for, for a name that its folder's
  // listing did not give.
  void Read(const std::function<std::u16string(size_t)>& APathOf);
  // What the path wanted for AItem was when it was read; fdUnreadable for one not wanted.
  TFound Find(size_t AItem, win::FILE_IDENTITY& AIdentity) const;

private:
  struct TWanted {
    uint64_t Hash; // of the name: two names of a folder never share one in practice
    uint32_t Item;
  };
  // The folder AVolume, as a number of fVolumes.
  uint16_t VolumeNumber(uint64_t AVolume);

  std::unordered_map<std::u16string, std::vector<TWanted>> fFolders; // until read
  std::vector<uint64_t> fIndex;  // by item: the file index found
  std::vector<uint16_t> fVolume; // by item: its volume, as a number of fVolumes
  std::vector<uint8_t> fFound;   // by item: a TFound, or NotWanted
  std::vector<uint64_t> fVolumes;
};

} // namespace host
