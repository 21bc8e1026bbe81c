// Every text the plugin shows is a message of its language file, selected by a small id.
#pragma once

#include <cstddef>
#include <cstdint>
#include <initializer_list>

using TMessageId = uint8_t;

constexpr TMessageId MNone = 255;

constexpr TMessageId MTitle = 0;
constexpr TMessageId MOk = 1;
constexpr TMessageId MReplacedFileKept = 2;
constexpr TMessageId MRetry = 3;
constexpr TMessageId MOverwrite = 4;
constexpr TMessageId MSkip = 5;
constexpr TMessageId MSkipAll = 6;
constexpr TMessageId MListHeader = 7;
constexpr TMessageId MEditorOpenError = 8;
constexpr TMessageId MEditorInfoError = 9;
constexpr TMessageId MNothingToList = 10;
constexpr TMessageId MSourceNotFound = 11;
constexpr TMessageId MListUnreadable = 12;
constexpr TMessageId MDestinationIsDirectory = 13;
constexpr TMessageId MFileKeptAs = 14;
constexpr TMessageId MMoveFailed = 15;
constexpr TMessageId MMoveFailedTo = 16;
constexpr TMessageId MSelectKeyLabel = 17;
constexpr TMessageId MSelectCommand = 18;
constexpr TMessageId MJumpKeyLabel = 19;
constexpr TMessageId MJumpCommand = 20;
constexpr TMessageId MNameKeptByList = 21;
constexpr TMessageId MWaitsAs = 22;
constexpr TMessageId MUnreadLines = 23;
constexpr TMessageId MUnreadLine = 24;
constexpr TMessageId MRenameOthers = 25;
constexpr TMessageId MCancel = 26;
constexpr TMessageId MNotFilesOnDisk = 27;
constexpr TMessageId MChangedSourceLine = 28;
constexpr TMessageId MEditAgain = 29;

// The text of message AId from the host, valid while the plugin is loaded; an empty text
// for MNone, without asking the host.
const char16_t* GetMessageText(TMessageId AId);

// A host message box of the texts of AIds: the first is the title, the last AButtons are
// the buttons. Answers the chosen button's index from 0, negative when cancelled.
intptr_t ShowMessageIds(const TMessageId* AIds, size_t ACount, int32_t AButtons, uint64_t AFlags);
intptr_t ShowMessageIds(std::initializer_list<TMessageId> AIds, int32_t AButtons, uint64_t AFlags);
