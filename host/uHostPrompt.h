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

  // Shows a box on the terminal (WriteTerminal): its title, its lines and its buttons
  // numbered from 1. Returns the index of the button chosen (from 0), or -1 when the box
  // is cancelled: an empty answer, the end of input, a --answer beyond its buttons, the
  // same question shown too often in a row, or, which also ends the job (Terminated),
  // Ctrl+C or a request to terminate while it waits, or a terminal that cannot be written
  // to. Anything else is asked again, but for a box of one button, which takes any line.
  intptr_t Ask(const std::u16string& ATitle, const std::vector<std::u16string>& ALines,
               const std::vector<std::u16string>& AButtons, bool AWarning);
  // Shows a menu: its title and its items numbered from 1, one a line. Returns the index
  // of the item chosen, or -1 as Ask does.
  intptr_t Choose(const std::u16string& ATitle, const std::vector<std::u16string>& AItems);
  // A question of yes or no: true only for "y" or "yes" typed (in any case), or for
  // --answer 1; anything else, the end of input or a signal is no.
  bool Confirm(const std::u16string& AQuestion);
  // Whether a request to terminate came while a question waited, or a question could not
  // be shown: the job is to end.
  bool Terminated() const { return fTerminated; }
  // The plugin has gone on to another line: a question shown from here on counts its
  // repeats from the start, even one with the same text as before.
  void ForgetRepeats();

private:
  intptr_t Answer(const std::u16string& AShown, size_t ACount);
  bool ReadLine(std::string& ALine);
  // Writes to the terminal; when that fails, the job is to end.
  bool Show(const std::u16string& AText);
  // A box that the terminal could not take goes to standard error: it may name where a
  // file stays that could not be given its name back.
  void ShowOnError(const std::u16string& ABox);

  int fAnswer;
  // The last two boxes answered, and how many times in a row each came: a box that an
  // answer brings back unchanged (Retry on a move that keeps failing), or in turn with one
  // other box (Overwrite and the box that refuses it), is cancelled after a few rounds
  // instead of looping for ever, whether the answers come from --answer or from standard
  // input (yes 2 | quorvane-run).
  struct TShownBox {
    std::u16string Text;
    int Count = 0;
  };
  // How many times in a row AShown came, counting a box that alternates with one other.
  int CountRepeat(const std::u16string& AShown);
  TShownBox fLastBox, fBoxBefore;
  bool fTerminated = false;
};

} // namespace host
