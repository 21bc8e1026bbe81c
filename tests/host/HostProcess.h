// Runs a program of the build, as a user would from a shell: arguments, standard input,
// environment, and its exit status and output afterwards.
#pragma once

#include <filesystem>
#include <string>
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

} // namespace testing_support
