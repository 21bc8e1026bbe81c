#include "list/uPathNames.h"

#include <cstdint>
#include <functional>
#include <vector>

#include "files/uStrings.h"
#include "system/uSystem.h"
#include "system/uWindows.h"

bool IsPathDelimiter(char16_t C) {
#ifdef _WIN32
  return C == u'\\' || C == u'/';
#else
  return C == u'/';
#endif
}

namespace {

#ifndef _WIN32
size_t RootLength(const std::u16string& APath) {
  return !APath.empty() && APath[0] == u'/' ? 1 : std::u16string::npos;
}
#else
// The end of the first APartCount delimited parts that start at AFrom, past their
// delimiter; npos when the path ends before.
size_t AfterParts(const std::u16string& APath, size_t AFrom, int APartCount) {
  size_t at = AFrom;
  for (int i = 0; i < APartCount; ++i) {
    while (at < APath.size() && !IsPathDelimiter(APath[at]))
      ++at;
    if (at >= APath.size()) return std::u16string::npos;
    ++at;
  }
  return at;
}

bool IsDriveRoot(const std::u16string& APath, size_t AAt) {
  return APath.size() >= AAt + 3 && APath[AAt + 1] == u':' && IsPathDelimiter(APath[AAt + 2]);
}

// The length of the root that ".." never climbs above; npos when there is none.
size_t RootLength(const std::u16string& APath) {
  const bool device = APath.size() >= 4 && IsPathDelimiter(APath[0]) && IsPathDelimiter(APath[1]) &&
                      (APath[2] == u'?' || APath[2] == u'.') && IsPathDelimiter(APath[3]);
  if (device) {
    if (IsDriveRoot(APath, 4)) return 7;
    if (APath.compare(4, 4, u"UNC\\") == 0 || APath.compare(4, 4, u"UNC/") == 0)
      return AfterParts(APath, 8, 2);
    return AfterParts(APath, 4, 1); // a volume name, for example
  }
  if (APath.size() >= 2 && IsPathDelimiter(APath[0]) && IsPathDelimiter(APath[1]))
    return AfterParts(APath, 2, 2);
  if (IsDriveRoot(APath, 0)) return 3;
  return std::u16string::npos;
}
#endif

// Whether APath, past its root, holds a "." or ".." segment, an empty one (repeated
// delimiters) or, on Windows, a delimiter other than '\'.
bool NeedsNormalizing(const std::u16string& APath, size_t ARoot) {
  for (size_t i = ARoot; i < APath.size(); ++i) {
    if (!IsPathDelimiter(APath[i])) continue;
    if (APath[i] != win::PathDelimiter) return true;
    const size_t next = i + 1;
    if (next < APath.size() && IsPathDelimiter(APath[next])) return true;
  }
  // Segments start at the root and after each delimiter.
  for (size_t start = ARoot; start < APath.size();) {
    size_t end = start;
    while (end < APath.size() && !IsPathDelimiter(APath[end]))
      ++end;
    const size_t length = end - start;
    if (APath[start] == u'.' && (length == 1 || (length == 2 && APath[start + 1] == u'.')))
      return true;
    start = end + 1;
  }
  return false;
}

} // namespace

bool NormalizePath(const std::u16string& APath, std::u16string& AResult) {
  const size_t root = RootLength(APath);
  if (root == std::u16string::npos) return false;
  if (!NeedsNormalizing(APath, root)) {
    if (&AResult != &APath) AResult = APath;
    return true;
  }

  const std::u16string path = APath; // AResult may be APath itself
  std::vector<std::u16string> parts;
  size_t at = root;
  while (at < path.size()) {
    size_t end = at;
    while (end < path.size() && !IsPathDelimiter(path[end]))
      ++end;
    std::u16string part = path.substr(at, end - at);
    if (part == u"..") {
      if (parts.empty()) return false;
      parts.pop_back();
    } else if (!part.empty() && part != u".") {
      parts.push_back(std::move(part));
    }
    at = end + 1;
  }

  AResult = path.substr(0, root);
  for (size_t i = 0; i < parts.size(); ++i) {
    if (i > 0) AResult += win::PathDelimiter;
    AResult += parts[i];
  }
  if (!parts.empty() && IsPathDelimiter(path.back())) AResult += win::PathDelimiter;
  return true;
}

