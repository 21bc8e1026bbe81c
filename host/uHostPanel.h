// The active panel of the terminal host: a real directory with its entries in FAR's
// default order, and the selection given on the command line.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace host {

struct TPanelEntry {
  std::u16string Name;
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
  const std::vector<TPanelEntry>& Items() const { return fItems; }
  size_t CurrentItem() const { return fCurrentItem; }
  size_t SelectedCount() const;
  // Entries other than "..".
  size_t EntryCount() const { return fItems.size() - (fHasParent ? 1 : 0); }
  const std::vector<TUnlistedName>& Unlisted() const { return fUnlisted; }

  void SetSelected(size_t AIndex, bool ASelected);

private:
  bool Find(const std::u16string& AName, size_t& AIndex, std::string& AError) const;

  std::u16string fDirectory;
  std::vector<TPanelEntry> fItems;
  std::vector<TUnlistedName> fUnlisted;
  size_t fCurrentItem = 0;
  bool fHasParent = false;
};

} // namespace host
