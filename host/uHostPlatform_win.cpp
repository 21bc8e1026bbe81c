// The system unit's headers come before <windows.h>, whose macros would otherwise take
// the names of their constants.
#include "uHostPlatform.h"

#include "system/uCommandLine.h"
#include "system/uCompatibility.h"
#include "system/uUtf8.h"
#include "uHostMessages.h"

#include <windows.h>

#include <cstdio>
#include <fcntl.h>
#include <io.h>

namespace host {

namespace {

const wchar_t* W(const std::u16string& AText) {
  return reinterpret_cast<const wchar_t*>(AText.c_str());
}

bool WriteTo(DWORD AHandleId, FILE* AStream, const std::u16string& AText) {
  HANDLE handle = GetStdHandle(AHandleId);
  DWORD mode = 0;
  if (handle != INVALID_HANDLE_VALUE && GetConsoleMode(handle, &mode)) {
    // A console shows UTF-16 as it is; redirected output gets UTF-8.
    DWORD written = 0;
    return WriteConsoleW(handle, W(AText), static_cast<DWORD>(AText.size()), &written, nullptr) &&
           written == AText.size();
  }
  const std::string bytes = Utf16ToUtf8(AText);
  const bool written = std::fwrite(bytes.data(), 1, bytes.size(), AStream) == bytes.size();
  return std::fflush(AStream) == 0 && written;
}

} // namespace

std::u16string ExecutableFileName() {
  std::u16string buffer(MAX_PATH, u'\0');
  for (;;) {
    const DWORD length =
        GetModuleFileNameW(nullptr, reinterpret_cast<wchar_t*>(buffer.data()), buffer.size());
    if (length == 0) return {};
    if (length < buffer.size()) return buffer.substr(0, length);
    buffer.resize(buffer.size() * 2);
  }
}

std::string SystemErrorText(uint32_t ACode) {
  wchar_t* buffer = nullptr;
  const DWORD length = FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, ACode, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
  std::u16string text;
  if (length && buffer) text.assign(reinterpret_cast<char16_t*>(buffer), length);
  if (buffer) LocalFree(buffer);
  while (!text.empty() && (text.back() == u'\n' || text.back() == u'\r' || text.back() == u' ' ||
                           text.back() == u'.')) {
    text.pop_back();
  }
  const std::u16string number = Utf8ToUtf16(std::to_string(ACode));
  return Utf16ToUtf8(text.empty() ? Say(htErrorNumber, {number})
                                  : Say(htErrorWithNumber, {text, number}));
}

std::u16string GetEnvironment(const char* AName) {
  const std::u16string name = Utf8ToUtf16(AName);
  const DWORD size = GetEnvironmentVariableW(W(name), nullptr, 0);
  if (size == 0) return {};
  std::u16string value(size, u'\0');
  const DWORD length =
      GetEnvironmentVariableW(W(name), reinterpret_cast<wchar_t*>(value.data()), size);
  value.resize(length < size ? length : 0);
  return value;
}

void TerminalSize(int& AColumns, int& ARows) {
  AColumns = 80;
  ARows = 25;
  // Standard output may go to a file while the progress and the questions reach the
  // console through standard error.
  for (DWORD stream : {STD_OUTPUT_HANDLE, STD_ERROR_HANDLE}) {
    CONSOLE_SCREEN_BUFFER_INFO info;
    if (GetConsoleScreenBufferInfo(GetStdHandle(stream), &info)) {
      AColumns = info.srWindow.Right - info.srWindow.Left + 1;
      ARows = info.srWindow.Bottom - info.srWindow.Top + 1;
      return;
    }
  }
}

bool InputIsTerminal() {
  DWORD mode = 0;
  return GetConsoleMode(GetStdHandle(STD_INPUT_HANDLE), &mode) != 0;
}

bool ErrorIsTerminal() {
  DWORD mode = 0;
  return GetConsoleMode(GetStdHandle(STD_ERROR_HANDLE), &mode) != 0;
}

bool WriteOut(const std::u16string& AText) {
  return WriteTo(STD_OUTPUT_HANDLE, stdout, AText);
}

bool WriteErr(const std::u16string& AText) {
  std::fflush(stdout);
  return WriteTo(STD_ERROR_HANDLE, stderr, AText);
}

bool WriteTerminal(const std::u16string& AText) {
  return WriteErr(AText);
}

void KeepStandardDescriptors() {}

std::u16string FullPathName(const std::u16string& APath, bool ANative) {
  if (APath.empty()) return {};
  const DWORD size = GetFullPathNameW(W(APath), 0, nullptr, nullptr);
  if (size == 0) return {};
  std::u16string result(size, u'\0');
  const DWORD length =
      GetFullPathNameW(W(APath), size, reinterpret_cast<wchar_t*>(result.data()), nullptr);
  if (length == 0 || length >= size) return {};
  result.resize(length);
  if (ANative && result.rfind(u"\\\\?\\", 0) != 0) {
    if (result.rfind(u"\\\\.\\", 0) == 0) return result;
    if (result.rfind(u"\\\\", 0) == 0) return u"\\\\?\\UNC\\" + result.substr(2);
    return u"\\\\?\\" + result;
  }
  return result;
}

bool ChangeDirectory(const std::u16string& ADirectory) {
  return SetCurrentDirectoryW(W(ADirectory)) != 0;
}

bool ListDirectory(const std::u16string& ADirectory, const TDirectoryEntryFound& AFound,
                   uint64_t& AVolume, std::string& AError) {
  AVolume = 0;
  std::u16string pattern = FullPathName(ADirectory, true);
  if (!pattern.empty() && pattern.back() != u'\\') pattern.push_back(u'\\');
  pattern.push_back(u'*');
  WIN32_FIND_DATAW data;
  HANDLE find = FindFirstFileW(W(pattern), &data);
  if (find == INVALID_HANDLE_VALUE) {
    AError = SystemErrorText(GetLastError());
    return false;
  }
  do {
    const std::u16string name(reinterpret_cast<const char16_t*>(data.cFileName));
    if (name == u"." || name == u"..") continue;
    AFound(name, (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0, true, 0);
  } while (FindNextFileW(find, &data));
  const DWORD error = GetLastError();
  FindClose(find);
  if (error != ERROR_NO_MORE_FILES) {
    AError = SystemErrorText(error);
    return false;
  }
  return true;
}

namespace {

volatile LONG CaughtSignal = sigNone;
// Set while the plugin renames: the console's Ctrl+C is its Esc too.
volatile LONG EscapeOnCtrlC = 0;
volatile LONG EscapePut = 0;
// Set while the main thread waits for input: a console event then cancels its read.
volatile LONG WaitingForInput = 0;
HANDLE MainThread = nullptr;

// How long a close, log-off or shut-down is held so that the main thread can end the job
// (give back the files that wait under a free name, delete the list) and the process with
// it; Windows itself ends the process after a few seconds of a close.
constexpr DWORD EndingWaitMs = 20000;
// How long a console event keeps cancelling a read that began just before it was seen.
constexpr int CancelRounds = 400;

LONG Peek(volatile LONG& AValue) {
  return InterlockedCompareExchange(&AValue, 0, 0);
}

// A request to terminate not yet taken stays: a Ctrl+C after it does not make it a cancel.
void Record(LONG ASignal) {
  LONG recorded = Peek(CaughtSignal);
  while (!(recorded == sigTerminate && ASignal == sigInterrupt)) {
    const LONG seen = InterlockedCompareExchange(&CaughtSignal, ASignal, recorded);
    if (seen == recorded) break;
    recorded = seen;
  }
}

// Cancels the main thread's read of standard input until it has seen the signal, so that
// a read that began just before the signal came does not wait for ever.
void CutShortInputWait() {
  for (int i = 0; i < CancelRounds && Peek(WaitingForInput) != 0 && Peek(CaughtSignal) != sigNone;
       ++i) {
    CancelSynchronousIo(MainThread);
    Sleep(5);
  }
}

// Runs on a thread of its own. Windows ends the process as soon as the handler of a
// close, log-off or shut-down returns: it returns only when the main thread has ended the
// process, or when the wait runs out.
// An Esc key, pressed and let go, at the end of the console's input.
void PutEscape() {
  INPUT_RECORD keys[2] = {};
  for (INPUT_RECORD& key : keys) {
    key.EventType = KEY_EVENT;
    key.Event.KeyEvent.wRepeatCount = 1;
    key.Event.KeyEvent.wVirtualKeyCode = VK_ESCAPE;
    key.Event.KeyEvent.uChar.UnicodeChar = 0x1B;
  }
  keys[0].Event.KeyEvent.bKeyDown = TRUE;
  DWORD written = 0;
  if (WriteConsoleInputW(GetStdHandle(STD_INPUT_HANDLE), keys, 2, &written) && written > 0)
    InterlockedExchange(&EscapePut, 1);
}

BOOL WINAPI RecordConsoleEvent(DWORD AEvent) {
  if (AEvent == CTRL_C_EVENT && Peek(EscapeOnCtrlC) != 0) PutEscape();
  Record(AEvent == CTRL_C_EVENT ? sigInterrupt : sigTerminate);
  CutShortInputWait();
  if (AEvent == CTRL_CLOSE_EVENT || AEvent == CTRL_LOGOFF_EVENT || AEvent == CTRL_SHUTDOWN_EVENT)
    WaitForSingleObject(MainThread, EndingWaitMs);
  return TRUE;
}

// A console read that answered nothing: Ctrl+C, whose handler may not have run yet.
bool SignalComesSoon() {
  for (int i = 0; i < 20 && Peek(CaughtSignal) == sigNone; ++i)
    Sleep(5);
  return Peek(CaughtSignal) != sigNone;
}

TInput ReadOneByte(char& AByte) {
  const HANDLE input = GetStdHandle(STD_INPUT_HANDLE);
  const bool console = InputIsTerminal();
  for (;;) {
    if (Peek(CaughtSignal) != sigNone) return inSignal;
    DWORD read = 0;
    if (ReadFile(input, &AByte, 1, &read, nullptr)) {
      // Ctrl+Z ends console input, as the C runtime reads it.
      if (read == 1) return console && AByte == '\x1A' ? inEnd : inByte;
      return console && SignalComesSoon() ? inSignal : inEnd;
    }
    // Cancelled for a signal (or by the console's Ctrl+C): seen above.
    if (GetLastError() != ERROR_OPERATION_ABORTED) return inEnd;
  }
}

} // namespace

void CatchSignals() {
  if (!MainThread)
    DuplicateHandle(GetCurrentProcess(), GetCurrentThread(), GetCurrentProcess(), &MainThread, 0,
                    FALSE, DUPLICATE_SAME_ACCESS);
  SetConsoleCtrlHandler(RecordConsoleEvent, TRUE);
}

TInput ReadInput(char& AByte) {
  InterlockedExchange(&WaitingForInput, 1);
  const TInput result = ReadOneByte(AByte);
  InterlockedExchange(&WaitingForInput, 0);
  return result;
}

void CtrlCIsEscape(bool AOn) {
  InterlockedExchange(&EscapeOnCtrlC, AOn ? 1 : 0);
  if (!AOn && InterlockedExchange(&EscapePut, 0) != 0) win::TakeConsoleEscape();
}

TSignal TakeSignal() {
  return static_cast<TSignal>(InterlockedExchange(&CaughtSignal, sigNone));
}

std::u16string StateFolder() {
  const std::u16string base = GetEnvironment("LOCALAPPDATA");
  return base.empty() ? std::u16string() : base + u"\\Quorvane";
}

bool MakePrivateFolder(const std::u16string& AFolder, std::string& AError) {
  // The user's local application data is theirs alone: a folder made there inherits that.
  if (CreateDirectoryW(W(AFolder), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS) {
    const DWORD attributes = GetFileAttributesW(W(AFolder));
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY))
      return true;
    AError = SystemErrorText(ERROR_DIRECTORY);
    return false;
  }
  const DWORD error = GetLastError();
  const size_t parent = AFolder.find_last_of(u"\\/");
  if (error != ERROR_PATH_NOT_FOUND || parent == std::u16string::npos || parent < 3) {
    AError = SystemErrorText(error);
    return false;
  }
  return MakePrivateFolder(AFolder.substr(0, parent), AError) && MakePrivateFolder(AFolder, AError);
}

bool ReadStandardInput(std::string& ABytes, std::string& AError) {
  const HANDLE input = GetStdHandle(STD_INPUT_HANDLE);
  char buffer[65536];
  for (;;) {
    DWORD count = 0;
    if (!ReadFile(input, buffer, sizeof(buffer), &count, nullptr)) {
      const DWORD error = GetLastError();
      if (error == ERROR_BROKEN_PIPE || error == ERROR_HANDLE_EOF) return true;
      AError = SystemErrorText(error);
      return false;
    }
    if (count == 0) return true;
    ABytes.append(buffer, count);
  }
}

void InputFromTerminal() {
  SECURITY_ATTRIBUTES inherited{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
  HANDLE terminal =
      CreateFileW(L"CONIN$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                  &inherited, OPEN_EXISTING, 0, nullptr);
  if (terminal == INVALID_HANDLE_VALUE) {
    terminal = CreateFileW(L"NUL", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherited,
                           OPEN_EXISTING, 0, nullptr);
  }
  if (terminal == INVALID_HANDLE_VALUE) return;
  // The C runtime's standard input reads it too: its descriptor 0 takes the new handle.
  const int descriptor = _open_osfhandle(reinterpret_cast<intptr_t>(terminal), _O_RDONLY);
  if (descriptor >= 0) {
    _dup2(descriptor, 0);
    _close(descriptor);
  }
  SetStdHandle(STD_INPUT_HANDLE, reinterpret_cast<HANDLE>(_get_osfhandle(0)));
  std::clearerr(stdin);
}

bool RunEditor(const std::u16string& AEditor, const std::vector<std::u16string>& AArguments,
               int& AExitCode, std::string& AError) {
  std::u16string commandLine = AEditor;
  for (const auto& argument : AArguments) {
    commandLine.push_back(u' ');
    commandLine += QuoteCommandLineArgument(argument);
  }
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION process{};
  if (!CreateProcessW(nullptr, reinterpret_cast<wchar_t*>(commandLine.data()), nullptr, nullptr,
                      TRUE, 0, nullptr, nullptr, &startup, &process)) {
    AError = SystemErrorText(GetLastError());
    return false;
  }
  // Ctrl+C belongs to the editor while it runs.
  SetConsoleCtrlHandler(nullptr, TRUE);
  WaitForSingleObject(process.hProcess, INFINITE);
  SetConsoleCtrlHandler(nullptr, FALSE);
  DWORD code = 0;
  GetExitCodeProcess(process.hProcess, &code);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  AExitCode = static_cast<int>(code);
  return true;
}

} // namespace host
