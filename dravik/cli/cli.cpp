#include "dravik/cli/cli.h"

#include "dravik/core/run.h"
#include "dravik/core/workspace.h"
#include "kd/file_io.h"

namespace fs = std::filesystem;

namespace {

const char kUsage[] =
    "Usage: dravik-cli [--config FILE] [--log FILE] GAME_DIR EXPORT_DIR\n"
    "Exports every image of GAME_DIR/v3d_cache (v3d.hdr, v3d.dat) as a TGA file into\n"
    "EXPORT_DIR, colouring images without a palette of their own from the palette packages\n"
    "that config.ini names (default: config.ini beside this program; mypal.wdf when it names\n"
    "none). Log lines go to standard output unless --log names a file.\n"
    "Exit status: 0 done, 2 done with error lines in the log, 1 not started.\n";

// A relative directory is taken from the current one, as a command line user expects.
std::string Absolute(const std::string& dir) {
    std::error_code ec;
    const fs::path abs = fs::absolute(kd::PathFromUtf8(dir), ec);
    return ec ? dir : kd::PathToUtf8(abs);
}

}  // namespace

int DravikCli(const std::vector<std::string>& args, const fs::path& programDir, std::FILE* out,
              std::ostream& err) {
    std::string configFile, logFile;
    std::vector<std::string> dirs;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--help" || a == "-h") {
            std::fputs(kUsage, out);
            return 0;
        }
        if (a == "--version") {
            std::fputs("dravik-cli " DRAVIK_VERSION "\n", out);
            return 0;
        }
        if (a == "--config" || a == "--log") {
            if (i + 1 == args.size()) {
                err << "dravik-cli: " << a << " needs a file\n" << kUsage;
                return 1;
            }
            (a == "--config" ? configFile : logFile) = args[++i];
        } else if (a.size() > 1 && a[0] == '-' && a != "--") {
            err << "dravik-cli: unknown option '" << a << "'\n" << kUsage;
            return 1;
        } else {
            dirs.push_back(a);
        }
    }
    if (dirs.size() != 2) {
        err << "dravik-cli: expected GAME_DIR and EXPORT_DIR\n" << kUsage;
        return 1;
    }
    if (dirs[0].empty() || dirs[1].empty()) {
        err << "dravik-cli: " << (dirs[0].empty() ? "GAME_DIR" : "EXPORT_DIR") << " is empty\n";
        return 1;
    }

    dravik::Workspace ws;
    if (logFile.empty()) {
        ws.log.Attach(out);
    } else if (!ws.log.Open(kd::PathFromUtf8(logFile))) {
        err << "dravik-cli: cannot create the log \"" << logFile << "\"\n";
        return 1;
    }
    dravik::RunRequest request;
    request.gameDir = dravik::WithTrailingSeparator(Absolute(dirs[0]));
    request.exportDir = dravik::WithTrailingSeparator(Absolute(dirs[1]));
    request.configPath = configFile.empty() ? programDir / "config.ini" : kd::PathFromUtf8(configFile);
    const dravik::RunSummary summary = dravik::RunExtraction(ws, request, nullptr);
    ws.log.Close();
    if (summary.errors > 0) {
        err << "dravik-cli: " << summary.imagesWritten << " images written, " << summary.errors
            << " error lines logged" << (logFile.empty() ? "" : " in " + logFile) << "\n";
        return 2;
    }
    return 0;
}
