#include "uHostOptions.h"

#include <algorithm>

#include "system/uUtf8.h"

namespace host {

namespace {

bool ParseCount(const std::u16string& AText, int& AValue) {
  if (AText.empty() || AText.size() > 6) return false;
  int value = 0;
  for (char16_t c : AText) {
    if (c < u'0' || c > u'9') return false;
    value = value * 10 + (c - u'0');
  }
  AValue = value;
  return true;
}

// Every option, once: the parser takes them from here and --help shows them from here,
// in this order, under the heading of the first option of each group. An option with a
// Value takes one (in the next argument or after "="); one without sets its Flag.
struct TOptionSpec {
  const char* Heading; // starts a group of --help
  const char* Long;
  const char* Short; // or null
  const char* Value; // the value's name in --help, null for a flag
  bool TRunOptions::*Flag;
  const char* Help; // lines of up to 56 columns
};

const TOptionSpec Options[] = {
    {"Names", "--null", "-0", nullptr, &TRunOptions::NullSeparated,
     "with -: names end with NUL (find -print0, git ls-files\n-z)"},
    {nullptr, "--current", nullptr, "NAME", nullptr, "list NAME alone"},
    {"Before and after", "--confirm", nullptr, nullptr, &TRunOptions::Confirm,
     "show the changes (old -> new), each that will not go\nthrough as written marked "
     "with the reason, and ask\nbefore renaming anything"},
    {nullptr, "--dry-run", "-n", nullptr, &TRunOptions::DryRun,
     "show the changes so and rename nothing"},
    {nullptr, "--parents", "-p", nullptr, &TRunOptions::Parents,
     "make a missing folder of a new name right before the\nmove that needs it, unless a line "
     "makes it by a\nmove (below DIR only, links resolved); one made that\nis still empty at the "
     "end is removed again"},
    {nullptr, "--quiet", "-q", nullptr, &TRunOptions::Quiet, "no summary at the end"},
    {nullptr, "--verbose", "-v", nullptr, &TRunOptions::Verbose,
     "list every changed line on standard output, and why\none did not take effect"},
    {nullptr, "--answer", nullptr, "N", nullptr,
     "answer every question with button N (1 is the first)\nwithout asking; 0, or a number "
     "beyond a question's\nbuttons, cancels it; for --confirm, 1 is yes"},
    {"Program", "--plugin", nullptr, "PATH", nullptr,
     "the plugin module (default: the one that came with\nthis program)"},
    {nullptr, "--lang", nullptr, "NAME", nullptr,
     "language of the texts, e.g. English, Russian\n(default English)"},
    {nullptr, "--version", nullptr, nullptr, &TRunOptions::Version,
     "the versions of this program and of the plugin"},
    {nullptr, "--help", "-h", nullptr, &TRunOptions::Help, "this text"},
};

// The option of AName, long or short; null when there is none.
const TOptionSpec* FindOption(const std::u16string& AName) {
  for (const auto& option : Options) {
    if (AName == Utf8ToUtf16(option.Long) || (option.Short && AName == Utf8ToUtf16(option.Short)))
      return &option;
  }
  return nullptr;
}

bool* FlagOption(const std::u16string& AName, TRunOptions& AOptions) {
  const TOptionSpec* option = FindOption(AName);
  return option && option->Flag ? &(AOptions.*(option->Flag)) : nullptr;
}

// Short flags given together, as in -nv.
bool SetShortFlags(const std::u16string& AArgument, TRunOptions& AOptions) {
  if (AArgument.size() < 2 || AArgument[1] == u'-') return false;
  for (size_t i = 1; i < AArgument.size(); ++i) {
    if (!FlagOption(std::u16string{u'-', AArgument[i]}, AOptions)) return false;
  }
  for (size_t i = 1; i < AArgument.size(); ++i)
    *FlagOption(std::u16string{u'-', AArgument[i]}, AOptions) = true;
  return true;
}

bool SetValueOption(const std::u16string& AName, const std::u16string& AValue,
                    TRunOptions& AOptions, std::string& AError) {
  if (AName == u"--plugin") {
    AOptions.Plugin = AValue;
  } else if (AName == u"--lang") {
    AOptions.Language = AValue;
  } else if (AName == u"--current") {
    AOptions.Current = AValue;
  } else if (!ParseCount(AValue, AOptions.Answer)) {
    AError = "--answer takes a button number (1 is the first button, 0 cancels), not '" +
             Utf16ToUtf8(AValue) + "'";
    return false;
  }
  return true;
}

// DIR and the NAMEs; "-" reads names from standard input, in place of DIR too.
bool SetPositional(std::vector<std::u16string> APositional, TRunOptions& AOptions,
                   std::string& AError) {
  if (!APositional.empty() && APositional.front() == u"-")
    APositional.insert(APositional.begin(), u"");
  if (!APositional.empty()) {
    AOptions.Directory = APositional.front();
    for (auto name = APositional.begin() + 1; name != APositional.end(); ++name) {
      if (*name != u"-") {
        AOptions.Names.push_back(*name);
      } else if (AOptions.NamesFromInput) {
        AError = "- can be given once";
        return false;
      } else {
        AOptions.NamesFromInput = true;
      }
    }
  }
  return true;
}

// Options that cannot go together.
bool CheckCombinations(const TRunOptions& AOptions, std::string& AError) {
  const bool hasNames = !AOptions.Names.empty() || AOptions.NamesFromInput;
  if (!AOptions.Current.empty() && hasNames)
    AError = "--current and NAME arguments exclude each other";
  else if (AOptions.NullSeparated && !AOptions.NamesFromInput)
    AError = "--null is for names from standard input: give - as a NAME";
  else if (AOptions.Confirm && AOptions.DryRun)
    AError = "--confirm and --dry-run exclude each other";
  else if (AOptions.Quiet && AOptions.Verbose)
    AError = "--quiet and --verbose exclude each other";
  return AError.empty();
}

} // namespace

bool ParseOptions(const std::vector<std::u16string>& AArguments, TRunOptions& AOptions,
                  std::string& AError) {
  std::vector<std::u16string> positional;
  bool optionsEnded = false;
  for (size_t i = 0; i < AArguments.size(); ++i) {
    const std::u16string& argument = AArguments[i];
    if (optionsEnded || argument.size() < 2 || argument[0] != u'-') {
      positional.push_back(argument);
      continue;
    }
    if (argument == u"--") {
      optionsEnded = true;
      continue;
    }
    if (bool* flag = FlagOption(argument, AOptions)) {
      *flag = true;
      continue;
    }
    if (SetShortFlags(argument, AOptions)) continue;
    std::u16string name = argument;
    std::u16string value;
    bool hasValue = false;
    const size_t equals = argument.find(u'=');
    if (argument.rfind(u"--", 0) == 0 && equals != std::u16string::npos) {
      name = argument.substr(0, equals);
      value = argument.substr(equals + 1);
      hasValue = true;
    }
    const TOptionSpec* option = FindOption(name);
    if (!option || !option->Value) {
      AError = "unknown option " + Utf16ToUtf8(argument) + " (see --help)";
      return false;
    }
    if (!hasValue) {
      if (i + 1 >= AArguments.size()) {
        AError = "option " + std::string(option->Long) + " needs a value (see --help)";
        return false;
      }
      value = AArguments[++i];
    }
    if (!SetValueOption(Utf8ToUtf16(option->Long), value, AOptions, AError)) return false;
  }
  return SetPositional(std::move(positional), AOptions, AError) &&
         CheckCombinations(AOptions, AError);
}

namespace {

const char* const HelpIntroduction =
    R"(Usage: quorvane-run [OPTIONS] [DIR [NAME...]]
       quorvane-run [OPTIONS] [DIR] - < names
       quorvane-run [OPTIONS] FILE...          (the same as . FILE...)

Renames files by editing their names as text in your own editor. The names go
into a list, each line the current name and the new one in quotes; change the
second column, save and quit, and the files are renamed. A new name may lead
into a subfolder.

What is listed: every entry of DIR (default: the current directory), folders
first, or only the NAMEs. A NAME is a path below DIR (taken from DIR, else from
the current directory), listed relative to DIR; "-" reads more names from
standard input, one a line. When the first argument is a file, or a folder
that a NAME after it is not found in while every argument is an entry of the
current directory (as "quorvane-run *" gives them), all the arguments are
NAMEs of the current directory; ". NAME..." says so in any case. A name that
leads outside DIR (links resolved), is missing, holds a line break or a double
quote, or is not UTF-8 is left out of the list with a warning (exit status 1).

The editor is $VISUAL, else $EDITOR, else vi (notepad on Windows); it must not
return before you close the file (a graphical one may need its wait option,
"code --wait"). When names come from standard input, the editor and the
answers use the terminal. The list is a temporary file named like Zan74F6.txt
("Zan", up to four hex digits, ".txt") in $TMPDIR (else /tmp; %TEMP% on
Windows), deleted when the job ends. Lines that are no longer two quoted names
rename nothing; a question names them first, with the choice to rename the
other lines or to cancel.

Questions and messages go to the terminal (standard error where there is
none), so standard output carries only the changes that --confirm, --dry-run
and -v show. A rename that fails asks a numbered question: type a number and
Enter; Enter alone or the end of input picks none (the line is skipped), and
so does a question that an answer brought back five times in a row. Ctrl+C at
a question ends the job. Control characters in names show as \xHH.
)";

const char* const HelpClosing = R"(
At the end a line on standard error tells how many changed lines took effect,
as found on disk: "renamed 198 of 200 changed lines; 2 not renamed".

Exit status:
  0  every entry went through (for --dry-run: the changes were shown)
  1  some entry did not: a name was left out, a question reported a problem or
     was cancelled (among them the list that could not be read, when nothing
     is renamed, and lines of the list that could not be read, whichever the
     answer), --confirm was not answered yes, the editor failed (nothing is
     renamed then), or Ctrl+C, SIGTERM or SIGQUIT ended the job: at once at a
     question, else at the next point where no rename is under way, with the
     list deleted and what was renamed before left as it is
  2  nothing was attempted: bad command line, missing directory, no NAME left,
     a plugin that cannot be found, loaded or lacks an export, an editor that
     cannot be started

Examples:
  quorvane-run ~/photos                     rename the entries of a folder
  quorvane-run *.jpg                        rename the files named
  find . -name '*.jpg' | quorvane-run -     rename files of any subfolder
  quorvane-run --confirm ~/photos           see the changes before they are made
)";

// "  -n, --dry-run   show ...", the help's lines after the first indented below it.
std::string OptionLines(const TOptionSpec& AOption) {
  constexpr size_t HelpColumn = 20;
  std::string name = std::string("  ") + (AOption.Short ? AOption.Short + std::string(", ") : "") +
                     AOption.Long + (AOption.Value ? std::string(" ") + AOption.Value : "");
  name.resize(std::max(name.size() + 2, HelpColumn), ' ');
  std::string text = name;
  for (const char* c = AOption.Help; *c; ++c) {
    text.push_back(*c);
    if (*c == '\n') text.append(HelpColumn, ' ');
  }
  return text + "\n";
}

std::string BuildHelp() {
  std::string help = HelpIntroduction;
  for (const auto& option : Options) {
    if (option.Heading) {
      help += std::string("\n") + option.Heading + ":\n";
      if (std::string(option.Heading) == "Names")
        help += "  -                 read names from standard input, one a line\n";
    }
    help += OptionLines(option);
  }
  return help + HelpClosing;
}

} // namespace

const std::string& HelpText() {
  static const std::string help = BuildHelp();
  return help;
}

} // namespace host
