// quorvane-run: plays FAR Manager's part in a terminal so that the plugin's main job runs
// anywhere. It loads the plugin through its exports as FAR does, shows it a panel on a
// real directory, starts the user's editor on the list the plugin writes, and sends the
// editor-close event when the editor exits, so the plugin renames the files.
#include <algorithm>
#include <filesystem>

#include "farside/uFarModel.h"
#include "farside/uLngFile.h"
#include "files/uStrings.h"
#include "list/uListFormat.h"
#include "messages/uMessages.h"
#include "system/uCompatibility.h"
#include "system/uFilesystemPath.h"
#include "system/uSystem.h"
#include "system/uUtf8.h"
#include "uEditorProcess.h"
#include "uHostListHeader.h"
#include "uHostMessages.h"
#include "uHostOptions.h"
#include "uHostPanel.h"
#include "uHostPlatform.h"
#include "uHostPlugin.h"
#include "uHostPrompt.h"
#include "uJobRecord.h"
#include "uMadeFolders.h"
#include "uNamedEntries.h"
#include "uRenamePlan.h"
#include "uTerminalUser.h"
#include "uUndo.h"

namespace host {

namespace {

// The user whose Ctrl+C is the console's Esc while the plugin renames.
TTerminalUser* ConsoleUser = nullptr;

// The messages name files and folders: their control characters are shown, not sent.
void Warn(const std::string& AMessage) {
  WriteErr(u"quorvane-run: " + EscapeControlCharacters(Utf8ToUtf16(AMessage)) + u"\n");
}

void Warn(THostText AText, std::initializer_list<std::u16string> AArguments = {}) {
  Warn(Utf16ToUtf8(Say(AText, AArguments)));
}

int Fail(int AStatus, const std::string& AMessage) {
  Warn(AMessage);
  return AStatus;
}

int Fail(int AStatus, THostText AText, std::initializer_list<std::u16string> AArguments = {}) {
  Warn(AText, AArguments);
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
    AError = Utf16ToUtf8(Say(htCannotTellOwnPlace));
    return false;
  }
  std::vector<std::u16string> candidates;
  for (const char* relative : {QUORVANE_DEFAULT_PLUGIN, QUORVANE_INSTALLED_PLUGIN}) {
    std::u16string path = Utf8ToUtf16(relative);
    std::replace(path.begin(), path.end(), u'/', PathDelimiter);
    candidates.push_back(FullPathName(DirectoryOf(self) + path, false));
    if (FileExists(candidates.back())) {
      APlugin = candidates.back();
      return true;
    }
  }
  AError = Utf16ToUtf8(Say(htNoPluginThere, {candidates[0], candidates[1]}));
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
    return Utf16ToUtf8(Say(htNoVersionRecord));
  }
  std::string text = std::to_string(v.Major) + "." + std::to_string(v.Minor) + ".";
  if (v.Revision != 0) text += std::to_string(v.Revision) + ".";
  return text + std::to_string(v.Build);
}

int PrintVersion(const TRunOptions& AOptions) {
  WriteOut(u"quorvane-run " + Utf8ToUtf16(QUORVANE_VERSION) + u"\n");
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
  const std::u16string title = global.Title ? global.Title : Say(htUntitledPlugin);
  WriteOut(title + u" " + Utf8ToUtf16(PluginVersion(global)) + u" (" + pluginFile + u")\n");
  plugin.Unload();
  return ExitAllDone;
}

void WarnLeftOut(const std::string& AReason, const std::u16string& AName) {
  Warn(htLeftOutName, {Utf8ToUtf16(AReason), AName});
}

void WarnRefused(const std::vector<TRefusedName>& ARefused) {
  for (const auto& name : ARefused)
    WarnLeftOut(name.Reason, name.Name);
}

// The panel of the named entries: those of the command line and of standard input.
// ALeftOut tells whether a name was left out.
bool FillPanelWithNames(const TRunOptions& AOptions, TPanelModel& APanel, bool& ALeftOut,
                        std::string& AError) {
  std::vector<std::u16string> names = AOptions.Names;
  std::vector<TRefusedName> refused;
  if (AOptions.NamesFromInput) {
    std::string bytes;
    if (!ReadStandardInput(bytes, AError)) {
      AError = Utf16ToUtf8(Say(htCannotReadNames, {Utf8ToUtf16(AError)}));
      return false;
    }
    const auto read = SplitNames(bytes, AOptions.NullSeparated, refused);
    names.insert(names.end(), read.begin(), read.end());
    // Standard input is spent: the editor and the questions get the terminal.
    InputFromTerminal();
  }
  const bool filled = LoadNamedEntries(
      APanel, AOptions.Directory.empty() ? u"." : AOptions.Directory, names, refused, AError);
  WarnRefused(refused);
  ALeftOut = !refused.empty();
  return filled;
}

