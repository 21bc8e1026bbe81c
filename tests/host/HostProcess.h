// Runs a program of the build, as a user would from a shell: arguments, standard input,
// environment, and its exit status and output afterwards.
#pragma once

#include <atomic>
#include <filesystem>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace testing_support {

struct TRunResult {
  int ExitCode = -1;
  std::string Out;
  std::string Err;
};

// AArguments and the environment in UTF-8. AEnvironment is set on top of this process's
// own; an empty value removes the variable. AScratch holds the files of the standard
// streams.
TRunResult RunProgram(const std::string& AProgram, const std::vector<std::string>& AArguments,
                      const std::string& AInput,
                      const std::vector<std::pair<std::string, std::string>>& AEnvironment,
                      const std::filesystem::path& AScratch);

#ifndef _WIN32
// The same program started without waiting for it, its standard input a pipe that stays
// open (so a question waits for an answer) until Finish, which waits for it. Its
// standard output goes to the file AScratch/stdout, or (outReaderGone) to a pipe whose
// reader has gone, so that every write to it fails, or (outTee) to a pipe whose reader
// copies it to that file until StopReader, as tee does until it is stopped.
class TStartedProgram {
public:
  enum TOutput { outFile, outReaderGone, outTee };
  TStartedProgram(const std::string& AProgram, const std::vector<std::string>& AArguments,
                  const std::vector<std::pair<std::string, std::string>>& AEnvironment,
                  const std::filesystem::path& AScratch, TOutput AOutput = outFile);
  ~TStartedProgram();
  // Whether standard error (where questions go) came to hold ACount times AText within a
  // few seconds.
  bool WaitForOutput(const std::string& AText, size_t ACount = 1);
  void Signal(int ASignal);
  // Stops it (SIGSTOP) and returns once it has stopped; SIGCONT lets it go on.
  void Pause();
  // Writes AText to its standard input, as if typed.
  void Type(const std::string& AText);
  TRunResult Finish();
  void StopReader();

private:
  int fPid = -1;
  int fInput = -1;
  int fTeeInput = -1;
  std::atomic<bool> fTeeStop{false};
  std::thread fTee;
  std::filesystem::path fScratch;
};
#endif

} // namespace testing_support
