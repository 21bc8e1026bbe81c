// The texts that quorvane-run writes itself (its summary, questions, warnings, errors, the
// list's header and --help), in the languages of the plugin's language files: Russian, and
// English for any other. Where Windows and POSIX differ (the shell, the terminal, the
// signals), a text is the one of the platform built for.
#pragma once

#include <initializer_list>
#include <string>

namespace host {

enum THostText : int {
  // the summary of a job
  htRenamedOf,
  htSkipped,
  htFailed,
  htNotRead,
  htNoSuchFiles,
  htOntoFolders,
  htCancelled,
  htWhySkipped,
  htWhyFailed,
  htWhyNotRead,
  htWhyHeaderChanged,
  htWhyNoSuchFile,
  htWhyCancelled,
  htWhyFolderStayed,
  htLineNumber,
  htMoreLines,
  htLeftUnderFreeName,
  // the plan of --dry-run and --confirm
  htOneChangedLine,
  htChangedLines,
  htWillNotGoThrough,
  htSameNewName,
  htNoFolder,
  htNoFolderOutside,
  htNewNameIsFolder,
  htNothingWasRenamed,
  htRenameQuestion,
  // questions
  htPressEnter,
  htChooseNumber,
  htTypeANumber,
  htQuestionCameBack,
  htAnswersNotTaken,
  htCannotWriteTerminal,
  htYesNo,
  // how the job ended
  htStopped,
  htInterruptedAfterRenames,
  htNotEveryEntry,
  htCannotReadList,
  htCannotWriteOutputNothing,
  htCannotWriteOutput,
  htInterruptedNothing,
  htNothingRenamed,
  htEditorFailed,
  htCannotStartEditor,
  htOpenedNoList,
  htLeftOutName,
  htNoLanguageFile,
  htJobEnded,
  // names left out, and why
  htHoldsLineBreak,
  htHoldsDoubleQuote,
  htNotUtf8,
  htLeadsOutside,
  htLeadsOutsideThroughLink,
  htDoesNotExist,
  htNothingBelow,
  htDirectoryEmpty,
  htNotADirectory,
  htNoSuchDirectory,
  htCannotReadNames,
  htNotMakingFolder,
  htCannotMakeFolder,
  // the command line, and what it needs to start
  htUnknownOption,
  htNeedsValue,
  htAnswerNotANumber,
  htDashOnce,
  htCurrentAndNames,
  htNullWithoutDash,
  htExcludeEachOther,
  htCannotTellOwnPlace,
  htNoPluginThere,
  htCannotLoadPlugin,
  htPluginLacksExport,
  htNoLanguageFiles,
  htNeedsFar,
  htNothingInPluginMenu,
  htNoEntry,
  htCannotReadDirectory,
  htNoProgramNamed,
  htProgramNotFound,
  htCannotBeExecuted,
  htCannotRunShell,
  htErrorNumber,
  htErrorWithNumber,
  htUnexpectedError,
  htNoVersionRecord,
  htUntitledPlugin,
  // the list's header in a terminal editor: what to do there, where FAR's keys mean nothing
  htListHeader,
  // --help, in its order; an option's text is wrapped to its column
  htHelpUsage,
  htHelpAbout,
  htHelpListed,
  htHelpEditor,
  htHelpBrokenLines,
  htHelpWhereQuestionsGo,
  htHelpQuestions,
  htHelpNames,
  htHelpBeforeAndAfter,
  htHelpProgram,
  htHelpStandardInput,
  htHelpNull,
  htHelpCurrent,
  htHelpConfirm,
  htHelpDryRun,
  htHelpParents,
  htHelpQuiet,
  htHelpVerbose,
  htHelpAnswer,
  htHelpPlugin,
  htHelpLang,
  htHelpVersion,
  htHelpHelp,
  htHelpSummary,
  htHelpExitStatus,
  htHelpExamples,
  htCount
};

// Russian texts for ALanguage "Russian" (in any case), English ones for any other.
void UseHostLanguage(const std::u16string& ALanguage);
// The text AId, each "%1", "%2"... replaced by that argument.
std::u16string Say(THostText AId, std::initializer_list<std::u16string> AArguments = {});

} // namespace host
