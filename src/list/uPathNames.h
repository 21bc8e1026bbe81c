// Paths as the rename engine hands them to the system: the job's directory joined with a
// name from the list, "." and ".." resolved, so that "..\x" means the parent folder on
// every platform (Windows does not resolve them in the \\?\ paths that FAR gives); and
// how two paths compare as the file system tells names apart.
#pragma once

#include <string>
#include <vector>

// Whether C separates the parts of a path: '/' on POSIX, where '\\' is a character of a
// name; '\\' and '/' on Windows.
bool IsPathDelimiter(char16_t C);

// APath with its "." and ".." segments resolved and repeated delimiters merged, never
// climbing above its root: "/", a drive ("C:\"), a share ("\\server\share\") or the
// same behind "\\?\". False when a ".." would climb above the root, or the path has none;
// AResult is then untouched, and it may be APath itself.
bool NormalizePath(const std::u16string& APath, std::u16string& AResult);

// The folder part of AName: up to and including its last delimiter; empty for a bare name.
std::u16string FolderPart(const std::u16string& AName);

// Absolute APaths as names relative to their deepest common folder: AFolder receives that
// folder with its trailing delimiter, ANames each path below it, "." and ".." resolved.
// Where they share no folder (two drives, two shares) AFolder is empty and ANames are the
// paths themselves. False when a path is not absolute or names a root.
bool SplitAtCommonFolder(const std::vector<std::u16string>& APaths, std::u16string& AFolder,
                         std::vector<std::u16string>& ANames);

// APath without the prefix that lifts Windows' path length limit ("\\?\", "\\?\UNC\"), as
// the user spells it.
std::u16string WithoutLongPathPrefix(const std::u16string& APath);

// APath as a box shows it, its control characters escaped as everywhere else
// (EscapeControlCharacters): a box takes its lines up to the first U+0000, and would name
// another file, and a line break would split the line.
std::u16string VisiblePath(const std::u16string& APath);

// Whether two paths are equal as the file system tells names apart: exactly on POSIX,
// without regard to case by the system's own table on Windows.
bool IsSamePathText(const std::u16string& A, const std::u16string& B);

// Orders paths as the file system tells names apart: by case too on POSIX, not on Windows
// (by the system's own upper-case table).
struct TPathLess {
  bool operator()(const std::u16string& A, const std::u16string& B) const;
};

// Hashes and compares paths as the file system tells names apart, for hash maps: paths
// that IsSamePathText takes for one hash alike. On Windows only ASCII letters are folded
// into the hash and every other unit counts by its place alone, since a change of case
// never changes a path's length in units.
struct TPathHash {
  size_t operator()(const std::u16string& APath) const;
};
struct TPathEqual {
  bool operator()(const std::u16string& A, const std::u16string& B) const {
    return A.size() == B.size() && IsSamePathText(A, B);
  }
};

// Whether APath is AFolder or lies below it (a trailing delimiter of AFolder ignored), as
// the file system tells names apart.
bool IsAtOrBelow(const std::u16string& APath, const std::u16string& AFolder);

// Whether APath is AFrom or lies below it; if so, APath becomes the same path below ATo:
// where a move of AFrom to ATo took it.
bool CarryAlong(std::u16string& APath, const std::u16string& AFrom, const std::u16string& ATo);
