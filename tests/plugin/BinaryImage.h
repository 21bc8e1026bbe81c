// Reads the exported names and the imported libraries of a built library file: PE
// (DLL) and ELF (.so) images, parsed from their bytes.
#pragma once

#include <string>
#include <vector>

struct TBinaryImage {
  bool Valid = false;
  std::vector<std::string> Exports; // sorted
  std::vector<std::string> Imports; // libraries, as named in the image
};

TBinaryImage ReadPeImage(const std::string& ABytes);
TBinaryImage ReadElfImage(const std::string& ABytes);
