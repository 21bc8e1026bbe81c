// What the terminal host needs from the operating system beyond the standard library and
// the system unit (src/system): its own location, the words for an error code, the terminal, paths
// as FAR forms them, and starting the user's editor. uHostPlatform_posix.cpp and
// uHostPlatform_win.cpp.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "system/uWindows.h"

namespace host {

// The system's, so that the host's code names it as the rest of the code does.
using win::PathDelimiter;

// The full file name of the running executable.
std::u16string ExecutableFileName();

// The system's words for an error code of the Windows services (on POSIX, of their
// stand-in, which has no words but the number).
std::string SystemErrorText(uint32_t ACode);

// The value of an environment variable, empty when unset.
std::u16string GetEnvironment(const char* AName);

// Columns and rows of the terminal; 80 x 25 when there is none.
void TerminalSize(int& AColumns, int& ARows);

// Whether standard input is the user's terminal (and not a file or pipe).
bool InputIsTerminal();
// Whether standard error is a terminal (a progress line is rewritten in place there).
bool ErrorIsTerminal();

// Writes text to standard output or error: UTF-16 to a console, UTF-8 elsewhere. False
// when the text did not go out in full (a pipe whose reader has gone, a full disk).
bool WriteOut(const std::u16string& AText);
bool WriteErr(const std::u16string& AText);
// Writes text where the user sees it whatever the standard streams are sent to: the
// controlling terminal (/dev/tty) on POSIX, else standard error; standard error on
// Windows. Questions go there, so that standard output carries only what may be piped on.
bool WriteTerminal(const std::u16string& AText);

// Makes sure descriptors 0, 1 and 2 are open (standard input the terminal, else the null
// device; the others the null device), so that no file the program opens later takes
// the place of a standard stream. Nothing to do on Windows.
void KeepStandardDescriptors();

// The full form of APath, relative names taken from the current directory, "." and ".."
// resolved; ANative asks for the form that lifts the path length limit (\\?\ on Windows).
std::u16string FullPathName(const std::u16string& APath, bool ANative);

bool ChangeDirectory(const std::u16string& ADirectory);

// Calls AFound with every entry of ADirectory, "." and ".." left out. AValid is false for
// a name that the file system holds in bytes that are not UTF-8 (then the name is
// approximate). AIndex is the entry's file index as win::GetFileIdentity tells it, on the
// volume AVolume, or 0 where a listing does not tell it (Windows). The entries are handed
// over one by one, so that a large directory is never held twice.
using TDirectoryEntryFound =
    std::function<void(const std::u16string& AName, bool AFolder, bool AValid, uint64_t AIndex)>;
bool ListDirectory(const std::u16string& ADirectory, const TDirectoryEntryFound& AFound,
                   uint64_t& AVolume, std::string& AError);
// Whether ListDirectory tells the entries' file indexes (and the file system tells names
// apart by their text alone): on POSIX, not on Windows.
#ifdef _WIN32
constexpr bool ListingTellsIndex = false;
#else
constexpr bool ListingTellsIndex = true;
#endif

// The folder where quorvane-run keeps what outlasts a job (the records of its jobs):
// $XDG_STATE_HOME/quorvane, else ~/.local/state/quorvane; %LOCALAPPDATA%\Quorvane on
// Windows. Empty when the environment names none.
std::u16string StateFolder();
// Makes AFolder and its missing parents, each private to the user (0700 on POSIX); true
// when it is a folder afterwards, else false with AError set.
bool MakePrivateFolder(const std::u16string& AFolder, std::string& AError);

// All of standard input, as bytes; false with AError set when it cannot be read.
bool ReadStandardInput(std::string& ABytes, std::string& AError);
// Standard input becomes the terminal (/dev/tty, CONIN$ on Windows), for the editor and
// the questions, once the names have been read from it; where there is none, the null
// device, so that questions read the end of input.
void InputFromTerminal();

// Ctrl+C and a request to terminate (SIGINT, and SIGTERM, SIGQUIT or SIGHUP; on Windows the
// console's Ctrl+C, and its break, close and shut-down events). Once CatchSignals has run they no
// longer end the process: each is recorded, and a read of standard input that waits for the user is
// cut short by it. TakeSignal answers the one recorded last and forgets it.
// A request to terminate not yet taken outranks a Ctrl+C that comes after it.
enum TSignal { sigNone, sigInterrupt, sigTerminate };
void CatchSignals();
TSignal TakeSignal();
// While the plugin renames, Ctrl+C is the console's Esc, which the plugin looks for between
// two lines: on Windows the console's Ctrl+C then also puts an Esc into the console's input
// (on POSIX the plugin asks QuorvaneTakeConsoleEscape). Turned off, an Esc so put that
// the plugin did not take is taken back.
void CtrlCIsEscape(bool AOn);

// One byte of standard input for a question that waits: inEnd at the end of the input or
// when it cannot be read, inSignal when a signal has come (it stays for TakeSignal). A
// signal that comes just before the wait begins cuts it short as surely as one during it.
enum TInput { inByte, inEnd, inSignal };
TInput ReadInput(char& AByte);

// Runs the command line AEditor (a program and its arguments, as the user wrote it in
// $VISUAL or $EDITOR) with AArguments appended, and waits for it. Returns false with
// AError set when it cannot be started; otherwise AExitCode is its exit status (128 +
// the signal number when a signal ended it).
bool RunEditor(const std::u16string& AEditor, const std::vector<std::u16string>& AArguments,
               int& AExitCode, std::string& AError);

} // namespace host
