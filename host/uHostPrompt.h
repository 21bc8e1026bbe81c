// Message boxes and menus as numbered prompts on the terminal.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace host {

class TPrompter {
public:
  // AAnswer: the button number (from 1) that answers every question without asking, 0
  // to cancel every one; -1 asks on the terminal.
  explicit TPrompter(int AAnswer) : fAnswer(AAnswer) {}

  // Shows a box: its title, its lines and its buttons numbered from 1. Returns the index
  // of the button chosen (from 0), or -1 when the box is cancelled: an empty answer, the
  // end of input, Ctrl+C or a request to terminate while it waits, or a --answer beyond
  // its buttons. Anything else is asked again.
  intptr_t Ask(const std::u16string& ATitle, const std::vector<std::u16string>& ALines,
               const std::vector<std::u16string>& AButtons, bool AWarning);
  // Shows a menu: its title and its items numbered from 1, one a line. Returns the index
  // of the item chosen, or -1 as Ask does.
  intptr_t Choose(const std::u16string& ATitle, const std::vector<std::u16string>& AItems);
  // Whether a request to terminate came while a question waited: the job is to end.
  bool Terminated() const { return fTerminated; }

private:
  intptr_t Answer(const std::u16string& AShown, size_t ACount);
  bool ReadLine(std::string& ALine);

  int fAnswer;
  // The last box answered by --answer, and how many times in a row it came: a box that
  // a fixed answer brings back unchanged (Retry on a move that keeps failing) is
  // cancelled after a few rounds instead of looping for ever.
  std::u16string fLastBox;
  int fRepeats = 0;
  bool fTerminated = false;
};

} // namespace host