std::u16string FolderPart(const std::u16string& AName) {
  size_t end = AName.size();
  while (end > 0 && !IsPathDelimiter(AName[end - 1]))
    --end;
  return AName.substr(0, end);
}

bool SplitAtCommonFolder(const std::vector<std::u16string>& APaths, std::u16string& AFolder,
                         std::vector<std::u16string>& ANames) {
  AFolder.clear();
  ANames.clear();
  std::vector<std::u16string> paths;
  for (const std::u16string& path : APaths) {
    std::u16string normal;
    if (!NormalizePath(path, normal)) return false;
    const size_t root = RootLength(normal);
    while (normal.size() > root && IsPathDelimiter(normal.back()))
      normal.pop_back();
    if (normal.size() <= root) return false;
    paths.push_back(std::move(normal));
  }
  if (paths.empty()) return true;

  // Cut the first path's folder back, a folder at a time, until every path lies below it.
  const std::u16string& first = paths[0];
  size_t common = FolderPart(first).size();
  for (const std::u16string& path : paths) {
    while (common > 0 && (path.size() < common ||
                          !IsSamePathText(path.substr(0, common), first.substr(0, common)))) {
      --common;
      while (common > 0 && !IsPathDelimiter(first[common - 1]))
        --common;
    }
  }
  // A shared beginning shorter than the root ("\\server\" of two shares) is no folder.
  if (common < RootLength(first)) common = 0;

  AFolder = first.substr(0, common);
  for (std::u16string& path : paths)
    ANames.push_back(path.substr(common));
  return true;
}

std::u16string VisiblePath(const std::u16string& APath) {
  return EscapeControlCharacters(APath);
}

bool IsSamePathText(const std::u16string& A, const std::u16string& B) {
#ifdef _WIN32
  return win::CompareStringOrdinal(A.c_str(), int(A.size()), B.c_str(), int(B.size()), 1) ==
         win::CSTR_EQUAL;
#else
  return A == B;
#endif
}

size_t TPathHash::operator()(const std::u16string& APath) const {
#ifdef _WIN32
  uint64_t hash = 14695981039346656037ull; // FNV-1a
  for (char16_t unit : APath) {
    const char16_t folded = unit >= u'a' && unit <= u'z' ? char16_t(unit - 32)
                            : unit < 0x80                ? unit
                                                         : char16_t(0x80);
    hash = (hash ^ folded) * 1099511628211ull;
  }
  return size_t(hash);
#else
  return std::hash<std::u16string>()(APath);
#endif
}

bool TPathLess::operator()(const std::u16string& A, const std::u16string& B) const {
#ifdef _WIN32
  return win::CompareStringOrdinal(A.c_str(), int(A.size()), B.c_str(), int(B.size()), 1) ==
         win::CSTR_LESS_THAN;
#else
  return A < B;
#endif
}

bool IsAtOrBelow(const std::u16string& APath, const std::u16string& AFolder) {
  size_t length = AFolder.size();
  while (length > 1 && IsPathDelimiter(AFolder[length - 1]))
    --length;
  return APath.size() >= length &&
         IsSamePathText(APath.substr(0, length), AFolder.substr(0, length)) &&
         (APath.size() == length || IsPathDelimiter(APath[length]) ||
          IsPathDelimiter(AFolder[length - 1]));
}

bool CarryAlong(std::u16string& APath, const std::u16string& AFrom, const std::u16string& ATo) {
  if (!IsAtOrBelow(APath, AFrom)) return false;
  size_t length = AFrom.size();
  while (length > 1 && IsPathDelimiter(AFrom[length - 1]))
    --length;
  std::u16string to = ATo;
  while (to.size() > 1 && IsPathDelimiter(to.back()))
    to.pop_back();
  APath = to + APath.substr(length);
  return true;
}

std::u16string WithoutLongPathPrefix(const std::u16string& APath) {
  if (APath.rfind(u"\\\\?\\UNC\\", 0) == 0) return u"\\\\" + APath.substr(8);
  if (APath.rfind(u"\\\\?\\", 0) == 0) return APath.substr(4);
  return APath;
}
