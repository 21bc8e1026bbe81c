#include "HostProcess.h"

#include <cstring>
#include <fcntl.h>
#include <map>
#include <spawn.h>
#include <sys/wait.h>

#include "support/TestFiles.h"

extern char** environ;

namespace testing_support {

TRunResult RunProgram(const std::string& AProgram, const std::vector<std::string>& AArguments,
                      const std::string& AInput,
                      const std::vector<std::pair<std::string, std::string>>& AEnvironment,
                      const std::filesystem::path& AScratch) {
  const auto input = AScratch / "stdin";
  const auto out = AScratch / "stdout";
  const auto err = AScratch / "stderr";
  WriteBytes(input, AInput);

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
  std::vector<std::string> envText;
  for (const auto& [name, value] : variables)
    envText.push_back(name + "=" + value);
  std::vector<char*> envp;
  for (auto& text : envText)
    envp.push_back(text.data());
  envp.push_back(nullptr);

  std::vector<std::string> args = {AProgram};
  args.insert(args.end(), AArguments.begin(), AArguments.end());
  std::vector<char*> argv;
  for (auto& arg : args)
    argv.push_back(arg.data());
  argv.push_back(nullptr);

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, input.c_str(), O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 1, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  posix_spawn_file_actions_addopen(&actions, 2, err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  pid_t child = 0;
  TRunResult result;
  const int error =
      posix_spawn(&child, AProgram.c_str(), &actions, nullptr, argv.data(), envp.data());
  posix_spawn_file_actions_destroy(&actions);
  if (error != 0) {
    result.Err = std::string("cannot start: ") + std::strerror(error);
    return result;
  }
  int status = 0;
  waitpid(child, &status, 0);
  result.ExitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  result.Out = ReadBytes(out);
  result.Err = ReadBytes(err);
  return result;
}

} // namespace testing_support
