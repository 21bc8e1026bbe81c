// Renames 10,000 files through the plugin's own path (the list written from a panel, the
// list edited by a script standing in for the user, the rename run when the editor
// closes, each line's outcome reported as quorvane-run asks for it) and, in the same run,
// the same renames with a plain loop of rename(2). Prints both times and their ratio.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "far/uFAR.h"
#include "farside/uFarModel.h"
#include "farside/uLngFile.h"
#include "filelist/uFileList.h"
#include "filelist/uJobReport.h"
#include "messages/uMessages.h"
#include "system/uFilesystemPath.h"
#include "system/uSystem.h"
#include "system/uUtf8.h"

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace {

double Seconds(Clock::duration d) {
  return std::chrono::duration<double>(d).count();
}

void MakeFiles(const fs::path& ADir, int ACount) {
  fs::remove_all(ADir);
  fs::create_directories(ADir);
  for (int i = 0; i < ACount; ++i)
    std::ofstream(ADir / ("file" + std::to_string(i) + ".txt"));
}

// The user's edit: every destination "fileN.txt" becomes "renamed-N.dat".
void EditList(const std::string& AListFile) {
  std::ifstream in(AListFile, std::ios::binary);
  std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  in.close();
  std::string out;
  out.reserve(text.size() + text.size() / 4);
  size_t pos = 0;
  while (pos < text.size()) {
    size_t end = text.find("\r\n", pos);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(pos, end - pos);
    const size_t second = line.rfind("\"file");
    if (second != std::string::npos && second > 0) {
      const std::string name = line.substr(second + 5, line.size() - second - 5 - 5); // N
      line = line.substr(0, second) + "\"renamed-" + name + ".dat\"";
    }
    out += line + "\r\n";
    pos = end + 2;
  }
  std::ofstream(AListFile, std::ios::binary | std::ios::trunc) << out;
}

// The record that quorvane-run keeps of each line: a byte a line.
std::vector<uint8_t> Outcomes;
void FARAPI_CALL LineDone(void*, size_t ALine, uint8_t AOutcome, uint32_t) {
  if (ALine >= Outcomes.size()) Outcomes.resize(ALine + 1);
  Outcomes[ALine] = AOutcome;
}

struct TTimes {
  double ListWritten, Edit, Renames, Plain;
  bool AllDone;
};

// One round: the plugin's path in one directory, the plain loop in another.
TTimes RunRound(TPanelModel& APanel, const fs::path& ARoot, int ACount) {
  TTimes times{};
  const fs::path pluginDir = ARoot / "plugin";
  MakeFiles(pluginDir, ACount);
  APanel.Clear();
  APanel.Directory = PathToU16(pluginDir);
  for (int i = 0; i < ACount; ++i)
    APanel.Add(Utf8ToUtf16("file" + std::to_string(i) + ".txt"), 0, PPIF_SELECTED);

  const auto t0 = Clock::now();
  auto* list = new TFileList();
  list->LoadFromPanel(true);
  const auto t1 = Clock::now();
  EditList(std::string(list->ListFileName().begin(), list->ListFileName().end()));
  const auto t2 = Clock::now();
  times.AllDone = list->RenameFiles();
  delete list;
  const auto t3 = Clock::now();
  times.ListWritten = Seconds(t1 - t0);
  times.Edit = Seconds(t2 - t1);
  times.Renames = Seconds(t3 - t2);

  int renamed = 0;
  for (const auto& entry : fs::directory_iterator(pluginDir))
    if (entry.path().extension() == ".dat") ++renamed;
  if (renamed != ACount) times.AllDone = false;

  const fs::path plainDir = ARoot / "plain";
  MakeFiles(plainDir, ACount);
  const auto p0 = Clock::now();
  for (int i = 0; i < ACount; ++i) {
    const std::string n = std::to_string(i);
    const std::string from = (plainDir / ("file" + n + ".txt")).string();
    const std::string to = (plainDir / ("renamed-" + n + ".dat")).string();
    if (std::rename(from.c_str(), to.c_str()) != 0) times.AllDone = false;
  }
  times.Plain = Seconds(Clock::now() - p0);
  return times;
}

} // namespace

int main(int argc, char** argv) {
  const int count = argc > 1 ? std::atoi(argv[1]) : 10000;
  const int rounds = argc > 2 ? std::atoi(argv[2]) : 5;
  const fs::path root = fs::temp_directory_path() / "quorvane-rename-bench";

  InitializeSystem();
  InitializeFAR();
  InitializeFileList();
  // FAR's model with a user who is never asked anything: a box would be a failure.
  TSilentUser user;
  TFarModel far(user);
  TLngFile texts;
  LoadLngFile(QUORVANE_SOURCE_DIR "/lng/QuorvaneEng.lng", texts);
  far.SetMessages(texts.Messages);
  FarAPI = *far.StartupInfo();
  FarFSF = *FarAPI.FSF;
  FarAPI.FSF = &FarFSF;

  const TJobReport report{sizeof(TJobReport), nullptr, 0, LineDone, nullptr, nullptr, nullptr};
  SetJobReport(&report);
  // The best of several rounds for each side: the machine is shared, and the fastest
  // round is the one least disturbed.
  TTimes best{1e9, 1e9, 1e9, 1e9, true};
  double bestPlugin = 1e9;
  for (int r = 0; r < rounds; ++r) {
    const TTimes t = RunRound(far.ActivePanel, root, count);
    best.AllDone = best.AllDone && t.AllDone;
    if (t.ListWritten + t.Renames < bestPlugin) {
      bestPlugin = t.ListWritten + t.Renames;
      best.ListWritten = t.ListWritten;
      best.Renames = t.Renames;
      best.Edit = t.Edit;
    }
    best.Plain = std::min(best.Plain, t.Plain);
  }
  fs::remove_all(root);
  FinalizeFileList();
  FinalizeFAR();
  FinalizeSystem();

  std::printf("files: %d, best of %d rounds%s\n", count, rounds,
              best.AllDone ? "" : " (SOME RENAMES FAILED)");
  if (user.Questions != 0) std::printf("unexpected message boxes: %zu\n", user.Questions);
  std::printf("plugin: list written   %.3f s\n", best.ListWritten);
  std::printf("plugin: renames        %.3f s\n", best.Renames);
  std::printf("plugin: total          %.3f s (the scripted edit, %.3f s, not counted)\n",
              bestPlugin, best.Edit);
  std::printf("plain rename(2) loop   %.3f s\n", best.Plain);
  std::printf("ratio plugin / plain   %.2fx (goal: within 1.1x)\n", bestPlugin / best.Plain);
  return best.AllDone && user.Questions == 0 ? 0 : 1;
}
