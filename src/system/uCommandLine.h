// A Windows command line is one string that the started program splits into its
// arguments as the C runtime does; this writes an argument so that it comes back whole.
#pragma once

#include <string>

// AArgument as it must stand in a command line: as it is when it holds no space, tab or
// double quote and is not empty, else in double quotes, with each double quote and the
// backslashes before one (or before the closing quote) escaped by backslashes.
std::u16string QuoteCommandLineArgument(const std::u16string& AArgument);
