#include "uHostPrompt.h"

#include <cctype>
#include <utility>

#include "files/uStrings.h"
#include "system/uSystem.h"
#include "system/uUtf8.h"
#include "uHostMessages.h"
#include "uHostPlatform.h"
#include "uHostText.h"

namespace host {

namespace {

constexpr int MaxRepeats = 5;

std::string Trim(const std::string& AText) {
  const size_t first = AText.find_first_not_of(" \t\r\n");
  if (first == std::string::npos) return {};
  const size_t last = AText.find_last_not_of(" \t\r\n");
  return AText.substr(first, last - first + 1);
}

// A button number typed by the user: digits only, 1 to ACount.
bool ParseChoice(const std::string& AText, size_t ACount, size_t& AChoice) {
  if (AText.empty() || AText.size() > 9) return false;
  size_t value = 0;
  for (char c : AText) {
    if (c < '0' || c > '9') return false;
    value = value * 10 + (c - '0');
  }
  if (value < 1 || value > ACount) return false;
  AChoice = value;
  return true;
}

} // namespace

bool TPrompter::ReadLine(std::string& ALine) {
  ALine.clear();
  for (;;) {
    char c;
    switch (ReadInput(c)) {
    case inByte:
      if (c == '\n') return true;
      ALine.push_back(c);
      break;
    case inEnd:
      return !ALine.empty();
    case inSignal:
      // A signal while the question is shown or waits, Ctrl+C as much as a request to
      // terminate: the question is cancelled and the job ends.
      TakeSignal();
      fTerminated = true;
      ALine.clear();
      return false;
    }
  }
}

intptr_t TPrompter::Ask(const std::u16string& ATitle, const std::vector<std::u16string>& ALines,
                        const std::vector<std::u16string>& AButtons, bool AWarning) {
  // The texts hold file names, which may hold anything: nothing of them may drive the
  // terminal or break a line of the box.
  std::u16string box = u"\n" + std::u16string(AWarning ? u"!! " : u"== ") +
                       EscapeControlCharacters(ATitle) + (AWarning ? u" !!" : u" ==") + u"\n";
  for (const auto& line : ALines)
    box += u"   " + EscapeControlCharacters(line) + u"\n";
  for (size_t i = 0; i < AButtons.size(); ++i) {
    box += (i == 0 ? u"   [" : u"  [") + Utf8ToUtf16(std::to_string(i + 1)) + u"] " +
           EscapeControlCharacters(StripHotKey(AButtons[i]));
  }
  if (!AButtons.empty()) box += u"\n";
  if (!Show(box)) {
    ShowOnError(box);
    return -1;
  }
  return Answer(box, AButtons.size());
}

intptr_t TPrompter::Choose(const std::u16string& ATitle,
                           const std::vector<std::u16string>& AItems) {
  std::u16string menu = u"\n== " + EscapeControlCharacters(ATitle) + u" ==\n";
  for (size_t i = 0; i < AItems.size(); ++i) {
    menu += u"   [" + Utf8ToUtf16(std::to_string(i + 1)) + u"] " +
            EscapeControlCharacters(StripHotKey(AItems[i])) + u"\n";
  }
  if (!Show(menu)) return -1;
  return Answer(menu, AItems.size());
}

bool TPrompter::Confirm(const std::u16string& AQuestion) {
  if (!Show(AQuestion + Say(htYesNo))) return false;
  if (fAnswer >= 0) return Show(fAnswer == 1 ? u"y\n" : u"n\n") && fAnswer == 1;
  std::string line;
  if (!ReadLine(line)) {
    Show(u"\n");
    return false;
  }
  line = Trim(line);
  if (!InputIsTerminal() && !Show(EscapeControlCharacters(Utf8ToUtf16(line)) + u"\n")) return false;
  for (char& c : line)
    c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return line == "y" || line == "yes";
}

bool TPrompter::Show(const std::u16string& AText) {
  if (WriteTerminal(AText)) return true;
  if (!fTerminated) WriteErr(u"quorvane-run: " + Say(htCannotWriteTerminal) + u"\n");
  fTerminated = true;
  return false;
}

void TPrompter::ShowOnError(const std::u16string& ABox) {
  WriteErr(!ABox.empty() && ABox[0] == u'\n' ? ABox.substr(1) : ABox);
}

void TPrompter::ForgetRepeats() {
  fLastBox = {};
  fBoxBefore = {};
}

int TPrompter::CountRepeat(const std::u16string& AShown) {
  if (AShown != fLastBox.Text) {
    std::swap(fLastBox, fBoxBefore);
    if (AShown != fLastBox.Text) fLastBox = {AShown, 0};
  }
  return ++fLastBox.Count;
}

intptr_t TPrompter::Answer(const std::u16string& AShown, size_t ACount) {
  if (ACount == 0) return -1;
  const std::u16string count = DecimalText(ACount);
  const std::u16string question = ACount == 1 ? Say(htPressEnter) : Say(htChooseNumber, {count});
  // A box of one button cannot come back by its answer: only questions are counted.
  if (ACount > 1 && CountRepeat(AShown) > MaxRepeats) {
    if (!Show(question + u"\n")) return -1;
    WriteErr(u"quorvane-run: " + Say(htQuestionCameBack, {DecimalText(MaxRepeats)}) + u"\n");
    return -1;
  }
  if (fAnswer >= 0) {
    if (!Show(question + Utf8ToUtf16(std::to_string(fAnswer)) + u"\n")) return -1;
    return (fAnswer >= 1 && static_cast<size_t>(fAnswer) <= ACount) ? fAnswer - 1 : -1;
  }
  for (int refused = 0;; ++refused) {
    if (refused == MaxRepeats) {
      WriteErr(u"quorvane-run: " + Say(htAnswersNotTaken, {DecimalText(MaxRepeats)}) + u"\n");
      return -1;
    }
    if (!Show(question)) return -1;
    std::string line;
    if (!ReadLine(line)) {
      Show(u"\n");
      return -1;
    }
    // Read from a file or pipe, the answer shows in the transcript as if typed.
    line = Trim(line);
    if (!InputIsTerminal() && !Show(EscapeControlCharacters(Utf8ToUtf16(line)) + u"\n")) return -1;
    if (line.empty()) return -1;
    size_t choice = 0;
    if (ParseChoice(line, ACount, choice)) return static_cast<intptr_t>(choice) - 1;
    if (ACount == 1) return -1; // a box that only waits for Enter takes any line
    if (!Show(Say(htTypeANumber, {count}) + u"\n")) return -1;
  }
}

} // namespace host
