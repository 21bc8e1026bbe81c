// Every text the plugin shows is a message of its language file, selected by a small id.
#pragma once

#include <cstddef>
#include <cstdint>
#include <initializer_list>

// The ids in the order of the language files' messages, from 0. A new message goes in
// before MCount and, at the same position, into every lng/*.lng.
enum TMessageId : uint8_t {
  MTitle,
  MOk,
  MReplacedFileKept,
  MRetry,
  MOverwrite,
  MSkip,
  MSkipAll,
  MListHeader,
  MEditorOpenError,
  MEditorInfoError,
  MNothingToList,
  MSourceNotFound,
  MListUnreadable,
  MDestinationIsDirectory,
  MFileKeptAs,
  MMoveFailed,
  MMoveFailedTo,
  MSelectKeyLabel,
  MSelectCommand,
  MJumpKeyLabel,
  MJumpCommand,
  MNameKeptByList,
  MWaitsAs,
  MUnreadLines,
  MUnreadLine,
  MRenameOthers,
  MCancel,
  MNotFilesOnDisk,
  MProgress,
  MStopQuestion,
  MStop,
  MContinue,
  MChangedSourceLine,
  MEditAgain,
  MHeaderChangedLine,
  MWhyLaterLine,
  MWhyNoLine,
  MWhyEarlierLine,
  MListKept,
  MCount // the number of messages
};

// No message: an empty text.
constexpr TMessageId MNone = TMessageId(255);
static_assert(MCount < MNone);

// The text of message AId from the host, valid while the plugin is loaded; an empty text
// for MNone, without asking the host.
const char16_t* GetMessageText(TMessageId AId);

// A host message box of the texts of AIds: the first is the title, the last AButtons are
// the buttons. Answers the chosen button's index from 0, negative when cancelled.
intptr_t ShowMessageIds(const TMessageId* AIds, size_t ACount, int32_t AButtons, uint64_t AFlags);
intptr_t ShowMessageIds(std::initializer_list<TMessageId> AIds, int32_t AButtons, uint64_t AFlags);
