// The active panel of the terminal host: a real directory with its entries in FAR's
// default order, and the selection given on the command line.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace host {

// An entry of the panel. Its name lies in the panel's one buffer of names, so that a
// directory of a million entries costs little more than their names.
struct TPanelEntry {
  size_t NameStart = 0;
  uint32_t NameLength = 0;
  bool Folder = false;
  bool Selected = false;
};

// A name that the panel leaves out: one that the file system holds in bytes that are not
// UTF-8 (Name then approximate), or one that holds CR or LF, which would break its line in
// the list.
struct TUnlistedName {
  std::u16string Name;
  bool LineBreak = false;
};

class TPanel {
public:
  // Lists ADirectory: ".." first where it has a parent, then folders, then files, each
  // sorted by name. False with AError set when it is not a readable directory.
  bool Load(const std::u16string& ADirectory, std::string& AError);

  // Selects the named entries (names, or paths of entries of this directory) and puts
  // the cursor on the first; false with AError naming one that is not there.
  bool SelectNames(const std::vector<std::u16string>& ANames, std::string& AError);
  // Selects every entry but "..", the cursor on the first of them.
  void SelectAll();
  // Puts the cursor on ANAME with nothing selected.
  bool SetCurrent(const std::u16string& AName, std::string& AError);

  const std::u16string& Directory() const { return fDirectory; }
  size_t ItemCount() const { return fItems.size(); }
  std::u16string_view Name(size_t AIndex) const { return Name(fItems[AIndex]); }
  bool IsFolder(size_t AIndex) const { return fItems[AIndex].Folder; }
  bool IsSelected(size_t AIndex) const { return fItems[AIndex].Selected; }
  size_t CurrentItem() const { return fCurrentItem; }
  size_t SelectedCount() const;
  // Entries other than "..".
  size_t EntryCount() const { return fItems.size() - (fHasParent ? 1 : 0); }
  const std::vector<TUnlistedName>& Unlisted() const { return fUnlisted; }

  void SetSelected(size_t AIndex, bool ASelected);

private:
  std::u16string_view Name(const TPanelEntry& AEntry) const {
    return std::u16string_view(fNames).substr(AEntry.NameStart, AEntry.NameLength);
  }
  void Add(std::u16string_view AName, bool AFolder);
  bool Find(const std::u16string& AName, size_t& AIndex, std::string& AError) const;

  std::u16string fDirectory;
  std::u16string fNames;
  std::vector<TPanelEntry> fItems;
  std::vector<TUnlistedName> fUnlisted;
  size_t fCurrentItem = 0;
  bool fHasParent = false;
};

} // namespace host
