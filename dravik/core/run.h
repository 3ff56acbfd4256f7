// One run of the extractor, as the window's "Go" and the command-line tool start it.
#pragma once

#include <filesystem>
#include <string>

#include "dravik/core/cache.h"

namespace dravik {

struct Workspace;

// `dir` with a path separator appended unless it already ends in "\" or "/"; where "\" is no
// separator, a closing one becomes "/".
std::string WithTrailingSeparator(std::string dir);

struct RunRequest {
    std::string gameDir;    // ends with a separator
    std::string exportDir;  // ends with a separator; a relative one lies in the game directory
    std::filesystem::path configPath;
    bool gameDirChanged = false;
};

struct RunSummary {
    int imagesWritten = 0;
    int errors = 0;  // error lines of this run
};

// Opens the configured palette packages and exports the cache of the game directory.
RunSummary RunExtraction(Workspace& ws, const RunRequest& request, const Progress& progress);

}  // namespace dravik
