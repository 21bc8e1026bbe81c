#include "HostProcess.h"

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <map>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

#include "support/TestFiles.h"

extern char** environ;

namespace testing_support {

namespace {

// This process's environment with AEnvironment on top; an empty value removes a variable.
std::vector<std::string>
Environment(const std::vector<std::pair<std::string, std::string>>& AEnvironment) {
  std::map<std::string, std::string> variables;
  for (char** entry = environ; *entry; ++entry) {
    const std::string text = *entry;
    const size_t equals = text.find('=');
    if (equals != std::string::npos) variables[text.substr(0, equals)] = text.substr(equals + 1);
  }
  for (const auto& [name, value] : AEnvironment) {
    if (value.empty())
      variables.erase(name);
    else
      variables[name] = value;
  }
  std::vector<std::string> result;
  for (const auto& [name, value] : variables)
    result.push_back(name + "=" + value);
  return result;
}

std::vector<char*> Pointers(std::vector<std::string>& ATexts) {
  std::vector<char*> result;
  for (auto& text : ATexts)
    result.push_back(text.data());
  result.push_back(nullptr);
  return result;
}

// Starts AProgram with standard input from AInputFd, or from the file AScratch/stdin when
// it is negative, standard output to AOutputFd, or to a file in AScratch when it is
// negative, and standard error to a file there. The pid, or -1 with AError.
pid_t Start(const std::string& AProgram, const std::vector<std::string>& AArguments, int AInputFd,
            int AOutputFd, const std::vector<std::pair<std::string, std::string>>& AEnvironment,
            const std::filesystem::path& AScratch, std::string& AError) {
  const auto input = AScratch / "stdin";
  const auto out = AScratch / "stdout";
  const auto err = AScratch / "stderr";
  std::vector<std::string> envText = Environment(AEnvironment);
  std::vector<std::string> args = {AProgram};
  args.insert(args.end(), AArguments.begin(), AArguments.end());
  std::vector<char*> envp = Pointers(envText);
  std::vector<char*> argv = Pointers(args);

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  if (AInputFd >= 0)
    posix_spawn_file_actions_adddup2(&actions, AInputFd, 0);
  else
    posix_spawn_file_actions_addopen(&actions, 0, input.c_str(), O_RDONLY, 0);
  if (AOutputFd >= 0)
    posix_spawn_file_actions_adddup2(&actions, AOutputFd, 1);
  else
    posix_spawn_file_actions_addopen(&actions, 1, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  posix_spawn_file_actions_addopen(&actions, 2, err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  // A session of its own, without a controlling terminal: its questions come to standard
  // error, as where a user runs it with none, and never to the terminal of the tests.
  posix_spawnattr_t attributes;
  posix_spawnattr_init(&attributes);
  posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSID);
  pid_t child = -1;
  const int error =
      posix_spawn(&child, AProgram.c_str(), &actions, &attributes, argv.data(), envp.data());
  posix_spawnattr_destroy(&attributes);
  posix_spawn_file_actions_destroy(&actions);
  if (error != 0) {
    AError = std::string("cannot start: ") + std::strerror(error);
    return -1;
  }
  return child;
}

TRunResult Wait(pid_t AChild, const std::filesystem::path& AScratch) {
  int status = 0;
  while (waitpid(AChild, &status, 0) < 0 && errno == EINTR) {
  }
  TRunResult result;
  result.ExitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  result.Out = ReadBytes(AScratch / "stdout");
  result.Err = ReadBytes(AScratch / "stderr");
  return result;
}

} // namespace

TRunResult RunProgram(const std::string& AProgram, const std::vector<std::string>& AArguments,
                      const std::string& AInput,
                      const std::vector<std::pair<std::string, std::string>>& AEnvironment,
                      const std::filesystem::path& AScratch) {
  WriteBytes(AScratch / "stdin", AInput);
  TRunResult result;
  const pid_t child = Start(AProgram, AArguments, -1, -1, AEnvironment, AScratch, result.Err);
  return child < 0 ? result : Wait(child, AScratch);
}

TStartedProgram::TStartedProgram(
    const std::string& AProgram, const std::vector<std::string>& AArguments,
    const std::vector<std::pair<std::string, std::string>>& AEnvironment,
    const std::filesystem::path& AScratch, TOutput AOutput)
    : fScratch(AScratch) {
  int ends[2], out[2] = {-1, -1};
  if (pipe2(ends, O_CLOEXEC) != 0) return;
  if (AOutput != outFile && pipe2(out, O_CLOEXEC) == 0) {
    if (AOutput == outReaderGone) close(out[0]);
    if (AOutput == outTee) fTeeInput = out[0];
  }
  std::string error;
  fPid = Start(AProgram, AArguments, ends[0], out[1], AEnvironment, AScratch, error);
  close(ends[0]);
  if (out[1] >= 0) close(out[1]);
  fInput = ends[1];
  if (fTeeInput >= 0) {
    WriteBytes(AScratch / "stdout", "");
    fTee = std::thread([this] {
      const int file = open((fScratch / "stdout").c_str(), O_WRONLY | O_APPEND | O_CLOEXEC);
      char bytes[4096];
      while (!fTeeStop) {
        pollfd wait{fTeeInput, POLLIN, 0};
        if (poll(&wait, 1, 10) <= 0) continue;
        const ssize_t n = read(fTeeInput, bytes, sizeof bytes);
        if (n <= 0) break;
        (void)!write(file, bytes, size_t(n));
      }
      close(file);
    });
  }
}

void TStartedProgram::StopReader() {
  fTeeStop = true;
  if (fTee.joinable()) fTee.join();
  if (fTeeInput >= 0) close(fTeeInput);
  fTeeInput = -1;
}

TStartedProgram::~TStartedProgram() {
  if (fPid > 0) {
    kill(fPid, SIGKILL);
    Finish();
  }
  if (fInput >= 0) close(fInput);
  StopReader();
}

bool TStartedProgram::WaitForOutput(const std::string& AText, size_t ACount) {
  for (int i = 0; i < 1000 && fPid > 0; ++i) {
    const std::string out = ReadBytes(fScratch / "stderr");
    size_t found = 0;
    for (size_t at = out.find(AText); at != std::string::npos; at = out.find(AText, at + 1))
      ++found;
    if (found >= ACount) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return false;
}

void TStartedProgram::Signal(int ASignal) {
  if (fPid > 0) kill(fPid, ASignal);
}

void TStartedProgram::Pause() {
  if (fPid <= 0 || kill(fPid, SIGSTOP) != 0) return;
  int status = 0;
  while (waitpid(fPid, &status, WUNTRACED) < 0 && errno == EINTR) {
  }
}

void TStartedProgram::Type(const std::string& AText) {
  if (fInput < 0) return;
  const ssize_t written = write(fInput, AText.data(), AText.size());
  (void)written;
}

TRunResult TStartedProgram::Finish() {
  if (fInput >= 0) close(fInput);
  fInput = -1;
  if (fPid <= 0) return {};
  const pid_t child = fPid;
  fPid = -1;
  // The reader copies until the program's end closes the pipe.
  if (fTee.joinable()) fTee.join();
  StopReader();
  return Wait(child, fScratch);
}

} // namespace testing_support
