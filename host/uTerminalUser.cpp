#include "uTerminalUser.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <utility>

#include "files/uStrings.h"

#include "messages/uMessages.h"
#include "system/uFilesystemPath.h"
#include "uHostMessages.h"
#include "uHostOptions.h"
#include "uHostPlatform.h"
#include "uHostPrompt.h"
#include "uHostText.h"

namespace host {

void TTerminalUser::BeginEnding() {
  if (fEnding) return;
  fEnding = true;
  if (fEndJobHook) fEndJobHook();
}

void TTerminalUser::EndJob() {
  ScreenRestored();
  BeginEnding();
  if (fCleanUp) fCleanUp();
  if (fModel) {
    for (const TEditorWindow& editor : fModel->Editors) {
      std::error_code ignored;
      std::filesystem::remove(U16ToPath(editor.FileName), ignored);
    }
  }
  WriteErr(u"quorvane-run: " + Say(htJobEnded) + u"\n");
  std::_Exit(ExitNotAllDone);
}

bool TTerminalUser::TriesAgain(const TFarMessageBox& ABox, intptr_t AAnswer) const {
  if (!fModel || AAnswer < 0 || ABox.Buttons.size() < 2 ||
      static_cast<size_t>(AAnswer) >= ABox.Buttons.size())
    return false;
  const std::u16string& chosen = ABox.Buttons[static_cast<size_t>(AAnswer)];
  // Editing the list again brings the same box back until the list is mended: counted as
  // a try, so that an answer that keeps asking for it (--answer) ends.
  return chosen == fModel->Msg(MRetry) || chosen == fModel->Msg(MOverwrite) ||
         chosen == fModel->Msg(MEditAgain);
}

namespace {

// APath without the prefix that lifts Windows' path length limit, as the host spells it.
std::u16string WithoutLongPathPrefix(const std::u16string& APath) {
  if (APath.rfind(u"\\\\?\\UNC\\", 0) == 0) return u"\\\\" + APath.substr(8);
  if (APath.rfind(u"\\\\?\\", 0) == 0) return APath.substr(4);
  return APath;
}

} // namespace

std::u16string TTerminalUser::FailedDestination(const TFarMessageBox& ABox) const {
  const auto& lines = ABox.Lines;
  if (!fModel || lines.empty() || lines[0] != fModel->Msg(MMoveFailed)) return {};
  const auto to = std::find(lines.begin(), lines.end(), fModel->Msg(MMoveFailedTo));
  return to != lines.end() && to + 1 != lines.end() ? WithoutLongPathPrefix(*(to + 1))
                                                    : std::u16string();
}

void TTerminalUser::NoteEvent(const TFarMessageBox& ABox, intptr_t AAnswer) {
  if (!fModel || ABox.Lines.empty()) return;
  const auto is = [this](const std::u16string& AText, TMessageId AId) {
    return AText == fModel->Msg(AId);
  };
  const std::u16string chosen = AAnswer >= 0 && size_t(AAnswer) < ABox.Buttons.size()
                                    ? ABox.Buttons[size_t(AAnswer)]
                                    : std::u16string();
  const auto& lines = ABox.Lines;
  if (is(lines[0], MMoveFailed)) {
    // Skip, Skip all or Esc: the line is left as it was.
    if (is(chosen, MRetry) || is(chosen, MOverwrite)) return;
    if (is(chosen, MSkipAll)) fEvents.SkipAll = true;
    fEvents.Skipped.insert(FailedDestination(ABox));
  } else if ((is(lines[0], MFileKeptAs) || is(lines[0], MReplacedFileKept)) && lines.size() > 1) {
    fEvents.FreeNames.push_back(lines[1]);
  } else if (std::find_if(ABox.Buttons.begin(), ABox.Buttons.end(),
                          [&](const std::u16string& AButton) {
                            return is(AButton, MRenameOthers);
                          }) != ABox.Buttons.end()) {
    // The box of lines that cannot be read: anything but "rename the others" renames none.
    if (!is(chosen, MRenameOthers)) fEvents.Cancelled = true;
  }
}

bool TTerminalUser::TakeEscape() {
  const TSignal signal = fEnding ? sigNone : TakeSignal();
  if (signal == sigNone) return false;
  // Another signal ends the job at the question, as anywhere else.
  fSignalTaken = signal != sigInterrupt;
  fStopAsked = signal == sigInterrupt;
  return true;
}

namespace {

// The width of a line that the terminal does not wrap: the last column stays free.
size_t LineWidth() {
  int columns, rows;
  TerminalSize(columns, rows);
  return columns > 1 ? size_t(columns) - 1 : 79;
}

} // namespace

// The box's lines as one line, rewritten in place, in the terminal's width: when they do
// not fit, the last line (the progress box's name under way) loses the start of its path
// and keeps its file name; blanks pad the line so that a shorter one leaves nothing of a
// longer one.
void TTerminalUser::Show(const TFarMessageBox& ABox) {
  if (!fShowProgress) return;
  constexpr size_t LeastForTheLast = 16; // columns, or the last line stands alone
  std::u16string first, last;
  for (const std::u16string& text : ABox.Lines) {
    const size_t end = text.find_last_not_of(u' ');
    if (end == std::u16string::npos) continue;
    if (!last.empty()) first += (first.empty() ? u"" : u" ") + last;
    last = EscapeControlCharacters(ShownPathName(text.substr(0, end + 1)));
  }
  const size_t width = LineWidth();
  const size_t firstColumns = first.empty() ? 0 : TerminalColumns(first) + 1;
  std::u16string line =
      firstColumns + LeastForTheLast <= width
          ? (first.empty() ? u"" : first + u" ") + KeepEnd(last, width - firstColumns)
          : KeepEnd(last, width);
  line.append(width - std::min(width, TerminalColumns(line)), u' ');
  fProgressShown = WriteErr(u"\r" + line + u"\r") || fProgressShown;
}

void TTerminalUser::ScreenRestored() {
  if (fProgressShown) WriteErr(u"\r" + std::u16string(LineWidth(), u' ') + u"\r");
  fProgressShown = false;
}

intptr_t TTerminalUser::Answer(const TFarMessageBox& ABox) {
  const bool stopQuestion =
      fModel && ABox.Buttons.size() == 2 && ABox.Buttons[0] == fModel->Msg(MStop);
  if (stopQuestion && !fStopAsked && !fEnding) {
    // On Windows the Esc came from Ctrl+C: the signal is the answer.
    const TSignal signal = TakeSignal();
    fStopAsked = signal == sigInterrupt;
    fSignalTaken = signal != sigNone && signal != sigInterrupt;
  }
  if (fStopAsked && stopQuestion) {
    fStopAsked = false;
    fStopped = true;
    fEvents.Cancelled = true;
    return 0;
  }
  ScreenRestored();
  // A signal that came while the plugin worked ends the job here, where no move is under
  // way, once this box has been shown; one that comes while the user is asked is the
  // prompter's.
  const bool endAfterBox =
      !fEnding && (std::exchange(fSignalTaken, false) || TakeSignal() != sigNone);
  if (endAfterBox) BeginEnding();
  // A move that failed for want of its folder, which -p makes: tried again at once.
  if (!fEnding && fFolderMaker && !ABox.Empty && ABox.Buttons.size() > 1) {
    const std::u16string destination = FailedDestination(ABox);
    if (!destination.empty() && fFolderMaker(destination)) return 0; // Retry
  }
  // Whatever the plugin shows, the user is told of something that did not go as asked.
  const bool reportedBefore = fProblemReported;
  fProblemReported = true;
  if (ABox.Empty) {
    if (endAfterBox) EndJob();
    return -1;
  }
  // While the job ends, a box is shown without its buttons and counts as cancelled.
  static const std::vector<std::u16string> NoButtons;
  std::vector<std::u16string> lines;
  for (const std::u16string& line : ABox.Lines)
    lines.push_back(ShownPathName(line));
  const intptr_t answer = fPrompter.Ask(ABox.Title, lines, fEnding ? NoButtons : ABox.Buttons,
                                        (ABox.Flags & FMSG_WARNING) != 0);
  if (endAfterBox) EndJob();
  NoteEvent(ABox, fEnding ? -1 : answer);
  if (fEnding) return -1;
  if (fPrompter.Terminated()) EndJob();
  // The plugin tries again and comes back with a box if that fails as well; any other
  // answer to a question ends the question's line.
  if (TriesAgain(ABox, answer))
    fProblemReported = reportedBefore;
  else if (ABox.Buttons.size() > 1)
    fPrompter.ForgetRepeats();
  return answer;
}

intptr_t TTerminalUser::Choose(const TFarMenu& AMenu) {
  const intptr_t choice = fPrompter.Choose(AMenu.Title, AMenu.Items);
  if (fPrompter.Terminated()) EndJob();
  return choice;
}

} // namespace host
