#pragma once

#include <cstdio>
#include <filesystem>
#include <ostream>
#include <string>
#include <vector>

// dravik-cli: one run as the window's "Go" makes it. `args` excludes the program name;
// `programDir` is where config.ini is looked for; log lines go to `out` unless --log names a
// file. Returns 0 for a run without error lines, 2 for one with error lines, 1 when the run
// could not start.
int DravikCli(const std::vector<std::string>& args, const std::filesystem::path& programDir,
              std::FILE* out, std::ostream& err);
