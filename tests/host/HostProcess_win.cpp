#include "HostProcess.h"

#include "support/TestFiles.h"
#include "system/uCommandLine.h"

#include <windows.h>

#include <map>

namespace testing_support {

namespace {

std::wstring Wide(const std::u16string& AText) {
  return std::wstring(AText.begin(), AText.end());
}

std::wstring Wide(const std::string& AUtf8) {
  return Wide(Utf8ToUtf16(AUtf8));
}

// One argument as the program's command line carries it, quoted as the host quotes the
// editor's.
std::wstring Quote(const std::string& AUtf8) {
  return Wide(QuoteCommandLineArgument(Utf8ToUtf16(AUtf8)));
}

HANDLE OpenInherited(const std::filesystem::path& APath, bool AWrite) {
  SECURITY_ATTRIBUTES security{sizeof(security), nullptr, TRUE};
  return CreateFileW(APath.c_str(), AWrite ? GENERIC_WRITE : GENERIC_READ,
                     FILE_SHARE_READ | FILE_SHARE_WRITE, &security,
                     AWrite ? CREATE_ALWAYS : OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
}

struct TNoCase {
  bool operator()(const std::wstring& A, const std::wstring& B) const {
    return _wcsicmp(A.c_str(), B.c_str()) < 0;
  }
};

} // namespace

TRunResult RunProgram(const std::string& AProgram, const std::vector<std::string>& AArguments,
                      const std::string& AInput,
                      const std::vector<std::pair<std::string, std::string>>& AEnvironment,
                      const std::filesystem::path& AScratch) {
  const auto input = AScratch / "stdin";
  const auto out = AScratch / "stdout";
  const auto err = AScratch / "stderr";
  WriteBytes(input, AInput);

  std::map<std::wstring, std::wstring, TNoCase> variables;
  wchar_t* block = GetEnvironmentStringsW();
  for (const wchar_t* entry = block; *entry; entry += wcslen(entry) + 1) {
    const std::wstring text = entry;
    const size_t equals = text.find(L'=', 1);
    if (equals != std::wstring::npos) variables[text.substr(0, equals)] = text.substr(equals + 1);
  }
  FreeEnvironmentStringsW(block);
  for (const auto& [name, value] : AEnvironment) {
    if (value.empty())
      variables.erase(Wide(name));
    else
      variables[Wide(name)] = Wide(value);
  }
  std::wstring environment;
  for (const auto& [name, value] : variables)
    environment += name + L"=" + value + L'\0';
  environment.push_back(L'\0');

  std::wstring commandLine = Quote(AProgram);
  for (const auto& argument : AArguments)
    commandLine += L" " + Quote(argument);

  TRunResult result;
  HANDLE in = OpenInherited(input, false);
  HANDLE outHandle = OpenInherited(out, true);
  HANDLE errHandle = OpenInherited(err, true);
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = in;
  startup.hStdOutput = outHandle;
  startup.hStdError = errHandle;
  PROCESS_INFORMATION process{};
  const BOOL started =
      CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, TRUE,
                     CREATE_UNICODE_ENVIRONMENT, environment.data(), nullptr, &startup, &process);
  CloseHandle(in);
  CloseHandle(outHandle);
  CloseHandle(errHandle);
  if (!started) {
    result.Err = "cannot start: error " + std::to_string(GetLastError());
    return result;
  }
  WaitForSingleObject(process.hProcess, INFINITE);
  DWORD code = 0;
  GetExitCodeProcess(process.hProcess, &code);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  result.ExitCode = static_cast<int>(code);
  result.Out = ReadBytes(out);
  result.Err = ReadBytes(err);
  return result;
}

} // namespace testing_support
