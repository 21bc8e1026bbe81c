#include "filelist/uRenameProgress.h"

#include <algorithm>

#include "far/uFAR.h"
#include "list/uLinePaths.h"
#include "list/uListFormat.h"
#include "list/uPathNames.h"
#include "list/uSavedList.h"
#include "messages/uMessages.h"
#include "system/uSystem.h"

namespace {

constexpr win::DWORD ShowAfter = 500;   // ms the job runs before the box shows
constexpr win::DWORD RedrawEvery = 250; // ms between two draws of the box
// Looks closer together than FastLook ms let the stride grow, up to MaxStride lines;
// looks further apart than SlowLook ms shrink it.
constexpr win::DWORD FastLook = 10, SlowLook = 50;
constexpr size_t MaxStride = 32;
// The width of the box's lines, fitted to the console.
constexpr int32_t MinWidth = 30, MaxWidth = 70;

enum TStopAnswer : intptr_t { saStop = 0 };

} // namespace

TRenameProgress::TRenameProgress(const TSavedList& ALines, const std::u16string& ADirectory,
                                 bool AOwnFolder)
    : fLines(ALines), fDirectory(ADirectory), fOwnFolder(AOwnFolder), fStart(win::GetTickCount()),
      fLastLook(fStart) {}

bool TRenameProgress::Next(const std::u16string& APath) {
  ++fDone;
  if (--fUntilLook != 0) return true;
  const win::DWORD now = win::GetTickCount();
  const win::DWORD sinceLook = now - fLastLook;
  fLastLook = now;
  if (sinceLook < FastLook) fStride = std::min(fStride * 2, MaxStride);
  if (sinceLook > SlowLook) fStride = std::max<size_t>(fStride / 2, 1);
  fUntilLook = fStride;

  if (win::TakeConsoleEscape() && AskToStop()) return false;
  if (now - fStart >= ShowAfter && (!fShown || now - fLastShown >= RedrawEvery)) Show(APath, now);
  return true;
}

void TRenameProgress::Show(const std::u16string& APath, win::DWORD ANow) {
  if (!fShown) {
    fShown = true;
    fScreen = farhost::SaveScreen(0, 0, -1, -1);
    TEntryPaths paths;
    for (const TListLine& line : fLines)
      if (GetEntryPaths(line, fDirectory, paths, fOwnFolder)) ++fTotal;
  }
  fLastShown = ANow;
  const size_t done = fDone - 1;
  // Lines of one width, so that a shorter draw leaves nothing of a longer one.
  const int32_t width = std::clamp(TFarUtils::GetConsoleWidth() - 20, MinWidth, MaxWidth);
  const std::u16string count = TFarUtils::TruncateString(
      ReplaceAll(ReplaceAll(GetMessageText(MProgress), u"${DONE}", DecimalText(done)), u"${TOTAL}",
                 DecimalText(fTotal)),
      width, u' ');
  const std::u16string name = TFarUtils::TruncateString(VisiblePath(APath), width, u' ');
  const char16_t* items[] = {GetMessageText(MTitle), count.c_str(), name.c_str()};
  TFarUtils::ShowMessage(items, 3, FMSG_NONE, 0);
  TFarUtils::SetProgressState(TBPF_NORMAL, int64_t(done), int64_t(fTotal));
}

bool TRenameProgress::AskToStop() const {
  // Esc on the question continues: only the explicit answer stops.
  return ShowMessageIds({MTitle, MStopQuestion, MStop, MContinue}, 2, FMSG_WARNING) == saStop;
}

void TRenameProgress::Close() {
  if (!fShown) return;
  fShown = false;
  TFarUtils::SetProgressState(TBPF_NOPROGRESS);
  farhost::RestoreScreen(fScreen);
  fScreen = nullptr;
}
