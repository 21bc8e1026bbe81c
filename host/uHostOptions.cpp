#include "uHostOptions.h"

#include <algorithm>

#include "system/uUtf8.h"
#include "uHostMessages.h"
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

// Every option, once: the parser takes them from here and --help shows them from here,
// in this order, under the heading of the first option of each group. An option with a
// Value takes one (in the next argument or after "="); one without sets its Flag.
constexpr THostText NoHeading = htCount;

struct TOptionSpec {
  THostText Heading; // starts a group of --help, or NoHeading
  const char* Long;
  const char* Short; // or null
  const char* Value; // the value's name in --help, null for a flag
  bool TRunOptions::*Flag;
  THostText Help;
};

const TOptionSpec Options[] = {
    {htHelpNames, "--null", "-0", nullptr, &TRunOptions::NullSeparated, htHelpNull},
    {NoHeading, "--current", nullptr, "NAME", nullptr, htHelpCurrent},
    {htHelpBeforeAndAfter, "--confirm", nullptr, nullptr, &TRunOptions::Confirm, htHelpConfirm},
    {NoHeading, "--dry-run", "-n", nullptr, &TRunOptions::DryRun, htHelpDryRun},
    {NoHeading, "--yes", nullptr, nullptr, &TRunOptions::Yes, htHelpYes},
    {NoHeading, "--parents", "-p", nullptr, &TRunOptions::Parents, htHelpParents},
    {NoHeading, "--quiet", "-q", nullptr, &TRunOptions::Quiet, htHelpQuiet},
    {NoHeading, "--verbose", "-v", nullptr, &TRunOptions::Verbose, htHelpVerbose},
    {NoHeading, "--answer", nullptr, "N", nullptr, htHelpAnswer},
    {NoHeading, "--no-record", nullptr, nullptr, &TRunOptions::NoRecord, htHelpNoRecord},
    {htHelpUndoHeading, "--undo", nullptr, nullptr, &TRunOptions::Undo, htHelpUndo},
    {NoHeading, "--redo", nullptr, nullptr, &TRunOptions::Redo, htHelpRedo},
    {NoHeading, "--list", nullptr, nullptr, &TRunOptions::List, htHelpList},
    {htHelpProgram, "--plugin", nullptr, "PATH", nullptr, htHelpPlugin},
    {NoHeading, "--lang", nullptr, "NAME", nullptr, htHelpLang},
    {NoHeading, "--version", nullptr, nullptr, &TRunOptions::Version, htHelpVersion},
    {NoHeading, "--help", "-h", nullptr, &TRunOptions::Help, htHelpHelp},
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
    AError = Utf16ToUtf8(Say(htAnswerNotANumber, {AValue}));
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
        AError = Utf16ToUtf8(Say(htDashOnce));
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
  std::u16string error;
  if (!AOptions.Current.empty() && hasNames)
    error = Say(htCurrentAndNames);
  else if (AOptions.NullSeparated && !AOptions.NamesFromInput)
    error = Say(htNullWithoutDash);
  else if (AOptions.Confirm && AOptions.DryRun)
    error = Say(htExcludeEachOther, {u"--confirm", u"--dry-run"});
  else if (AOptions.Quiet && AOptions.Verbose)
    error = Say(htExcludeEachOther, {u"--quiet", u"--verbose"});
  else if (AOptions.Undo && AOptions.Redo)
    error = Say(htExcludeEachOther, {u"--undo", u"--redo"});
  else if ((AOptions.Undo || AOptions.Redo) && (hasNames || !AOptions.Current.empty()))
    error = Say(htUndoTakesDir);
  else if (AOptions.List && !AOptions.Undo && !AOptions.Redo)
    error = Say(htListWithoutUndo);
  AError = Utf16ToUtf8(error);
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
      AError = Utf16ToUtf8(Say(htUnknownOption, {argument}));
      return false;
    }
    if (!hasValue) {
      if (i + 1 >= AArguments.size()) {
        AError = Utf16ToUtf8(Say(htNeedsValue, {Utf8ToUtf16(option->Long)}));
        return false;
      }
      value = AArguments[++i];
    }
    if (!SetValueOption(Utf8ToUtf16(option->Long), value, AOptions, AError)) return false;
  }
  return SetPositional(std::move(positional), AOptions, AError) &&
         CheckCombinations(AOptions, AError);
}

std::u16string RequestedLanguage(const std::vector<std::u16string>& AArguments) {
  std::u16string language = u"English";
  for (size_t i = 0; i < AArguments.size() && AArguments[i] != u"--"; ++i) {
    if (AArguments[i] == u"--lang" && i + 1 < AArguments.size())
      language = AArguments[++i];
    else if (AArguments[i].rfind(u"--lang=", 0) == 0)
      language = AArguments[i].substr(7);
  }
  return language;
}

namespace {

// "  -n, --dry-run   show ...", the option's text wrapped at spaces to its column.
std::u16string OptionLines(const char* AName, THostText AHelp) {
  constexpr size_t HelpColumn = 20, HelpWidth = 56;
  std::u16string text = u"  " + Utf8ToUtf16(AName);
  text.resize(std::max(text.size() + 2, HelpColumn), u' ');
  size_t column = 0;
  const std::u16string help = Say(AHelp);
  for (size_t start = 0; start < help.size();) {
    const size_t end = std::min(help.find(u' ', start), help.size());
    const std::u16string word = help.substr(start, end - start);
    if (column > 0 && column + 1 + TerminalColumns(word) > HelpWidth) {
      text += u"\n" + std::u16string(HelpColumn, u' ');
      column = 0;
    }
    text += (column > 0 ? u" " : u"") + word;
    column += (column > 0 ? 1 : 0) + TerminalColumns(word);
    start = end + 1;
  }
  return text + u"\n";
}

std::u16string OptionLines(const TOptionSpec& AOption) {
  const std::string name = (AOption.Short ? AOption.Short + std::string(", ") : "") + AOption.Long +
                           (AOption.Value ? std::string(" ") + AOption.Value : "");
  return OptionLines(name.c_str(), AOption.Help);
}

} // namespace

std::u16string HelpText() {
  std::u16string help;
  for (THostText part : {htHelpUsage, htHelpAbout, htHelpListed})
    help += Say(part) + u"\n\n";
  for (THostText part : {htHelpEditor, htHelpBrokenLines, htHelpWhereQuestionsGo})
    help += Say(part) + u"\n\n";
  help += Say(htHelpQuestions) + u"\n";
  for (const auto& option : Options) {
    if (option.Heading != NoHeading) {
      help += u"\n" + Say(option.Heading) + u"\n";
      if (option.Heading == htHelpNames) help += OptionLines("-", htHelpStandardInput);
    }
    help += OptionLines(option);
  }
  for (THostText part : {htHelpSummary, htHelpRecords, htHelpExitStatus, htHelpExamples})
    help += u"\n" + Say(part) + u"\n";
  return help;
}

} // namespace host