// The panel of the job: the directory, with the entries to rename selected.
bool FillPanel(const TRunOptions& AOptions, TPanelModel& APanel, bool& ANamesLeftOut,
               std::string& AError) {
  if (!AOptions.Names.empty() || AOptions.NamesFromInput)
    return FillPanelWithNames(AOptions, APanel, ANamesLeftOut, AError);
  std::vector<TUnlistedName> unlisted;
  if (!LoadPanel(APanel, AOptions.Directory.empty() ? u"." : AOptions.Directory, unlisted, AError))
    return false;
  // With --current the list is that entry alone: the others are not left out of it.
  if (!AOptions.Current.empty()) return SetCurrentName(APanel, AOptions.Current, AError);
  for (const auto& name : unlisted)
    WarnLeftOut(name.Why, name.Name);
  ANamesLeftOut = !unlisted.empty();
  if (EntryCount(APanel) == 0) {
    AError = Utf16ToUtf8(Say(htDirectoryEmpty, {APanel.Directory}));
    return false;
  }
  APanel.SelectAll();
  return true;
}

// The plugin and its texts in the language asked for, as FAR loads them.
bool LoadPluginAndTexts(const TRunOptions& AOptions, TPlugin& APlugin, TFarModel& AModel,
                        std::string& AError) {
  std::u16string pluginFile;
  if (!FindPlugin(AOptions, pluginFile, AError) || !APlugin.Load(pluginFile, AError)) return false;
  std::vector<std::u16string> messages;
  bool fellBack = false;
  if (!LoadPluginTexts(pluginFile, AOptions.Language, messages, fellBack, AError)) {
    AError = Utf16ToUtf8(Say(htNoLanguageFiles, {DirectoryOf(pluginFile)}));
    return false;
  }
  if (fellBack) {
    UseHostLanguage(u"English");
    Warn(htNoLanguageFile, {AOptions.Language});
  }
  // The list's header speaks of the terminal editor here, not of FAR's keys.
  UseHostListHeader(messages);
  AModel.SetModuleName(pluginFile);
  AModel.SetMessages(std::move(messages));
  return true;
}

// FAR as the terminal shows it: one panel the size of half the terminal, no passive one,
// and one editor at a time that is the user's own program working on the file.
void FitModelToTerminal(TFarModel& AModel) {
  int columns = 0, rows = 0;
  TerminalSize(columns, rows);
  AModel.FarRect = {0, 0, static_cast<int16_t>(columns - 1), static_cast<int16_t>(rows - 1)};
  AModel.ActivePanel.Flags = PFLAGS_PANELLEFT;
  AModel.ActivePanel.Rect[2] = columns / 2 - 1;
  AModel.ActivePanel.Rect[3] = rows - 2;
  AModel.PassivePanel.Shown = false;
  AModel.HoldsEditorText = false;
  // One list at a time, and its next while it closes: the plugin opens the list again from
  // the close event when the user asks to edit it again.
  AModel.MaxEditors = 2;
  AModel.FullPathName = [](const std::u16string& AName, bool ANative) {
    // A name that is full already stays as given: the plugin looks its job up by it.
    if (!ANative && U16ToPath(AName).is_absolute()) return AName;
    return FullPathName(AName, ANative);
  };
}

// The calls FAR makes up to the user's choice of the plugin in the plugin menu: service
// tables first, then the descriptions, then the plugin's first menu item.
bool OpenPlugin(TPlugin& APlugin, const TFarModel& AModel, std::string& AError) {
  APlugin.SetStartupInfoW(AModel.StartupInfo());
  GlobalInfo global{};
  global.StructSize = sizeof(global);
  APlugin.GetGlobalInfoW(&global);
  if (global.MinFarVersion.Major > 3) {
    AError = Utf16ToUtf8(Say(htNeedsFar, {DecimalText(global.MinFarVersion.Major)}));
    return false;
  }
  PluginInfo info{};
  info.StructSize = sizeof(info);
  APlugin.GetPluginInfoW(&info);
  if (info.PluginMenu.Count < 1 || !info.PluginMenu.Guids) {
    AError = Utf16ToUtf8(Say(htNothingInPluginMenu));
    return false;
  }
  const GUID menuItem = info.PluginMenu.Guids[0];
  OpenInfo open{};
  open.StructSize = sizeof(open);
  open.OpenFrom = OPEN_PLUGINSMENU;
  open.Guid = &menuItem;
  APlugin.OpenW(&open);
  return true;
}

