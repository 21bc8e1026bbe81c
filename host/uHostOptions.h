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
  bool NamesFromInput = false;          // "-" among the NAMEs: more names from standard input
  bool NullSeparated = false;           // -0, --null: those names end with NUL, not a line end
  bool Confirm = false;                 // --confirm: show the plan and ask before any move
  bool DryRun = false;                  // -n, --dry-run: show the plan, move nothing
  bool Quiet = false;                   // -q, --quiet: no summary
  bool Verbose = false;                 // -v, --verbose: the summary lists what took effect
  bool Parents = false;                 // -p, --parents: make the destinations' folders
  bool Yes = false;                     // --yes: --confirm and --undo do not ask
  bool NoRecord = false;                // --no-record: no record of the job for --undo
  bool Undo = false;                    // --undo: undo the latest job
  bool Redo = false;                    // --redo: undo the latest undo
  bool List = false;                    // --list: with --undo or --redo, list the records
};

// Exit statuses.
constexpr int ExitAllDone = 0;
constexpr int ExitNotAllDone = 1;
constexpr int ExitCannotRun = 2;

// False with AError set on a command line that does not parse.
bool ParseOptions(const std::vector<std::u16string>& AArguments, TRunOptions& AOptions,
                  std::string& AError);

// The language that --lang asks for (English when none), found before the command line is
// parsed, so that its errors speak that language too.
std::u16string RequestedLanguage(const std::vector<std::u16string>& AArguments);

// --help's text in the language of the host's texts, its options from the same table as
// the parser.
std::u16string HelpText();

} // namespace host
