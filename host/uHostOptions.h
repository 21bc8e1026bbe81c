// The command line of quorvane-run.
#pragma once

#include <string>
#include <vector>

namespace host {

struct TRunOptions {
  bool Help = false;
  bool Version = false;                 // --version
  std::u16string Plugin;                // --plugin; empty: the package beside the program
  std::u16string Language = u"English"; // --lang
  int Answer = -1;                      // --answer N; -1: ask on the terminal
  std::u16string Current;               // --current NAME
  std::u16string Directory;             // DIR; empty: the current directory
  std::vector<std::u16string> Names;    // NAME...
};

// Exit statuses.
constexpr int ExitAllDone = 0;
constexpr int ExitNotAllDone = 1;
constexpr int ExitCannotRun = 2;

// False with AError set on a command line that does not parse.
bool ParseOptions(const std::vector<std::u16string>& AArguments, TRunOptions& AOptions,
                  std::string& AError);

const char* HelpText();

} // namespace host
