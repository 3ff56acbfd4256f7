#include <iostream>

#include "dravik/cli/cli.h"
#include "kd/file_io.h"

namespace {

// The program's own directory, where config.ini lives.
std::filesystem::path ProgramDir(const char* argv0) {
    std::error_code ec;
#ifdef __linux__
    const auto self = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (!ec) return self.parent_path();
#endif
    return std::filesystem::absolute(std::filesystem::path(argv0), ec).parent_path();
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    return DravikCli(args, ProgramDir(argv[0]), stdout, std::cerr);
}
