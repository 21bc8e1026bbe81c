// Shared parts of the POSIX stand-in for the Windows services: UTF-16 names to byte
// paths, errno to Windows error codes, and the few facts about paths that several
// services need. Only the *_posix.cpp files of this folder include it.
#pragma once

#include <string>
#include <sys/stat.h>

#include "system/uWindows.h"

namespace win::standin {

// The byte form of a UTF-16 path; false (ERROR_INVALID_NAME) for an empty one.
bool ToPath(const char16_t* AName, std::string& APath);
// The directory part of a path (without the trailing delimiter), "." when there is none.
std::string ParentOf(const std::string& APath);
// The last component of a path, trailing delimiters ignored.
std::string NameOf(const std::string& APath);
bool IsDirectory(const std::string& APath);
// Windows tells a missing entry (2) from a missing directory on the way to it (3).
DWORD MissingError(const std::string& APath);
// The Windows error for an errno: the one table of the stand-in. APath is the path the
// call failed on (ENOENT tells 2 from 3 by its folder); AExists is what EEXIST becomes,
// ERROR_ALREADY_EXISTS for directories and moves, ERROR_FILE_EXISTS for CreateFileW.
DWORD ErrorOf(int AErrno, const std::string& APath, DWORD AExists = ERROR_ALREADY_EXISTS);
BOOL FailErrno(const std::string& APath, DWORD AExists = ERROR_ALREADY_EXISTS);
template <typename T> T Fail(DWORD AError, T AResult) {
  SetLastError(AError);
  return AResult;
}
std::string CurrentDirectory();
// This program's own file; empty when it cannot be told.
std::string ProgramPath();
// Windows attributes of an entry, from its lstat.
DWORD AttributesOf(const std::string& APath, const struct stat& AStat);
// Lower case of one UTF-16 unit in the user's (Unicode) locale.
char16_t LowerCase(char16_t C);

// The two file-system calls on which MoveFileW's refusal to replace rests. A test may
// replace them to play a file system without no-replace renames, or one whose look-ups
// fail; each answers like the POSIX call (0, or -1 with errno). Copied runs when a move
// between file systems has copied the file and before it looks at the source again: a
// test plays there another program that changes the source meanwhile.
struct TMoveCalls {
  int (*RenameNoReplace)(const char* AFrom, const char* ATo);
  int (*Lstat)(const char* APath, struct stat* AStat);
  void (*Copied)(const char* AFrom);
};
TMoveCalls& MoveCalls();

// Moves a regular file to a new name on another file system: copies it with its owner,
// mode, times, extended attributes and holes, then deletes the source. Anything else
// fails with ERROR_NOT_SAME_DEVICE; any failure removes the partial copy. A source that
// changed during the copy (written, cut short, or another file put under its name) stays,
// and the move fails with ERROR_SHARING_VIOLATION.
BOOL CopyThenDelete(const std::string& AFrom, const std::string& ATo);

} // namespace win::standin