// What the host does around the plugin's renames, as the options ask.
struct TJob {
  const TRunOptions& Options;
  TPrompter& Prompter;
  TTerminalUser& User;
  std::u16string Directory; // the panel's
  TMadeFolders& Folders;    // those -p made
  TFarModel& Model;
  TRenamePlan& Plan; // what the list asks for, and what became of each line
  TPlugin& Plugin;
  TJobRecorder& Recorder; // the record of the moves that took effect, for --undo
  TUndo* Undo;            // the job undone, for --undo
};

// Whether the plugin opened its list again ("Edit the list again") from the close event of
// the editor AEditorId.
bool ListOpenedAgain(const TJob& AJob, intptr_t AEditorId) {
  const TEditorWindow* editor = AJob.Model.CurrentEditor();
  return editor && editor->Id != AEditorId;
}

// FAR's editor-close event, on which the plugin reads the list and renames; it tells
// what it did, also when it cannot read the list.
int CloseEditor(TPlugin& APlugin, const TEditorWindow& AEditor, const TJob& AJob) {
  ProcessEditorEventInfo event{};
  event.StructSize = sizeof(event);
  event.Event = EE_CLOSE;
  event.EditorID = AEditor.Id;
  APlugin.ProcessEditorEventW(&event);
  if (ListOpenedAgain(AJob, event.EditorID)) return ExitAllDone; // nothing renamed yet
  if (AJob.User.Stopped()) return Fail(ExitNotAllDone, htStopped);
  if (TakeSignal() != sigNone) return Fail(ExitNotAllDone, htInterruptedAfterRenames);
  if (AJob.User.ProblemReported()) return Fail(ExitNotAllDone, htNotEveryEntry);
  return ExitAllDone;
}

// The saved list's changes shown (and asked for with --confirm); false when the job is to
// end here with AStatus.
bool ShowPlan(bool APlanned, const TJob& AJob, int& AStatus) {
  const TRunOptions& options = AJob.Options;
  if (!options.DryRun && !options.Confirm) return true;
  if (!APlanned) {
    AStatus = Fail(ExitNotAllDone, htCannotReadList);
    return false;
  }
  const auto outside = [&AJob](const std::u16string& AFolder) {
    return !RealPathBelow(AFolder, AJob.Directory);
  };
  TRenamePlan& plan = AJob.Plan;
  // An undo tells its own plan, from what it found of each file.
  const std::u16string text =
      AJob.Undo ? AJob.Undo->PlanText() : plan.Text(options.Parents, outside);
  if (!WriteOut(text + (options.DryRun ? Say(htNothingWasRenamed) + u"\n" : u""))) {
    AStatus = Fail(ExitNotAllDone, htCannotWriteOutputNothing);
    return false;
  }
  // Lines set aside would rename nothing in the run either.
  AStatus = !AJob.Undo && plan.SetAside() > 0 ? ExitNotAllDone : ExitAllDone;
  if (options.DryRun) return false;
  const size_t changed = AJob.Undo ? AJob.Undo->Moves() : plan.Changed();
  if (changed == 0 || options.Yes || AJob.Prompter.Confirm(Say(htRenameQuestion))) {
    // The user has seen the lines set aside: "yes" renames the others, without asking again.
    plan.Report().Flags |= jrOthersAgreed;
    return true;
  }
  AStatus =
      Fail(ExitNotAllDone, AJob.Prompter.Terminated() ? htInterruptedNothing : htNothingRenamed);
  return false;
}

// What became of the lines: with -v every line on standard output (which can be kept:
// quorvane-run -v DIR > log), those that did not take effect with why; without it the first
// few of those on standard error; then the files left under a free name, and the counts.
void ShowSummary(const TJob& AJob) {
  std::u16string listed, named;
  AJob.Plan.Summary(AJob.Options.Verbose, listed, named);
  if (!listed.empty() && !WriteOut(listed)) Warn(htCannotWriteOutput);
  if (AJob.Undo) named += AJob.Undo->LeftAloneText(false, AJob.Options.Verbose);
  WriteErr(named + AJob.Recorder.UndoHint());
}

