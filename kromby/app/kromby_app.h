// The viewer's start-up: the shared state and the five windows, created once in their order.
#pragma once

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "kromby/palette/kromby_state.h"
#include "kromby/ui/dialogs.h"

class TAboutForm;
class TInputForm;
class TMainForm;
class TPalForm;
class TWpalDialog;

inline constexpr char kApplicationTitle[] = "Kromby 2.0";

class KrombyApp {
public:
    // `programDir` holds the palette library folders; `arguments` follow the program name.
    KrombyApp(kui::Dialogs& dialogs, const std::filesystem::path& programDir,
              std::vector<std::string> arguments);
    ~KrombyApp();

    KrombyState State;  // outlives every window
    TMainForm* MainForm;
    TPalForm* PalForm;
    TInputForm* InputForm;
    TAboutForm* AboutForm;
    TWpalDialog* WpalDialog;

private:
    std::unique_ptr<TMainForm> main_;  // owns the other four as its children
};
