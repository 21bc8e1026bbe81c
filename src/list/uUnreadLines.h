// Lines of the saved list that would not run as the user means them, named before the
// first move rather than taking the job for done: lines the user broke (a quote deleted or
// typed inside a name, a word after the closing quote), header lines that are no longer
// the header (a deleted header takes the first entries for its own), and entries whose
// first column names no file (a replace over both columns, say).
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

class TSavedList;
struct TListLine;

// A small hash of a name as the list wrote it, to tell a first column the user left alone
// at no cost of a system call.
uint32_t WrittenNameHash(std::u16string_view AName);

// What the job knows of the list it wrote.
struct TWrittenList {
  std::u16string Header;       // as written; its lines end in LF
  std::vector<uint32_t> Names; // the hashes of the names written, sorted
  // Whether the first column of an entry names an existing file; asked only for a name
  // that is not among those written.
  std::function<bool(const TListLine& ALine)> SourceExists;
};

// The header's lines as written (AHeader's lines end in LF).
std::vector<std::u16string_view> HeaderLines(std::u16string_view AHeader);
// Whether ALine, line ANumber (from 1) of the saved list, can be read for what it is: a
// line in the header's place must be the header's own, any later one unbroken.
bool IsReadable(const TListLine& ALine, size_t ANumber,
                const std::vector<std::u16string_view>& AHeader);

enum TLinesAnswer { laRename, laEditAgain, laCancel };

// Checks the saved lines against AWritten and, when some would not run, names them in one
// box: how many, and the first few with their line numbers; the entries among them are
// set aside (TSavedList::Skip). The answers: rename the other lines (also when all are
// fine), edit the list again (AFirstNamed: the number of the first line named, from 1),
// or cancel (Esc too).
TLinesAnswer CheckSavedLines(TSavedList& ALines, const TWrittenList& AWritten, size_t& AFirstNamed);
