// The baseline of bench/host_rename_bench.sh: the same renames as quorvane-run makes,
// as a plain loop of rename(2) over the directory's entries.
//
//   rename_loop DIR FROM TO   renames every entry whose name starts with FROM to the
//                             same name with TO in place of FROM
#include <cstdio>
#include <cstring>
#include <dirent.h>
#include <string>
#include <vector>

int main(int argc, char** argv) {
  if (argc != 4) {
    std::fprintf(stderr, "usage: rename_loop DIR FROM TO\n");
    return 2;
  }
  const std::string directory = std::string(argv[1]) + "/";
  const std::string from = argv[2];
  const std::string to = argv[3];
  DIR* dir = opendir(argv[1]);
  if (!dir) {
    std::perror(argv[1]);
    return 2;
  }
  std::vector<std::string> names;
  while (const dirent* entry = readdir(dir)) {
    if (std::strncmp(entry->d_name, from.c_str(), from.size()) == 0)
      names.emplace_back(entry->d_name);
  }
  closedir(dir);
  size_t renamed = 0;
  for (const auto& name : names) {
    const std::string source = directory + name;
    const std::string destination = directory + to + name.substr(from.size());
    if (std::rename(source.c_str(), destination.c_str()) == 0) ++renamed;
  }
  std::printf("%zu renamed\n", renamed);
  return renamed == names.size() ? 0 : 1;
}
