// Reading the list back when its editor closes: every line of it, before anything is
// renamed, in the encoding that its bytes show.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

class TTextStream;

// The lines of a saved list, all in one buffer, so that a line costs its text and one
// offset: one byte a code unit where every unit of the line is below U+0100, as in most
// names, two elsewhere. An entry line is kept as its two quoted names with one blank
// between them: the blanks that align the columns would cost every line as much as the
// longest name, and the entry reads back (ParseListLine, SplitListLine) as it was saved.
class TSavedList {
public:
  // Gives each line in turn, unpacked into a buffer of its own that holds it until the
  // iterator moves on.
  class TIterator {
  public:
    TIterator(const TSavedList& AList, size_t AIndex) : fList(&AList), fIndex(AIndex) {}
    const std::u16string& operator*() const {
      fList->Unpack(fIndex, fLine);
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
    mutable std::u16string fLine;
  };

  size_t size() const { return fEnds.size(); }
  bool empty() const { return fEnds.empty(); }
  std::u16string operator[](size_t AIndex) const {
    std::u16string line;
    Unpack(AIndex, line);
    return line;
  }
  TIterator begin() const { return TIterator(*this, 0); }
  TIterator end() const { return TIterator(*this, size()); }

  void Add(std::u16string_view ALine);
  void Clear();
  // Room for lines of ABytes bytes in all, taken at once rather than grown.
  void Reserve(size_t ABytes);

private:
  void Unpack(size_t AIndex, std::u16string& ALine) const;

  // Each line: a byte that tells whether its units take two bytes or one, then its units.
  std::string fBytes;
  // Where each line ends in fBytes. A list is read only up to 2 GB, and a line with its
  // mark takes at most two bytes for each byte of the file it came from, its line end
  // included, so 32 bits count them.
  std::vector<uint32_t> fEnds;
};

// The lines of the list file as last saved. False, after a box that says so, when it
// cannot be read in full: it is gone, a folder or anything else than a file, cannot be
// opened, or a read fails. All of it is read first, so that such a list renames nothing.
bool ReadSavedList(const std::u16string& AFileName, TSavedList& ALines);
// ReadSavedList without the box: for a reader that tells the user in its own way.
bool LoadSavedList(const std::u16string& AFileName, TSavedList& ALines);
// LoadSavedList of a list that the reader opened itself.
bool LoadSavedList(TTextStream& AStream, TSavedList& ALines);
