// Reading the list back when its editor closes: every line of it, before anything is
// renamed, read once in the encoding that its bytes show and parsed once. The check of
// broken lines, the rename engine and its Overwrite index all take the lines from here.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

class TTextStream;

enum TLineKind : uint8_t {
  lkBlank,  // blanks and tabs only
  lkEntry,  // two quoted names
  lkOther,  // anything else: a line the user broke, or the header
  lkSkipped // an entry that the check of the saved lines set aside: it renames nothing
};

// One line of a saved list as it was parsed.
struct TListLine {
  TLineKind Kind = lkBlank;
  std::u16string Source, Destination; // an entry's names, as written between their quotes
  std::u16string Text;                // the line as saved, for a line that is not an entry

  // An entry with both names: the only kind of line that renames.
  bool Renames() const { return Kind == lkEntry && !Source.empty() && !Destination.empty(); }
  // A line the user broke: neither blank nor an entry. An entry whose new name is emptied
  // to "" is the way to leave a file alone; one whose old name is emptied names no file.
  bool Unread() const {
    return Kind == lkOther || (Kind == lkEntry && Source.empty() && !Destination.empty());
  }
  // The line as a box shows it: an entry's names with one blank between them.
  // Whether the line holds two names (an entry, renaming or skipped).
  bool Named() const { return Kind == lkEntry || Kind == lkSkipped; }
  std::u16string Shown() const;
};

// The lines of a saved list, all in one buffer, so that a line costs its names and one
// offset: one byte a code unit where every unit of the line is below U+0100, as in most
// names, two elsewhere. The blanks that align the columns are not kept: they would cost
// every line as much as the longest name.
class TSavedList {
public:
  // Gives each line in turn, unpacked into a record of its own that holds it until the
  // iterator moves on.
  class TIterator {
  public:
    TIterator(const TSavedList& AList, size_t AIndex) : fList(&AList), fIndex(AIndex) {}
    const TListLine& operator*() const {
      fList->Get(fIndex, fLine);
      return fLine;
    }
    TIterator& operator++() {
      ++fIndex;
      return *this;
    }
    bool operator!=(const TIterator& AOther) const { return fIndex != AOther.fIndex; }

  private:
    const TSavedList* fList;
    size_t fIndex;
    mutable TListLine fLine;
  };

  size_t size() const { return fEnds.size(); }
  bool empty() const { return fEnds.empty(); }
  // Line AIndex, unpacked into ALine's own room.
  void Get(size_t AIndex, TListLine& ALine) const;
  TListLine operator[](size_t AIndex) const {
    TListLine line;
    Get(AIndex, line);
    return line;
  }
  TIterator begin() const { return TIterator(*this, 0); }
  TIterator end() const { return TIterator(*this, size()); }

  // The Windows code page in which the list was read (uTextStream's CodePage).
  uint32_t CodePage() const { return fCodePage; }
  void SetCodePage(uint32_t AValue) { fCodePage = AValue; }

  // Parses ALine and keeps what it is.
  void Add(std::u16string_view ALine);
  // Line AIndex, an entry, renames nothing (lkSkipped).
  void Skip(size_t AIndex);
  void Clear();
  // Room for lines of ABytes bytes in all, taken at once rather than grown.
  void Reserve(size_t ABytes);

private:
  size_t Start(size_t AIndex) const { return AIndex == 0 ? 0 : fEnds[AIndex - 1]; }

  // Each line: a byte of its kind (and whether its units take two bytes); then for an
  // entry the length of its old name (four bytes) and its two names, for any other line
  // its text.
  std::string fBytes;
  // Where each line ends in fBytes. A list is read only up to 2 GB, and a line takes at
  // most two bytes for each byte of the file it came from, its quotes and line end
  // included, so 32 bits count them.
  std::vector<uint32_t> fEnds;
  uint32_t fCodePage = 65001;
};

// The lines of the list file as last saved, and the code page they were read in. False,
// after a box that says so, when it cannot be read in full: it is gone, a folder or
// anything else than a file, cannot be opened, or a read fails. All of it is read first,
// so that such a list renames nothing.
bool ReadSavedList(const std::u16string& AFileName, TSavedList& ALines);
// ReadSavedList without the box: for a reader that tells the user in its own way.
bool LoadSavedList(const std::u16string& AFileName, TSavedList& ALines);
// LoadSavedList of a list that the reader opened itself.
bool LoadSavedList(TTextStream& AStream, TSavedList& ALines);
