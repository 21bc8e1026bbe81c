// Whole files read and written by FAR's model (the editor's text, the language files),
// named as the plugin names them.
#pragma once

#include <filesystem>
#include <string>

std::filesystem::path FarPath(const std::u16string& AFileName);
std::u16string FarPathText(const std::filesystem::path& APath);
bool ReadWholeFile(const std::u16string& AFileName, std::string& ABytes);
bool WriteWholeFile(const std::u16string& AFileName, const std::string& ABytes);
