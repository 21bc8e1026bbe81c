#include "uTerminalUser.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <utility>

#include "files/uStrings.h"

#include "list/uPathNames.h"
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
    last = EscapeControlCharacters(WithoutLongPathPrefix(text.substr(0, end + 1)));
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
    return 0;
  }
  ScreenRestored();
  // A signal that came while the plugin worked ends the job here, where no move is under
  // way, once this box has been shown; one that comes while the user is asked is the
  // prompter's.
  const bool endAfterBox =
      !fEnding && (std::exchange(fSignalTaken, false) || TakeSignal() != sigNone);
  if (endAfterBox) BeginEnding();
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
    lines.push_back(WithoutLongPathPrefix(line));
  const intptr_t answer = fPrompter.Ask(ABox.Title, lines, fEnding ? NoButtons : ABox.Buttons,
                                        (ABox.Flags & FMSG_WARNING) != 0);
  if (endAfterBox) EndJob();
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
