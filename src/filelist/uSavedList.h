// Reading the list back when its editor closes: every line of it, before anything is
// renamed, in the encoding that its bytes show.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// The lines of a saved list, all in one buffer, so that a line costs its text and one
// offset. An entry line is kept as its two quoted names with one blank between them: the
// blanks that align the columns would cost every line as much as the longest name, and
// the entry reads back (ParseListLine, SplitListLine) as it was saved.
class TSavedList {
public:
  class TIterator {
  public:
    TIterator(const TSavedList& AList, size_t AIndex) : fList(&AList), fIndex(AIndex) {}
    std::u16string_view operator*() const { return (*fList)[fIndex]; }
    TIterator& operator++() {
      ++fIndex;
      return *this;
    }
    bool operator!=(const TIterator& AOther) const { return fIndex != AOther.fIndex; }

  private:
    const TSavedList* fList;
    size_t fIndex;
  };

  size_t size() const { return fEnds.size(); }
  bool empty() const { return fEnds.empty(); }
  std::u16string_view operator[](size_t AIndex) const {
    const size_t start = AIndex == 0 ? 0 : fEnds[AIndex - 1];
    return std::u16string_view(fText).substr(start, fEnds[AIndex] - start);
  }
  TIterator begin() const { return TIterator(*this, 0); }
  TIterator end() const { return TIterator(*this, size()); }

  void Add(std::u16string_view ALine);
  void Clear();
  // Room for ALines lines of AUnits code units in all, taken at once rather than grown.
  void Reserve(size_t ALines, size_t AUnits);

private:
  std::u16string fText;
  // Where each line ends in fText. A list is read only up to 2 GB, which holds fewer code
  // units than 32 bits count.
  std::vector<uint32_t> fEnds;
};

// The lines of the list file as last saved. False, after a box that says so, when it
// cannot be read in full: it is gone, a folder or anything else than a file, cannot be
// opened, or a read fails. All of it is read first, so that such a list renames nothing.
bool ReadSavedList(const std::u16string& AFileName, TSavedList& ALines);
