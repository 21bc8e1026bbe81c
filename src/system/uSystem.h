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
// A name for a file of the caller's own: the base of a CreateTempFileName name with ASuffix,
// or with 0, 1, 2 ... before ASuffix while such a file exists. Creates no file; both names
// are registered.
std::u16string UniqueTempFileName(const std::u16string& ADirectory, const std::u16string& APrefix,
                                  const std::u16string& ASuffix);
// Deletes the registered names that exist as files, then destroys TempFiles.
void DeleteTempFiles();

// True when AFileName names an existing entry that is not a directory.
bool FileExists(const std::u16string& AFileName);

// The decimal digits of AValue, for numbered file names.
std::u16string DecimalText(uint64_t AValue);

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
