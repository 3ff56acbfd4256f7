#include "dravik/app/dravik_app.h"

#include <cstdlib>

CDravikApp::CDravikApp(DravikDialogs& dialogs, std::filesystem::path programDir,
                       std::filesystem::path stateDir)
    : dialogs_(dialogs), programDir_(std::move(programDir)), stateDir_(std::move(stateDir)) {}

std::filesystem::path CDravikApp::DefaultStateDir() {
    const char* state = std::getenv("XDG_STATE_HOME");
    if (state && *state) return std::filesystem::path(state) / "dravik";
    const char* home = std::getenv("HOME");
    if (home && *home) return std::filesystem::path(home) / ".local" / "state" / "dravik";
    return {};
}

void CDravikApp::InitWorkspace() {
    // The work buffers came with the workspace; the log is re-created at every start. An
    // installed program's folder is often read-only, so the log then goes to the user's state
    // folder rather than nowhere.
    log_ = {};
    if (ws_.log.Open(programDir_ / "log.txt")) {
        log_.path = programDir_ / "log.txt";
        return;
    }
    if (stateDir_.empty()) return;
    std::error_code ec;
    std::filesystem::create_directories(stateDir_, ec);
    if (ws_.log.Open(stateDir_ / "log.txt")) log_ = {stateDir_ / "log.txt", true};
}

void CDravikApp::FreeWorkspace() { ws_.log.Close(); }

bool CDravikApp::InitInstance() {
    InitWorkspace();
    {
        CDravikDlg dlg(ws_, dialogs_, ConfigPath(), log_);
        dlg.exec();
    }
    FreeWorkspace();
    return false;  // the program ends with its window
}
