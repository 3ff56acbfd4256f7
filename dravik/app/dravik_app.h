#pragma once

#include <filesystem>

#include "dravik/app/dravik_dlg.h"
#include "dravik/core/workspace.h"

class DravikDialogs;

// The application: opens the log and the work buffers, runs the main window, frees them.
class CDravikApp {
public:
    // `programDir` holds config.ini and, when it can be written, log.txt; `stateDir` takes
    // the log otherwise.
    CDravikApp(DravikDialogs& dialogs, std::filesystem::path programDir, std::filesystem::path stateDir);

    bool InitInstance();
    void InitWorkspace();
    void FreeWorkspace();

    dravik::Workspace& Workspace() { return ws_; }
    const LogPlace& Log() const { return log_; }
    std::filesystem::path ConfigPath() const { return programDir_ / "config.ini"; }

    // $XDG_STATE_HOME/dravik, or ~/.local/state/dravik.
    static std::filesystem::path DefaultStateDir();

private:
    DravikDialogs& dialogs_;
    std::filesystem::path programDir_, stateDir_;
    dravik::Workspace ws_;
    LogPlace log_;
};
