#include "uIdentityBatch.h"

#include <algorithm>
#include <string_view>

#include "system/uUtf8.h"
#include "uHostPlatform.h"

namespace host {

namespace {

constexpr uint8_t NotWanted = 0xFF;
constexpr uint8_t Wanted = 0xFE; // and not found yet

uint64_t NameHash(std::string_view AName) {
  uint64_t hash = 14695981039346656037ull; // FNV-1a
  for (unsigned char c : AName)
    hash = (hash ^ c) * 1099511628211ull;
  return hash;
}

std::string NameOf(const std::u16string& APath) {
  return Utf16ToUtf8(APath.substr(APath.find_last_of(PathDelimiter) + 1));
}

} // namespace

TFound IdentityOf(const std::u16string& APath, win::FILE_IDENTITY& AIdentity) {
  if (!win::GetFileIdentity(APath.c_str(), 0, &AIdentity)) {
    const win::DWORD error = win::GetLastError();
    return error == win::ERROR_FILE_NOT_FOUND || error == win::ERROR_PATH_NOT_FOUND ? fdNothing
                                                                                    : fdUnreadable;
  }
  return fdFile;
}

TIdentityBatch::TIdentityBatch(size_t AItems)
    : fIndex(AItems, 0), fVolume(AItems, 0), fFound(AItems, NotWanted) {}

void TIdentityBatch::Want(size_t AItem, const std::u16string& APath) {
  fFound[AItem] = Wanted;
  const size_t slash = APath.find_last_of(PathDelimiter);
  if (slash == std::u16string::npos || slash + 1 == APath.size()) return;
  const std::string name = NameOf(APath);
  if (name == "." || name == "..") return;
  std::u16string folder = APath.substr(0, slash == 0 ? 1 : slash);
  if (folder.back() == u':') folder += PathDelimiter; // a drive's root, not its current folder
  fFolders[folder].push_back({NameHash(name), uint32_t(AItem)});
}

uint16_t TIdentityBatch::VolumeNumber(uint64_t AVolume) {
  const auto found = std::find(fVolumes.begin(), fVolumes.end(), AVolume);
  if (found != fVolumes.end()) return uint16_t(found - fVolumes.begin());
  if (fVolumes.size() == UINT16_MAX) return UINT16_MAX; // no room: never a match
  fVolumes.push_back(AVolume);
  return uint16_t(fVolumes.size() - 1);
}

void TIdentityBatch::Read(const std::function<std::u16string(size_t)>& APathOf) {
  for (auto& [folderName, wanted] : fFolders) {
    std::sort(wanted.begin(), wanted.end(),
              [](const TWanted& A, const TWanted& B) { return A.Hash < B.Hash; });
    uint64_t volume = 0;
    std::vector<std::pair<uint32_t, uint64_t>> found; // item, index
    const auto each = [&](std::string_view AName, uint64_t AIndex) {
      const uint64_t hash = NameHash(AName);
      auto at = std::lower_bound(wanted.begin(), wanted.end(), hash,
                                 [](const TWanted& A, uint64_t H) { return A.Hash < H; });
      for (; at != wanted.end() && at->Hash == hash; ++at)
        found.emplace_back(at->Item, AIndex);
    };
    if (ReadFolderIdentities(folderName, volume, each)) {
      const uint16_t number = VolumeNumber(volume);
      for (const auto& [item, index] : found) {
        fIndex[item] = index;
        fVolume[item] = number;
        fFound[item] = fdFile;
      }
    }
    std::vector<TWanted>().swap(wanted);
  }
  fFolders.clear();
  for (size_t item = 0; item < fFound.size(); ++item) {
    if (fFound[item] != Wanted) continue;
    win::FILE_IDENTITY identity;
    fFound[item] = IdentityOf(APathOf(item), identity);
    if (fFound[item] != fdFile) continue;
    fIndex[item] = identity.Index;
    fVolume[item] = VolumeNumber(identity.Volume);
  }
}

TFound TIdentityBatch::Find(size_t AItem, win::FILE_IDENTITY& AIdentity) const {
  if (AItem >= fFound.size() || fFound[AItem] > fdUnreadable) return fdUnreadable;
  if (fFound[AItem] == fdFile) {
    AIdentity = win::FILE_IDENTITY{};
    AIdentity.Volume = fVolume[AItem] < fVolumes.size() ? fVolumes[fVolume[AItem]] : 0;
    AIdentity.Index = fIndex[AItem];
  }
  return TFound(fFound[AItem]);
}

} // namespace host
