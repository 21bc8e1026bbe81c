#include "uHostOptions.h"

#include "uHostText.h"

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
    if (argument == u"-h" || argument == u"--help") {
      AOptions.Help = true;
      continue;
    }
    if (argument == u"--version") {
      AOptions.Version = true;
      continue;
    }
    std::u16string name = argument;
    std::u16string value;
    bool hasValue = false;
    const size_t equals = argument.find(u'=');
    if (argument.rfind(u"--", 0) == 0 && equals != std::u16string::npos) {
      name = argument.substr(0, equals);
      value = argument.substr(equals + 1);
      hasValue = true;
    }
    if (name != u"--plugin" && name != u"--lang" && name != u"--answer" && name != u"--current") {
      AError = "unknown option " + U16ToUtf8(argument) + " (see --help)";
      return false;
    }
    if (!hasValue) {
      if (i + 1 >= AArguments.size()) {
        AError = "option " + U16ToUtf8(name) + " needs a value (see --help)";
        return false;
      }
      value = AArguments[++i];
    }
    if (name == u"--plugin") {
      AOptions.Plugin = value;
    } else if (name == u"--lang") {
      AOptions.Language = value;
    } else if (name == u"--current") {
      AOptions.Current = value;
    } else if (!ParseCount(value, AOptions.Answer)) {
      AError = "--answer takes a button number (1 is the first button, 0 cancels), not '" +
               U16ToUtf8(value) + "'";
      return false;
    }
  }
  if (!positional.empty()) {
    AOptions.Directory = positional.front();
    AOptions.Names.assign(positional.begin() + 1, positional.end());
  }
  if (!AOptions.Current.empty() && !AOptions.Names.empty()) {
    AError = "--current and NAME arguments exclude each other";
    return false;
  }
  return true;
}

const char* HelpText() {
  return R"(Usage: quorvane-run [OPTIONS] [DIR [NAME...]]

Renames files in DIR (default: the current directory) by editing their names as text,
with the Quorvane plugin and your own editor, as FAR Manager would run it.

The panel is DIR: ".." first (unless DIR is a root), then folders, then files, each
sorted by name; names that are not UTF-8 or hold a line break are left out, with a
warning. The NAMEs are selected; without NAMEs every entry but ".." is. The plugin
writes the list of names; it opens in $VISUAL, else $EDITOR, else vi (notepad on
Windows), at the first entry line where the editor takes +N. Change the second
column, save and quit: the files are renamed. The editor must not return before you
close the file (a graphical one may need its wait option, e.g. "code --wait"). The
list is a temporary file named like Zan74F6.txt ("Zan", up to four hex digits, ".txt")
in $TMPDIR (else /tmp; %TEMP% on Windows), deleted when the job ends. Lines that are
no longer two quoted names rename nothing; a question names them first, with the
choice to rename the other lines or to cancel.
Questions of the plugin are numbered prompts: type a number and Enter; Enter alone,
Ctrl+C or the end of input cancels, and so does a question that an answer brought back
five times in a row. Control characters in names show as \xHH.

Options:
  --plugin PATH   the plugin module (default: the package that came with this program,
                  found from the program's own location)
  --lang NAME     language of the plugin's texts, e.g. English, Russian (default English)
  --answer N      answer every question with button N (1 is the first) without asking;
                  0, or a number beyond a question's buttons, cancels it
  --current NAME  put the cursor on NAME and select nothing: lists NAME alone
  --version       the versions of this program and of the plugin
  -h, --help      this text

Exit status:
  0  every entry went through: no message box reported a problem (a failure prompt
     answered with Retry or Overwrite counts only when the next attempt succeeds)
  1  some entry did not: a message box reported a problem or was cancelled (among
     them the list that could not be read, when nothing is renamed, and lines of
     the list that could not be read, whichever the answer), the editor
     failed (nothing is renamed then), or Ctrl+C or SIGTERM outside a question,
     SIGTERM or SIGQUIT at one, or a question that could not be written to standard
     output ended the job: at the next point where no rename is under way, with the
     list deleted and what was renamed before left as it is
  2  nothing was attempted: bad command line, missing directory or NAME, a plugin
     that cannot be found, loaded or lacks an export, an editor that cannot be started
)";
}

} // namespace host
