#pragma once
// The subcommands of senki-export. Each takes the arguments that follow its
// name and returns the process's exit status.

#include <string>
#include <vector>

namespace senki::cli {

using Arguments = std::vector<std::string>;

int RunInfo(const Arguments& args);
int RunSnapshot(const Arguments& args);
int RunMovie(const Arguments& args);

}  // namespace senki::cli