// The end of the renames, however the job ends: the folders -p made that are still empty
// removed (for an undo, also those made for the job it undoes), and the record of what
// took effect kept.
void EndRenames(const TJob& AJob) {
  std::vector<TRecordedFolder> stayed;
  AJob.Folders.RemoveEmpty(&stayed);
  if (AJob.Undo) AJob.Undo->RemoveFolders();
  if (AJob.Options.NoRecord) return;
  AJob.Recorder.FoldersStayed(stayed);
  std::u16string error;
  if (!AJob.Recorder.Save(error)) Warn(Utf16ToUtf8(error));
}

// The list's header as the plugin wrote it, which the plan reads as the plugin does.
std::u16string ListHeader(const TJob& AJob) {
  return FormatListHeader(AJob.Model.Msg(MListHeader), AJob.Directory);
}

// The plugin's report of every line, handed over through its own export while it renames.
void SetJobReport(const TJob& AJob, const TJobReport* AReport) {
  const auto set = reinterpret_cast<TSetJobReport>(AJob.Plugin.Procedure(SetJobReportExport));
  if (set) set(AReport);
}

// The plugin's renames with what the options add: the plan before (the list read once),
// the folders made for them, and the summary after, from what the plugin reports.
int Rename(const TEditorWindow& AEditor, const TJob& AJob) {
  const TRunOptions& options = AJob.Options;
  TRenamePlan& plan = AJob.Plan;
  const bool planned = (options.DryRun || options.Confirm || options.Parents || !options.Quiet ||
                        !options.NoRecord) &&
                       plan.Read(AEditor.FileName, ListHeader(AJob));
  int status = ExitAllDone;
  if (!ShowPlan(planned, AJob, status)) return status;
  plan.OnMakeFolder(nullptr);
  if (planned && options.Parents) {
    plan.OnMakeFolder([&AJob](const std::u16string& ADestination) {
      std::vector<std::u16string> warnings;
      const bool made = AJob.Folders.MakeFor(WithoutLongPathPrefix(ADestination), warnings);
      for (const auto& warning : warnings)
        WriteErr(u"quorvane-run: " + EscapeControlCharacters(warning) + u"\n");
      return made;
    });
  }
  plan.OnLineDone([&AJob, &plan](size_t ALine, TLineOutcome AOutcome) {
    // A line done: the next question is another one's.
    AJob.Prompter.ForgetRepeats();
    AJob.Recorder.LineDone(AOutcome == loCancelled);
    TEntryPaths paths;
    if (AOutcome != loRenamed || !plan.LinePaths(ALine, paths)) return;
    AJob.Folders.Moved(paths.Source, paths.Destination);
    if (!AJob.Options.NoRecord) AJob.Recorder.Moved(paths.Source, paths.Destination);
  });
  SetJobReport(AJob, &plan.Report());
  status = CloseEditor(AJob.Plugin, AEditor, AJob);
  SetJobReport(AJob, nullptr);
  // A line set aside without a box (the user saw it in the plan) is a line not done too.
  if (status == ExitAllDone && planned && !plan.AllRenamed() && !ListOpenedAgain(AJob, AEditor.Id))
    status = Fail(ExitNotAllDone, htNotEveryEntry);
  EndRenames(AJob);
  if (planned && !options.Quiet && !ListOpenedAgain(AJob, AEditor.Id)) ShowSummary(AJob);
  return status;
}

// The list in the user's editor, then the renames. Answers the exit status.
int EditAndRename(TPlugin& APlugin, const TEditorWindow& AEditor, const TJob& AJob) {
  // An undo's edit is the host's own: the moves of the record, backwards.
  if (AJob.Undo) {
    std::u16string error;
    if (!AJob.Undo->WriteList(AEditor.FileName, ListHeaderLines(AJob.Model.Msg(MListHeader)),
                              error))
      return Fail(ExitNotAllDone, Utf16ToUtf8(error));
    return Rename(AEditor, AJob);
  }
  const std::u16string command = EditorCommand();
  int editorStatus = 0;
  std::string error;
  if (!RunEditor(command, EditorArguments(command, AEditor.FileName, AEditor.StartLine),
                 editorStatus, error)) {
    return Fail(ExitCannotRun, htCannotStartEditor, {command, Utf8ToUtf16(error)});
  }
  if (editorStatus != 0) {
    // As git does: an editor that fails gives no go-ahead, so nothing is renamed.
    return Fail(ExitNotAllDone, htEditorFailed, {Utf8ToUtf16(std::to_string(editorStatus))});
  }
  if (TakeSignal() != sigNone) return Fail(ExitNotAllDone, htInterruptedNothing);
  (void)APlugin;
  return Rename(AEditor, AJob);
}

