// Temporary file names that are cleaned up when the plugin is unloaded, the module's own
// version record and file name, and the start-up and shut-down of this unit.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "system/uWindows.h"

// Every temporary name handed out, in order; the files that still exist are deleted by
// DeleteTempFiles. Exists between InitializeSystem and FinalizeSystem.
extern std::vector<std::u16string>* TempFiles;

// The system's temporary directory, ending in a path delimiter; empty on failure.
std::u16string GetTempDirectory();
// A name the system has just made unique in ADirectory (the file itself is deleted again);
// registered in TempFiles. Empty on failure.
std::u16string CreateTempFileName(const std::u16string& ADirectory, const std::u16string& APrefix);
// Creates a new file, empty and open for reading and writing, that nobody else can have
// opened or planted: ABase + ASuffix, or ABase + 0, 1, 2 ... + ASuffix while the name is
// taken (by a file, a directory or a link, which is never followed). On POSIX only the
// user may read or write it. The name created goes to AFileName and is registered; the
// caller closes the handle. InvalidHandleValue when no name could be created.
win::HANDLE CreateNumberedFile(const std::u16string& ABase, const std::u16string& ASuffix,
                               std::u16string& AFileName);
// CreateNumberedFile with the base of a CreateTempFileName name in ADirectory (so the
// prefix is kept); fails when the directory gives no such name.
win::HANDLE CreateTempFile(const std::u16string& ADirectory, const std::u16string& APrefix,
                           const std::u16string& ASuffix, std::u16string& AFileName);
// Takes AFileName out of TempFiles: the file outlives the plugin, for the user to find.
void KeepTempFile(const std::u16string& AFileName);
// Deletes the registered names that exist as files, then destroys TempFiles.
void DeleteTempFiles();

// True when AFileName names an existing entry that is not a directory.
bool FileExists(const std::u16string& AFileName);
// Whether the error AError of a look-up says that the path names nothing: no such entry,
// no such folder on the way, or a name the file system cannot hold (which names nothing
// either). Any other error leaves it open whether something is there. The one rule of it.
bool IsMissingError(win::DWORD AError);

// The decimal digits of AValue, for numbered file names.
std::u16string DecimalText(uint64_t AValue);
// The system's words for the error ACode, or "error N" when it has none.
std::u16string ErrorText(win::DWORD ACode);

// The file version of a module's version record: Major.Minor of the most significant
// double word and Build from the last of its four parts. False and zeros without a record.
bool GetModuleVersion(const std::u16string& AFileName, uint32_t& AMajor, uint32_t& AMinor,
                      uint32_t& ABuild);

// The module handle of the plugin. On Windows DllMain sets it; until then it is the module
// that contains this code.
extern win::HMODULE HInstance;
// The full file name of the module that contains this code; empty on failure.
std::u16string ThisModuleFileName();

void InitializeSystem();
void FinalizeSystem();
