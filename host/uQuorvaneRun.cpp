// quorvane-run: plays FAR Manager's part in a terminal so that the plugin's main job runs
// anywhere. It loads the plugin through its exports as FAR does, shows it a panel on a
// real directory, starts the user's editor on the list the plugin writes, and sends the
// editor-close event when the editor exits, so the plugin renames the files.
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

#include "farside/uLngFile.h"
#include "files/uStrings.h"
#include "uHostListHeader.h"
#include "uHostOptions.h"
#include "uHostPanel.h"
#include "uHostPlatform.h"
#include "uHostPlugin.h"
#include "uHostPrompt.h"
#include "uHostServices.h"
#include "uHostText.h"

namespace host {

namespace {

// The messages name files and folders: their control characters are shown, not sent.
void Warn(const std::string& AMessage) {
  WriteErr(u"quorvane-run: " + EscapeControlCharacters(Utf8ToU16(AMessage)) + u"\n");
}

int Fail(int AStatus, const std::string& AMessage) {
  Warn(AMessage);
  return AStatus;
}

std::u16string DirectoryOf(const std::u16string& AFileName) {
  const size_t slash = AFileName.find_last_of(u"/\\");
  return slash == std::u16string::npos ? std::u16string() : AFileName.substr(0, slash + 1);
}

// The plugin that came with this program, found from the program's own location and
// never through the working directory: beside it as the build lays it out in dist/,
// else where the install rules put it (bin/ and lib/quorvane/Quorvane/), or on Windows
// where the release zip does (the folder Quorvane/ beside the program).
bool DefaultPlugin(std::u16string& APlugin, std::string& AError) {
  const std::u16string self = ExecutableFileName();
  if (self.empty() || !U16ToPath(self).is_absolute()) {
    AError = "cannot tell where this program is, so not where its plugin is either; name the "
             "plugin with --plugin PATH";
    return false;
  }
  std::vector<std::u16string> candidates;
  for (const char* relative : {QUORVANE_DEFAULT_PLUGIN, QUORVANE_INSTALLED_PLUGIN}) {
    std::u16string path = Utf8ToU16(relative);
    std::replace(path.begin(), path.end(), u'/', PathDelimiter);
    candidates.push_back(FullPathName(DirectoryOf(self) + path, false));
    if (FileExists(candidates.back())) {
      APlugin = candidates.back();
      return true;
    }
  }
  AError = "no plugin where this program looks for it: " + U16ToUtf8(candidates[0]) + " or " +
           U16ToUtf8(candidates[1]) + " (name one with --plugin PATH)";
  return false;
}

bool FindPlugin(const TRunOptions& AOptions, std::u16string& APlugin, std::string& AError) {
  if (AOptions.Plugin.empty()) return DefaultPlugin(APlugin, AError);
  APlugin = FullPathName(AOptions.Plugin, false);
  return true;
}

// The plugin's version as FAR shows it, from its own description: the version record's
// major.minor.0.patch comes back as major, minor and build.
std::string PluginVersion(const GlobalInfo& AInfo) {
  const VersionInfo& v = AInfo.Version;
  if (v.Major == 0 && v.Minor == 0 && v.Revision == 0 && v.Build == 0) {
    return "(no version record)";
  }
  std::string text = std::to_string(v.Major) + "." + std::to_string(v.Minor) + ".";
  if (v.Revision != 0) text += std::to_string(v.Revision) + ".";
  return text + std::to_string(v.Build);
}

int PrintVersion(const TRunOptions& AOptions) {
  WriteOut(u"quorvane-run " + Utf8ToU16(QUORVANE_VERSION) + u"\n");
  std::u16string pluginFile;
  std::string error;
  TPlugin plugin;
  if (!FindPlugin(AOptions, pluginFile, error) || !plugin.Load(pluginFile, error)) {
    return Fail(ExitCannotRun, error);
  }
  // FAR asks for the description before anything else too; it needs no service.
  GlobalInfo global{};
  global.StructSize = sizeof(global);
  plugin.GetGlobalInfoW(&global);
  const std::u16string title = global.Title ? global.Title : u"plugin";
  WriteOut(title + u" " + Utf8ToU16(PluginVersion(global)) + u" (" + pluginFile + u")\n");
  plugin.Unload();
  return ExitAllDone;
}

// The plugin's texts in AOptions' language, from the .lng files beside the plugin; the
// English ones when there are none in that language, as FAR falls back.
bool LoadMessages(const std::u16string& APluginFileName, const std::u16string& ALanguage,
                  std::vector<std::u16string>& AMessages, std::string& AError) {
  const std::filesystem::path folder = U16ToPath(DirectoryOf(APluginFileName));
  std::vector<TLngFile> files;
  std::error_code error;
  for (std::filesystem::directory_iterator it(folder, error), end; !error && it != end;
       it.increment(error)) {
    const auto extension = PathToU16(it->path().extension());
    if (CompareNames(extension, u".lng") != 0) continue;
    std::ifstream stream(it->path(), std::ios::binary);
    std::ostringstream bytes;
    bytes << stream.rdbuf();
    files.push_back(ParseLngText(bytes.str()));
  }
  for (const std::u16string& wanted : {ALanguage, std::u16string(u"English")}) {
    for (auto& file : files) {
      if (!file.Messages.empty() && CompareNames(file.LanguageName, wanted) == 0) {
        if (wanted != ALanguage) {
          Warn("no " + U16ToUtf8(ALanguage) + " language file; using English");
        }
        AMessages = std::move(file.Messages);
        // The list's header speaks of the terminal editor here, not of FAR's keys.
        UseHostListHeader(AMessages, file.LanguageName);
        return true;
      }
    }
  }
  AError = "no language file (.lng) beside the plugin in " + U16ToUtf8(PathToU16(folder));
  return false;
}

// The first word of a command line: the program, without VAR=value settings before it.
std::u16string CommandProgram(const std::u16string& ACommand) {
  size_t i = 0;
  for (;;) {
    while (i < ACommand.size() && (ACommand[i] == u' ' || ACommand[i] == u'\t'))
      ++i;
    std::u16string word;
    if (i < ACommand.size() && (ACommand[i] == u'"' || ACommand[i] == u'\'')) {
      const char16_t quote = ACommand[i++];
      while (i < ACommand.size() && ACommand[i] != quote)
        word.push_back(ACommand[i++]);
      ++i;
    } else {
      while (i < ACommand.size() && ACommand[i] != u' ' && ACommand[i] != u'\t') {
        word.push_back(ACommand[i++]);
      }
    }
    const size_t equals = word.find(u'=');
    if (equals == std::u16string::npos || equals == 0 || i >= ACommand.size() ||
        word.find_first_of(u"/\\") < equals) {
      return word;
    }
  }
}

// Editors that open a file at line N when given +N before it.
bool TakesStartLine(const std::u16string& AEditor) {
  std::u16string name = CommandProgram(AEditor);
  const size_t slash = name.find_last_of(u"/\\");
  if (slash != std::u16string::npos) name.erase(0, slash + 1);
  for (auto& c : name) {
    if (c >= u'A' && c <= u'Z') c += 32;
  }
  if (name.size() > 4 && name.compare(name.size() - 4, 4, u".exe") == 0)
    name.resize(name.size() - 4);
  static const char16_t* const editors[] = {u"vi",          u"vim",    u"nvim", u"view",  u"vis",
                                            u"gvim",        u"nano",   u"pico", u"rnano", u"emacs",
                                            u"emacsclient", u"jed",    u"joe",  u"jmacs", u"jstar",
                                            u"jpico",       u"mcedit", u"ne",   u"micro", u"kak",
                                            u"mg",          u"elvis",  u"nvi",  u"ex",    u"kate"};
  return std::any_of(std::begin(editors), std::end(editors),
                     [&](const char16_t* AName) { return name == AName; });
}

std::u16string EditorCommand() {
  for (const char* variable : {"VISUAL", "EDITOR"}) {
    const std::u16string value = GetEnvironment(variable);
    if (value.find_first_not_of(u" \t") != std::u16string::npos) return value;
  }
#ifdef _WIN32
  return u"notepad";
#else
  return u"vi";
#endif
}

int Run(const std::vector<std::u16string>& AArguments) {
  TRunOptions options;
  std::string error;
  if (!ParseOptions(AArguments, options, error)) return Fail(ExitCannotRun, error);
  if (options.Help) {
    WriteOut(Utf8ToU16(HelpText()));
    return ExitAllDone;
  }
  if (options.Version) return PrintVersion(options);

  // The panel.
  TPanel panel;
  if (!panel.Load(options.Directory.empty() ? u"." : options.Directory, error)) {
    return Fail(ExitCannotRun, error);
  }
  for (const auto& unlisted : panel.Unlisted()) {
    Warn(std::string("left out a name that ") +
         (unlisted.LineBreak ? "holds a line break: " : "is not UTF-8: ") +
         U16ToUtf8(unlisted.Name));
  }
  if (!options.Current.empty()) {
    if (!panel.SetCurrent(options.Current, error)) return Fail(ExitCannotRun, error);
  } else if (!options.Names.empty()) {
    if (!panel.SelectNames(options.Names, error)) return Fail(ExitCannotRun, error);
  } else if (panel.EntryCount() == 0) {
    return Fail(ExitCannotRun, "nothing to rename: " + U16ToUtf8(panel.Directory()) + " is empty");
  } else {
    panel.SelectAll();
  }

  // The plugin and its texts.
  std::u16string pluginFile;
  TPlugin plugin;
  if (!FindPlugin(options, pluginFile, error) || !plugin.Load(pluginFile, error)) {
    return Fail(ExitCannotRun, error);
  }
  std::vector<std::u16string> messages;
  if (!LoadMessages(pluginFile, options.Language, messages, error)) {
    return Fail(ExitCannotRun, error);
  }

  // From here on Ctrl+C and SIGTERM end the job where that leaves nothing behind.
  CatchSignals();

  // FAR works in the active panel's directory, and so does the editor.
  ChangeDirectory(panel.Directory());
  TPrompter prompter(options.Answer);
  THostServices services(panel, prompter, std::move(messages), pluginFile);
  services.SetEndJobHook([&plugin] {
    ExitInfo exit{};
    exit.StructSize = sizeof(exit);
    plugin.ExitFARW(&exit);
  });

  // The order of the calls is the host's: service tables first, then the descriptions.
  plugin.SetStartupInfoW(services.StartupInfo());
  GlobalInfo global{};
  global.StructSize = sizeof(global);
  plugin.GetGlobalInfoW(&global);
  if (global.MinFarVersion.Major > 3) {
    return Fail(ExitCannotRun,
                "the plugin needs FAR " + std::to_string(global.MinFarVersion.Major));
  }
  PluginInfo info{};
  info.StructSize = sizeof(info);
  plugin.GetPluginInfoW(&info);
  if (info.PluginMenu.Count < 1 || !info.PluginMenu.Guids) {
    return Fail(ExitCannotRun, "the plugin offers nothing in the plugin menu");
  }
  // The user picks the plugin's first item in the plugin menu of the panels.
  const GUID menuItem = info.PluginMenu.Guids[0];
  OpenInfo open{};
  open.StructSize = sizeof(open);
  open.OpenFrom = OPEN_PLUGINSMENU;
  open.Guid = &menuItem;
  plugin.OpenW(&open);

  int status = ExitAllDone;
  TEditorRequest& editor = services.Editor();
  if (TakeSignal() != sigNone) {
    status = Fail(ExitNotAllDone, "interrupted; nothing renamed");
  } else if (!editor.Open) {
    if (!services.ProblemReported()) Warn("the plugin opened no list");
    status = ExitNotAllDone;
  } else {
    const std::u16string command = EditorCommand();
    std::vector<std::u16string> arguments;
    if (editor.StartLine > 0 && TakesStartLine(command)) {
      arguments.push_back(u"+" + Utf8ToU16(std::to_string(editor.StartLine)));
    }
    arguments.push_back(editor.FileName);
    int editorStatus = 0;
    if (!RunEditor(command, arguments, editorStatus, error)) {
      status = Fail(ExitCannotRun, "cannot start the editor " + U16ToUtf8(command) + ": " + error);
    } else if (editorStatus != 0) {
      // As git does: an editor that fails gives no go-ahead, so nothing is renamed.
      status = Fail(ExitNotAllDone, "the editor ended with status " + std::to_string(editorStatus) +
                                        "; nothing renamed");
    } else if (TakeSignal() != sigNone) {
      status = Fail(ExitNotAllDone, "interrupted; nothing renamed");
    } else {
      // The plugin reads the list and tells what it did, also when it cannot read it.
      ProcessEditorEventInfo event{};
      event.StructSize = sizeof(event);
      event.Event = EE_CLOSE;
      event.EditorID = editor.Id;
      plugin.ProcessEditorEventW(&event);
      if (TakeSignal() != sigNone) {
        status = Fail(ExitNotAllDone, "interrupted after the renames were done");
      } else if (services.ProblemReported()) {
        status = Fail(ExitNotAllDone, "not every entry went through");
      }
    }
  }

  ExitInfo exit{};
  exit.StructSize = sizeof(exit);
  plugin.ExitFARW(&exit);
  plugin.Unload();
  // FAR deletes the file of an editor opened with EF_DELETEONLYFILEONCLOSE when it closes.
  if (editor.Open && (editor.Flags & EF_DELETEONLYFILEONCLOSE) && FileExists(editor.FileName)) {
    std::error_code ignored;
    std::filesystem::remove(U16ToPath(editor.FileName), ignored);
  }
  return status;
}

} // namespace

} // namespace host

#ifdef _WIN32
int wmain(int argc, wchar_t** argv) {
  std::vector<std::u16string> arguments;
  for (int i = 1; i < argc; ++i)
    arguments.emplace_back(reinterpret_cast<char16_t*>(argv[i]));
#else
int main(int argc, char** argv) {
  std::vector<std::u16string> arguments;
  for (int i = 1; i < argc; ++i)
    arguments.push_back(host::Utf8ToU16(argv[i]));
#endif
  try {
    return host::Run(arguments);
  } catch (const std::exception& e) {
    host::WriteErr(u"quorvane-run: " + EscapeControlCharacters(host::Utf8ToU16(e.what())) + u"\n");
  } catch (...) {
    host::WriteErr(u"quorvane-run: unexpected error\n");
  }
  return host::ExitCannotRun;
}