// What the plugin's opening led to: the editor it opened, or why there is none.
int AfterOpening(TPlugin& APlugin, TFarModel& AModel, const TJob& AJob) {
  if (TakeSignal() != sigNone) return Fail(ExitNotAllDone, htInterruptedNothing);
  TEditorWindow* editor = AModel.CurrentEditor();
  if (!editor) {
    if (!AJob.User.ProblemReported()) Warn(htOpenedNoList);
    return ExitNotAllDone;
  }
  // The names as written, for the plan's first-column check.
  if (AJob.Options.DryRun || AJob.Options.Confirm) AJob.Plan.NoteWritten(editor->FileName);
  for (;;) {
    const intptr_t id = editor->Id;
    const int status = EditAndRename(APlugin, *editor, AJob);
    // "Edit the list again": the user's editor starts again on the list as saved.
    if (!ListOpenedAgain(AJob, id)) return status;
    // The window that closed goes, as FAR's does once its close event is handled.
    AModel.CloseEditor(id);
    editor = AModel.CurrentEditor();
    AJob.User.ForgetProblems();
  }
}

// FAR's exit: the plugin's exit call, the module unloaded, and the editor's window gone,
// which deletes its file when it was opened with EF_DELETEONLYFILEONCLOSE.
void EndPlugin(TPlugin& APlugin, TFarModel& AModel) {
  ExitInfo exit{};
  exit.StructSize = sizeof(exit);
  APlugin.ExitFARW(&exit);
  APlugin.Unload();
  while (!AModel.Editors.empty())
    AModel.CloseEditor(AModel.Editors.back().Id);
}

// The job; AUndo: an undo, whose panel and list come from its record.
int RunJob(const TRunOptions& AOptions, TUndo* AUndo = nullptr) {
  TPrompter prompter(AOptions.Answer);
  TTerminalUser user(prompter);
  TFarModel model(user);
  user.Attach(model);
  user.ShowProgress(!AOptions.Quiet && ErrorIsTerminal());
  std::string error;
  bool namesLeftOut = false;
  if (AUndo ? !AUndo->FillPanel(model.ActivePanel, error)
            : !FillPanel(AOptions, model.ActivePanel, namesLeftOut, error))
    return Fail(ExitCannotRun, error);
  TPlugin plugin;
  if (!LoadPluginAndTexts(AOptions, plugin, model, error)) return Fail(ExitCannotRun, error);
  // From here on Ctrl+C and SIGTERM end the job where that leaves nothing behind.
  CatchSignals();
  // FAR works in the active panel's directory, and so does the editor.
  ChangeDirectory(model.ActivePanel.Directory);
  FitModelToTerminal(model);
  user.SetEndJobHook([&plugin] {
    ExitInfo exit{};
    exit.StructSize = sizeof(exit);
    plugin.ExitFARW(&exit);
  });
  std::u16string directory = model.ActivePanel.Directory;
  if (directory.empty() || !IsPathDelimiter(directory.back())) directory += PathDelimiter;
  TMadeFolders folders(directory);
  TRenamePlan plan(directory, model);
  TJobRecorder recorder(directory);
  if (AUndo) {
    recorder.Undoes(AUndo->Record(), AUndo->Kind());
    plan.OnMayChain([AUndo](size_t ALine, const std::u16string& ADestination) {
      return AUndo->MayChain(ALine, ADestination);
    });
  }
  if (!OpenPlugin(plugin, model, error)) return Fail(ExitCannotRun, error);
  const TJob job{AOptions, prompter, user, model.ActivePanel.Directory, folders, model, plan,
                 plugin,   recorder, AUndo};
  // Ctrl+C at a question ends the job there: what was done before it is kept in the record
  // and told all the same.
  user.SetCleanUp([&job] {
    EndRenames(job);
    if (job.Plan.IsRead() && !job.Options.Quiet) ShowSummary(job);
  });
  ConsoleUser = &user;
  CtrlCIsEscape(true);
  const int status = AfterOpening(plugin, model, job);
  CtrlCIsEscape(false);
  ConsoleUser = nullptr;
  EndPlugin(plugin, model);
  // An undo that went through every line of its list is done: --undo passes it over.
  std::u16string recordError;
  if (AUndo && recorder.Completed() && !AUndo->MarkUndone(recordError))
    Warn(Utf16ToUtf8(recordError));
  // A NAME the user gave and did not get, or a move left alone, is a job not done as asked.
  const bool leftOut = namesLeftOut || (AUndo && AUndo->LeftAlone() > 0);
  return status == ExitAllDone && leftOut ? ExitNotAllDone : status;
}

