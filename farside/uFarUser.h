// The user on the other side of FAR's model: whoever answers the message boxes and menus
// that the plugin shows. The terminal host plugs in a user at the terminal, the tests a
// scripted one that answers from a script and keeps what it was shown, the benchmark a
// silent one that cancels whatever it is asked.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <string>
#include <vector>

// A message box as FAR lays it out: the first item is the title, the last ButtonsNumber
// items are the buttons, the rest are the lines.
struct TFarMessageBox {
  uint64_t Flags = 0;
  bool Empty = true; // no items at all: nothing to show
  std::u16string Title;
  std::vector<std::u16string> Lines;
  std::vector<std::u16string> Buttons;
};

struct TFarMenu {
  std::u16string Title;
  std::u16string Bottom;
  std::u16string HelpTopic;
  std::vector<std::u16string> Items;
};

class TFarUser {
public:
  virtual ~TFarUser() = default;
  // The index of the button chosen (from 0), or -1 when the box is cancelled.
  virtual intptr_t Answer(const TFarMessageBox& ABox) = 0;
  // The index of the item chosen, or -1 when the menu is cancelled.
  virtual intptr_t Choose(const TFarMenu& AMenu) = 0;
  // A box without buttons (a long job's progress), shown until the screen under it is put
  // back.
  virtual void Show(const TFarMessageBox&) {}
  virtual void ScreenRestored() {}
};

// Answers from a script, in order, and cancels once the script is used up.
class TScriptedUser : public TFarUser {
public:
  std::deque<intptr_t> MessageAnswers;
  std::deque<intptr_t> MenuAnswers;
  // What it was shown, in order.
  std::vector<TFarMessageBox> BoxesShown;
  // Called with each box's number (from 1) while it waits for its answer, as a host that
  // ends the job from inside a box does its part there.
  std::function<void(size_t ABox)> WhileAsked;
  std::vector<TFarMenu> MenusShown;

  intptr_t Answer(const TFarMessageBox& ABox) override;
  intptr_t Choose(const TFarMenu& AMenu) override;
};

// Cancels every question and counts them.
class TSilentUser : public TFarUser {
public:
  size_t Questions = 0;

  intptr_t Answer(const TFarMessageBox&) override {
    ++Questions;
    return -1;
  }
  intptr_t Choose(const TFarMenu&) override {
    ++Questions;
    return -1;
  }
};
