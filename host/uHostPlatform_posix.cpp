#include "uHostPlatform.h"

#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "system/uFilesystemPath.h"
#include "system/uSystem.h"
#include "system/uUtf8.h"
#include "uEditorProcess.h"
#include "uHostMessages.h"

extern char** environ;

namespace host {

std::u16string ExecutableFileName() {
  std::error_code error;
  const auto self = std::filesystem::read_symlink("/proc/self/exe", error);
  return error ? std::u16string() : PathToU16(self);
}

std::string SystemErrorText(uint32_t ACode) {
  return Utf16ToUtf8(Say(htErrorNumber, {DecimalText(ACode)}));
}

std::u16string GetEnvironment(const char* AName) {
  const char* value = std::getenv(AName);
  return value ? Utf8ToUtf16(value) : std::u16string();
}

void TerminalSize(int& AColumns, int& ARows) {
  AColumns = 80;
  ARows = 25;
  for (int fd : {STDOUT_FILENO, STDIN_FILENO, STDERR_FILENO}) {
    winsize size{};
    if (ioctl(fd, TIOCGWINSZ, &size) == 0 && size.ws_col > 0 && size.ws_row > 0) {
      AColumns = size.ws_col;
      ARows = size.ws_row;
      return;
    }
  }
}

bool InputIsTerminal() {
  return isatty(STDIN_FILENO) != 0;
}

bool ErrorIsTerminal() {
  return isatty(STDERR_FILENO) != 0;
}

namespace {

bool WriteTo(FILE* AStream, const std::u16string& AText) {
  const std::string bytes = Utf16ToUtf8(AText);
  const bool written = std::fwrite(bytes.data(), 1, bytes.size(), AStream) == bytes.size();
  return std::fflush(AStream) == 0 && written;
}

} // namespace

bool WriteOut(const std::u16string& AText) {
  return WriteTo(stdout, AText);
}

bool WriteErr(const std::u16string& AText) {
  std::fflush(stdout);
  return WriteTo(stderr, AText);
}

bool WriteTerminal(const std::u16string& AText) {
  // Opened once; O_NOCTTY, so that a process without a terminal never takes one here.
  static const int terminal = open("/dev/tty", O_WRONLY | O_CLOEXEC | O_NOCTTY);
  if (terminal < 0) return WriteErr(AText);
  std::fflush(stdout);
  const std::string bytes = Utf16ToUtf8(AText);
  for (size_t done = 0; done < bytes.size();) {
    const ssize_t n = write(terminal, bytes.data() + done, bytes.size() - done);
    if (n > 0) {
      done += static_cast<size_t>(n);
    } else if (n < 0 && errno != EINTR) {
      return false;
    }
  }
  return true;
}

void KeepStandardDescriptors() {
  for (int fd = STDIN_FILENO; fd <= STDERR_FILENO; ++fd) {
    if (fcntl(fd, F_GETFD) >= 0 || errno != EBADF) continue;
    // Each open takes the lowest free descriptor, which is fd: those below it are open.
    int opened = -1;
    if (fd == STDIN_FILENO) opened = open("/dev/tty", O_RDWR | O_NOCTTY);
    if (opened < 0) opened = open("/dev/null", fd == STDIN_FILENO ? O_RDONLY : O_WRONLY);
    if (opened >= 0 && opened != fd) {
      dup2(opened, fd);
      close(opened);
    }
  }
}

std::u16string FullPathName(const std::u16string& APath, bool) {
  if (APath.empty()) return {};
  std::error_code error;
  const auto full = std::filesystem::absolute(U16ToPath(APath), error);
  if (error) return {};
  return PathToU16(full.lexically_normal());
}

bool ChangeDirectory(const std::u16string& ADirectory) {
  return chdir(Utf16ToUtf8(ADirectory).c_str()) == 0;
}

bool ListDirectory(const std::u16string& ADirectory, const TDirectoryEntryFound& AFound,
                   uint64_t& AVolume, std::string& AError) {
  const std::string path = Utf16ToUtf8(ADirectory);
  DIR* dir = opendir(path.c_str());
  if (!dir) {
    AError = std::strerror(errno);
    return false;
  }
  const int fd = dirfd(dir);
  struct stat directory;
  AVolume = fstat(fd, &directory) == 0 ? static_cast<uint64_t>(directory.st_dev) : 0;
  errno = 0;
  while (const dirent* entry = readdir(dir)) {
    const char* name = entry->d_name;
    if (name[0] == '.' && (name[1] == 0 || (name[1] == '.' && name[2] == 0))) continue;
    bool valid = true;
    bool folder = false;
    const std::u16string text = Utf8ToUtf16(name, &valid);
    if (entry->d_type == DT_DIR) {
      folder = true;
    } else if (entry->d_type == DT_LNK || entry->d_type == DT_UNKNOWN) {
      // A link to a folder shows as a folder.
      struct stat info;
      folder = fstatat(fd, name, &info, 0) == 0 && S_ISDIR(info.st_mode);
    }
    AFound(text, folder, valid, AVolume != 0 ? static_cast<uint64_t>(entry->d_ino) : 0);
    errno = 0;
  }
  const int error = errno;
  closedir(dir);
  if (error != 0) {
    AError = std::strerror(error);
    return false;
  }
  return true;
}

std::u16string StateFolder() {
  // A relative XDG_STATE_HOME is ignored: the records must not land wherever the job runs.
  std::u16string state = GetEnvironment("XDG_STATE_HOME");
  if (state.empty() || state[0] != u'/') {
    const std::u16string home = GetEnvironment("HOME");
    if (home.empty() || home[0] != u'/') return {};
    state = home + u"/.local/state";
  }
  return state + u"/quorvane";
}

bool MakePrivateFolder(const std::u16string& AFolder, std::string& AError) {
  const std::string path = Utf16ToUtf8(AFolder);
  for (size_t at = 1; at <= path.size(); ++at) {
    if (at < path.size() && path[at] != '/') continue;
    if (mkdir(path.substr(0, at).c_str(), 0700) != 0 && errno != EEXIST) {
      AError = std::strerror(errno);
      return false;
    }
  }
  struct stat info;
  if (stat(path.c_str(), &info) != 0 || !S_ISDIR(info.st_mode)) {
    AError = std::strerror(ENOTDIR);
    return false;
  }
  return true;
}

bool ReadStandardInput(std::string& ABytes, std::string& AError) {
  char buffer[65536];
  for (;;) {
    const ssize_t count = read(STDIN_FILENO, buffer, sizeof(buffer));
    if (count == 0) return true;
    if (count > 0) {
      ABytes.append(buffer, static_cast<size_t>(count));
    } else if (errno != EINTR) {
      AError = std::strerror(errno);
      return false;
    }
  }
}

void InputFromTerminal() {
  int terminal = open("/dev/tty", O_RDWR | O_CLOEXEC);
  if (terminal < 0) terminal = open("/dev/null", O_RDONLY | O_CLOEXEC);
  if (terminal < 0) return;
  dup2(terminal, STDIN_FILENO); // the copy is inherited by the editor
  close(terminal);
  std::clearerr(stdin);
}

namespace {

// Lock-free, so that the handler may change it and TakeSignal take it in one step.
std::atomic<int> CaughtSignal{0};
static_assert(std::atomic<int>::is_always_lock_free);
// The self-pipe: every signal caught writes a byte to it, so that a wait for input that
// begins just after the signal came still returns at once.
int WakeRead = -1, WakeWrite = -1;

bool EndsTheJob(int ASignal) {
  return ASignal != 0 && ASignal != SIGINT;
}

void RecordSignal(int ASignal) {
  const int savedErrno = errno;
  // A request to terminate that has not been taken yet stays: a Ctrl+C after it does not
  // make it a mere cancel.
  int recorded = CaughtSignal.load();
  while ((!EndsTheJob(recorded) || EndsTheJob(ASignal)) &&
         !CaughtSignal.compare_exchange_weak(recorded, ASignal)) {
  }
  if (WakeWrite >= 0) (void)!write(WakeWrite, "s", 1);
  errno = savedErrno;
}

void OpenWakePipe() {
  int ends[2];
  if (WakeRead >= 0 || pipe2(ends, O_CLOEXEC | O_NONBLOCK) != 0) return;
  WakeRead = ends[0];
  WakeWrite = ends[1];
}

void DrainWakePipe() {
  char bytes[64];
  while (read(WakeRead, bytes, sizeof bytes) > 0) {
  }
}

} // namespace

void CtrlCIsEscape(bool) {
  // The plugin's POSIX stand-in asks QuorvaneTakeConsoleEscape.
}

void CatchSignals() {
  OpenWakePipe();
  // Without SA_RESTART, so that a read waiting for the user returns when one comes.
  struct sigaction record {};
  record.sa_handler = RecordSignal;
  sigemptyset(&record.sa_mask);
  sigaction(SIGINT, &record, nullptr);
  sigaction(SIGTERM, &record, nullptr);
  // Ctrl+\ and a terminal that hangs up end the job as a request to terminate does.
  sigaction(SIGQUIT, &record, nullptr);
  sigaction(SIGHUP, &record, nullptr);
  // A write to a pipe whose reader has gone fails instead of ending the process, so that
  // the job can still end cleanly (WriteOut answers false).
  signal(SIGPIPE, SIG_IGN);
}

TInput ReadInput(char& AByte) {
  for (;;) {
    if (CaughtSignal.load() != 0) return inSignal;
    pollfd waits[2] = {{STDIN_FILENO, POLLIN, 0}, {WakeRead, POLLIN, 0}};
    if (poll(waits, WakeRead >= 0 ? 2 : 1, -1) < 0) {
      if (errno == EINTR) continue;
      return inEnd;
    }
    if (WakeRead >= 0 && waits[1].revents != 0) {
      DrainWakePipe();
      continue; // the signal, if not taken meanwhile, is seen above
    }
    // One byte at a time: nothing beyond the answer is taken from the input, which the
    // editor started later shares.
    const ssize_t n = read(STDIN_FILENO, &AByte, 1);
    if (n == 1) return inByte;
    if (n < 0 && (errno == EINTR || errno == EAGAIN)) continue;
    // A signal that came with the end of input (Ctrl+C, then the terminal gone) is what
    // ends the wait.
    return CaughtSignal.load() != 0 ? inSignal : inEnd;
  }
}

TSignal TakeSignal() {
  const int signal = CaughtSignal.exchange(0);
  return signal == 0 ? sigNone : EndsTheJob(signal) ? sigTerminate : sigInterrupt;
}

namespace {

bool IsExecutable(const std::string& AFileName) {
  struct stat info;
  return stat(AFileName.c_str(), &info) == 0 && S_ISREG(info.st_mode) &&
         access(AFileName.c_str(), X_OK) == 0;
}

bool FindProgram(const std::string& AProgram) {
  if (AProgram.empty()) return false;
  if (AProgram.find('/') != std::string::npos) return IsExecutable(AProgram);
  const char* path = std::getenv("PATH");
  std::string dirs = path ? path : "/usr/bin:/bin";
  size_t start = 0;
  for (;;) {
    const size_t end = dirs.find(':', start);
    // An empty entry of PATH is the current directory.
    std::filesystem::path candidate(
        dirs.substr(start, end == std::string::npos ? std::string::npos : end - start));
    if (candidate.empty()) candidate = ".";
    candidate /= AProgram;
    if (IsExecutable(candidate.native())) return true;
    if (end == std::string::npos) return false;
    start = end + 1;
  }
}

} // namespace

bool RunEditor(const std::u16string& AEditor, const std::vector<std::u16string>& AArguments,
               int& AExitCode, std::string& AError) {
  const std::string command = Utf16ToUtf8(AEditor);
  const std::string program = Utf16ToUtf8(CommandProgram(AEditor));
  if (!FindProgram(program)) {
    AError = Utf16ToUtf8(program.empty() ? Say(htNoProgramNamed)
                                         : Say(htProgramNotFound, {Utf8ToUtf16(program)}));
    return false;
  }
  // The shell reads $VISUAL and $EDITOR as the user wrote them, with their own
  // arguments and quoting; the list file and the line come after them as "$@".
  std::vector<std::string> args = {"sh", "-c", command + " \"$@\"", "sh"};
  for (const auto& argument : AArguments)
    args.push_back(Utf16ToUtf8(argument));
  std::vector<char*> argv;
  for (auto& argument : args)
    argv.push_back(argument.data());
  argv.push_back(nullptr);

  // Like system(): the editor takes Ctrl+C and Ctrl+\, the host waits through them. The
  // editor gets the default SIGPIPE back, which the host ignores.
  struct sigaction ignore {
  }, oldInt{}, oldQuit{};
  ignore.sa_handler = SIG_IGN;
  sigemptyset(&ignore.sa_mask);
  sigaction(SIGINT, &ignore, &oldInt);
  sigaction(SIGQUIT, &ignore, &oldQuit);
  posix_spawnattr_t attributes;
  posix_spawnattr_init(&attributes);
  sigset_t defaults;
  sigemptyset(&defaults);
  sigaddset(&defaults, SIGINT);
  sigaddset(&defaults, SIGQUIT);
  sigaddset(&defaults, SIGPIPE);
  posix_spawnattr_setsigdefault(&attributes, &defaults);
  posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGDEF);