// --undo and --redo: the job of a record played backwards, its plan shown and asked for as
// with --confirm.
int Undo(TRunOptions AOptions) {
  if (AOptions.List) return ListJobs(AOptions);
  TUndo undo;
  std::u16string error;
  if (!undo.Choose(AOptions, error)) return Fail(ExitCannotRun, Utf16ToUtf8(error));
  if (!undo.Plan()) {
    WriteOut(undo.LeftAloneText(true, false));
    return Fail(ExitNotAllDone, htNothingLeftToUndo);
  }
  AOptions.Confirm = !AOptions.DryRun;
  // A redo makes again the folders that the undo removed.
  AOptions.Parents = AOptions.Parents || undo.Record().Kind == rkUndo;
  return RunJob(AOptions, &undo);
}

// The forms of the command line: "DIR [NAME...]", and names of the current directory as a
// shell's glob gives them (quorvane-run *). The first argument is a NAME as well when it
// is a file, or when it is a folder that the NAMEs after it are not found in while every
// argument is an entry of the current directory. ". NAME..." says the latter for certain.
void TakeArgumentsAsNames(TRunOptions& AOptions) {
  if (AOptions.Directory.empty() || !AOptions.Current.empty()) return;
  std::error_code error;
  const auto status = std::filesystem::status(U16ToPath(AOptions.Directory), error);
  if (error || !std::filesystem::exists(status)) return;
  if (std::filesystem::is_directory(status)) {
    if (AOptions.Names.empty() || AOptions.NamesFromInput ||
        AreNamesBelow(AOptions.Directory, AOptions.Names))
      return;
    std::vector<std::u16string> all = AOptions.Names;
    all.push_back(AOptions.Directory);
    if (!AreNamesBelow(u".", all)) return;
  }
  AOptions.Names.insert(AOptions.Names.begin(), AOptions.Directory);
  AOptions.Directory.clear();
}

int Run(const std::vector<std::u16string>& AArguments) {
  TRunOptions options;
  std::string error;
  UseHostLanguage(RequestedLanguage(AArguments));
  if (!ParseOptions(AArguments, options, error)) return Fail(ExitCannotRun, error);
  const bool undo = options.Undo || options.Redo;
  if (!undo) TakeArgumentsAsNames(options);
  if (options.Help) {
    WriteOut(HelpText());
    return ExitAllDone;
  }
  if (options.Version) return PrintVersion(options);
  return undo ? Undo(options) : RunJob(options);
}

} // namespace

} // namespace host

#ifndef _WIN32
// The console's input as the plugin's POSIX stand-in asks for it between two lines of a
// rename: Esc is Ctrl+C.
extern "C" __attribute__((visibility("default"))) int QuorvaneTakeConsoleEscape() {
  return host::ConsoleUser && host::ConsoleUser->TakeEscape() ? 1 : 0;
}
#endif

#ifdef _WIN32
int wmain(int argc, wchar_t** argv) {
  std::vector<std::u16string> arguments;
  for (int i = 1; i < argc; ++i)
    arguments.emplace_back(reinterpret_cast<char16_t*>(argv[i]));
#else
int main(int argc, char** argv) {
  std::vector<std::u16string> arguments;
  for (int i = 1; i < argc; ++i)
    arguments.push_back(Utf8ToUtf16(argv[i]));
#endif
  try {
    host::KeepStandardDescriptors();
    InitializeCompatibility(); // the entry points that older Windows versions lack
    return host::Run(arguments);
  } catch (const std::exception& e) {
    host::WriteErr(u"quorvane-run: " + EscapeControlCharacters(Utf8ToUtf16(e.what())) + u"\n");
  } catch (...) {
    host::WriteErr(u"quorvane-run: " + host::Say(host::htUnexpectedError) + u"\n");
  }
  return host::ExitCannotRun;
}
