// A scripted stand-in for the user's editor, for the tests of quorvane-run: it edits the
// list file as the environment says and records how it was called.
//
//   quorvane-test-editor [ARGS...] FILE
//   QRT_EDITS  "old>new|..." sets the new name of the entry whose new name is "old";
//              "<old>new" changes the entry's current name instead
//   QRT_LOG    a file that gets "ARGS: ..." and then the list as the editor received it
//   QRT_EXIT   the exit status to end with (after the edits)
//   QRT_DELETE "1": deletes the list file instead of editing it
//   QRT_WAIT   a file whose coming the editor waits for before it ends (20 s at most),
//              to stand for a user still in the editor
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#ifdef _WIN32
#include <windows.h>

namespace {
std::string ToUtf8(const wchar_t* AText) {
  if (!AText) return {};
  const int size = WideCharToMultiByte(CP_UTF8, 0, AText, -1, nullptr, 0, nullptr, nullptr);
  std::string result(size > 0 ? size - 1 : 0, '\0');
  if (size > 1) WideCharToMultiByte(CP_UTF8, 0, AText, -1, result.data(), size, nullptr, nullptr);
  return result;
}
std::wstring ToWide(const std::string& AText) {
  const int size = MultiByteToWideChar(CP_UTF8, 0, AText.c_str(), -1, nullptr, 0);
  std::wstring result(size > 0 ? size - 1 : 0, L'\0');
  if (size > 1) MultiByteToWideChar(CP_UTF8, 0, AText.c_str(), -1, result.data(), size);
  return result;
}
std::string Env(const char* AName) {
  return ToUtf8(_wgetenv(ToWide(AName).c_str()));
}
FILE* Open(const std::string& AName, const char* AMode) {
  return _wfopen(ToWide(AName).c_str(), ToWide(AMode).c_str());
}
int Remove(const std::string& AName) {
  return _wremove(ToWide(AName).c_str());
}
} // namespace
#else
namespace {
std::string Env(const char* AName) {
  const char* value = std::getenv(AName);
  return value ? value : "";
}
FILE* Open(const std::string& AName, const char* AMode) {
  return std::fopen(AName.c_str(), AMode);
}
int Remove(const std::string& AName) {
  return std::remove(AName.c_str());
}
} // namespace
#endif

namespace {

bool ReadAll(const std::string& AName, std::string& AText) {
  FILE* file = Open(AName, "rb");
  if (!file) return false;
  char buffer[65536];
  size_t count;
  while ((count = std::fread(buffer, 1, sizeof(buffer), file)) > 0)
    AText.append(buffer, count);
  std::fclose(file);
  return true;
}

bool WriteAll(const std::string& AName, const std::string& AText, const char* AMode) {
  FILE* file = Open(AName, AMode);
  if (!file) return false;
  const bool ok = std::fwrite(AText.data(), 1, AText.size(), file) == AText.size();
  return std::fclose(file) == 0 && ok;
}

std::vector<std::string> Split(const std::string& AText, char ASeparator) {
  std::vector<std::string> parts;
  size_t start = 0;
  while (start <= AText.size()) {
    const size_t end = AText.find(ASeparator, start);
    parts.push_back(
        AText.substr(start, end == std::string::npos ? std::string::npos : end - start));
    if (end == std::string::npos) break;
    start = end + 1;
  }
  return parts;
}

std::string Quoted(const std::string& AName) {
  std::string result(1, '"');
  result += AName;
  result.push_back('"');
  return result;
}

// Applies one edit to every line: the first quoted "old" (current name) or the last one
// (new name) becomes "new".
void ApplyEdit(std::string& AText, const std::string& AEdit) {
  const bool source = !AEdit.empty() && AEdit[0] == '<';
  const std::string edit = source ? AEdit.substr(1) : AEdit;
  const size_t arrow = edit.find('>');
  if (arrow == std::string::npos) return;
  const std::string from = Quoted(edit.substr(0, arrow));
  const std::string to = Quoted(edit.substr(arrow + 1));
  std::vector<std::string> lines = Split(AText, '\n');
  for (auto& line : lines) {
    const size_t at = source ? line.find(from) : line.rfind(from);
    if (at != std::string::npos && line[0] == '"') line.replace(at, from.size(), to);
  }
  AText.clear();
  for (size_t i = 0; i < lines.size(); ++i) {
    if (i) AText.push_back('\n');
    AText += lines[i];
  }
}

int Edit(const std::vector<std::string>& AArguments) {
  if (AArguments.empty()) return 3;
  const std::string& fileName = AArguments.back();
  std::string text;
  const bool read = ReadAll(fileName, text);
  const std::string log = Env("QRT_LOG");
  if (!log.empty()) {
    std::string record = "ARGS:";
    for (const auto& argument : AArguments) {
      record.push_back(' ');
      record += argument;
    }
    record.push_back('\n');
    record += text;
    WriteAll(log, record, "ab");
  }
  if (!read) return 4;
  if (Env("QRT_DELETE") == "1") {
    Remove(fileName);
  } else {
    for (const auto& edit : Split(Env("QRT_EDITS"), '|')) {
      if (!edit.empty()) ApplyEdit(text, edit);
    }
    if (!WriteAll(fileName, text, "wb")) return 5;
  }
  const std::string wait = Env("QRT_WAIT");
  for (int i = 0; !wait.empty() && i < 2000; ++i) {
    if (FILE* file = Open(wait, "rb")) {
      std::fclose(file);
      break;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  const std::string status = Env("QRT_EXIT");
  return status.empty() ? 0 : std::atoi(status.c_str());
}

} // namespace

#ifdef _WIN32
int wmain(int argc, wchar_t** argv) {
  std::vector<std::string> arguments;
  for (int i = 1; i < argc; ++i)
    arguments.push_back(ToUtf8(argv[i]));
  return Edit(arguments);
}
#else
int main(int argc, char** argv) {
  return Edit(std::vector<std::string>(argv + 1, argv + argc));
}
#endif