  // Standard output sent elsewhere (quorvane-run -v DIR > log) is not the editor's
  // screen: the editor draws on the terminal.
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  if (!isatty(STDOUT_FILENO)) {
    const int terminal = open("/dev/tty", O_WRONLY | O_CLOEXEC | O_NOCTTY);
    if (terminal >= 0) {
      close(terminal);
      posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/tty", O_WRONLY, 0);
    }
  }
  pid_t child = 0;
  const int spawnError =
      posix_spawn(&child, "/bin/sh", &actions, &attributes, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  posix_spawnattr_destroy(&attributes);
  bool started = spawnError == 0;
  if (!started) {
    AError = Utf16ToUtf8(Say(htCannotRunShell, {Utf8ToUtf16(std::strerror(spawnError))}));
  } else {
    int status = 0;
    while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    AExitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    if (WIFEXITED(status) && (AExitCode == 126 || AExitCode == 127)) {
      AError = Utf16ToUtf8(
          Say(AExitCode == 127 ? htProgramNotFound : htCannotBeExecuted, {Utf8ToUtf16(program)}));
      started = false;
    }
  }
  sigaction(SIGINT, &oldInt, nullptr);
  sigaction(SIGQUIT, &oldQuit, nullptr);
  return started;
}

} // namespace host
