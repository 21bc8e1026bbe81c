// The texts that quorvane-run writes itself (its summary, questions and warnings), in the
// languages of the plugin's language files: Russian, and English for any other.
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
  htCount
};

// Russian texts for ALanguage "Russian" (in any case), English ones for any other.
void UseHostLanguage(const std::u16string& ALanguage);
// The text AId, each "%1", "%2"... replaced by that argument.
std::u16string Say(THostText AId, std::initializer_list<std::u16string> AArguments = {});

} // namespace host
