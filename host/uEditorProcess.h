// The user's editor as quorvane-run starts it: the command from $VISUAL or $EDITOR (as
// the shell reads it; on Windows as a command line), its program, and the arguments that
// open the list at its first entry line.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace host {

// $VISUAL, else $EDITOR, else vi (notepad on Windows).
std::u16string EditorCommand();

// The program of a command line: its first word after any VAR=value settings. Quotes
// group as the shell's do: '...' literally, "..." with \ escaping only " \ $ and `; out
// of quotes a backslash escapes the next character, but on Windows, where it is the path
// delimiter, it stays. Empty when the line names no program.
std::u16string CommandProgram(const std::u16string& ACommand);

// Whether the editor opens a file at line N when given +N before it.
bool TakesStartLine(const std::u16string& AEditorCommand);

// The arguments after the command: +N where the editor takes it, then the file.
std::vector<std::u16string> EditorArguments(const std::u16string& AEditorCommand,
                                            const std::u16string& AFileName, intptr_t AStartLine);

} // namespace host
