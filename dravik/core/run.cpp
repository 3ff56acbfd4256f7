#include "dravik/core/run.h"

#include "dravik/core/config.h"
#include "dravik/core/workspace.h"
#include "kd/file_io.h"

namespace fs = std::filesystem;

namespace dravik {

std::string WithTrailingSeparator(std::string dir) {
#ifndef _WIN32
    // "\" separates nothing here, yet a directory typed with a closing one must be found.
    if (!dir.empty() && dir.back() == '\\') dir.back() = '/';
#endif
    if (dir.empty() || (dir.back() != '\\' && dir.back() != '/'))
        dir += char(fs::path::preferred_separator);
    return dir;
}

RunSummary RunExtraction(Workspace& ws, const RunRequest& request, const Progress& progress) {
    const int errorsBefore = ws.log.ErrorCount();
    const int imagesBefore = ws.imagesWritten;

    // The original made the game directory the current one for the rest of the run; taking
    // relative names from it explicitly gives the same result without touching the process.
    const fs::path gameDir = kd::PathFromUtf8(request.gameDir);
    OpenPalettePackages(ws, request.configPath, gameDir, request.gameDirChanged);

    ws.exportDir = kd::PathFromUtf8(request.exportDir).is_relative()
                       ? request.gameDir + request.exportDir
                       : request.exportDir;
    const std::string sep(1, char(fs::path::preferred_separator));
    const std::string cache = request.gameDir + "v3d_cache" + sep;
    ExtractCache(ws, kd::PathFromUtf8(cache + "v3d.hdr"), kd::PathFromUtf8(cache + "v3d.dat"),
                 progress);
    ws.log.Flush();
    return {ws.imagesWritten - imagesBefore, ws.log.ErrorCount() - errorsBefore};
}

}  // namespace dravik
