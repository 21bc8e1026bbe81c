// The user of quorvane-run as FAR's model sees them: message boxes and menus become
// numbered prompts on the terminal (TPrompter), and a request to end the job is honoured
// where the plugin waits for an answer, so that no move is cut in half.
#pragma once

#include <cstdint>
#include <functional>

#include "farside/uFarModel.h"
#include "farside/uFarUser.h"

namespace host {

class TPrompter;

class TTerminalUser : public TFarUser {
public:
  explicit TTerminalUser(TPrompter& APrompter) : fPrompter(APrompter) {}

  // The model whose texts and editor the user sees; set once it exists.
  void Attach(const TFarModel& AModel) { fModel = &AModel; }
  // What ending the job in the middle of a rename asks of the plugin first (FAR's exit
  // call): it gives back the files it holds under free names, in boxes that are shown,
  // not asked.
  void SetEndJobHook(std::function<void()> AHook) { fEndJobHook = std::move(AHook); }
  // What the host itself undoes when the job ends at a question, after the plugin's exit
  // call: the folders made for the job that are still empty removed.
  void SetCleanUp(std::function<void()> ACleanUp) { fCleanUp = std::move(ACleanUp); }
  // Whether a message box reported a problem: every box the plugin shows does, but a
  // failure prompt answered with Retry or Overwrite, after which the plugin tries again
  // (and shows the prompt again if that fails too).
  bool ProblemReported() const { return fProblemReported; }
  // A new round of the same job (the list edited again): what the boxes of the last round
  // reported is past.
  void ForgetProblems() { fProblemReported = false; }
  // Whether a long rename's progress goes to standard error, as one line rewritten in place.
  void ShowProgress(bool AShow) { fShowProgress = AShow; }
  // Ctrl+C during the renames is FAR's Esc (the plugin asks through the POSIX console,
  // QuorvaneTakeConsoleEscape), and the question that follows is answered Stop.
  bool TakeEscape();
  bool Stopped() const { return fStopped; }

  intptr_t Answer(const TFarMessageBox& ABox) override;
  intptr_t Choose(const TFarMenu& AMenu) override;
  void Show(const TFarMessageBox& ABox) override;
  void ScreenRestored() override;

private:
  // Ends the process at once, with the list file deleted first.
  [[noreturn]] void EndJob();
  // From here on the plugin's boxes are shown without asking; the plugin is told first.
  void BeginEnding();
  // Whether the button chosen makes the plugin try again.
  bool TriesAgain(const TFarMessageBox& ABox, intptr_t AAnswer) const;

  TPrompter& fPrompter;
  const TFarModel* fModel = nullptr;
  std::function<void()> fEndJobHook;
  std::function<void()> fCleanUp;
  bool fProblemReported = false;
  bool fEnding = false;
  bool fShowProgress = false;
  bool fProgressShown = false; // a progress line is on the terminal
  bool fStopAsked = false;     // the next question to stop is answered Stop
  bool fStopped = false;
  bool fSignalTaken = false; // a signal other than Ctrl+C came while the plugin worked
};

} // namespace host
