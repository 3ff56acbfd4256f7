#pragma once

#include <ostream>
#include <string>
#include <vector>

// The whole command-line tool; `args` excludes the program name. Returns the exit code.
int KrombyCli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
