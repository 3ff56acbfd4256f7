#include "kromby/app/kromby_app.h"

#include "kromby/app/about.h"
#include "kromby/app/main_form.h"
#include "kromby/palette/input.h"
#include "kromby/palette/pal.h"
#include "kromby/palette/wdialog.h"

KrombyApp::KrombyApp(kui::Dialogs& dialogs, const std::filesystem::path& programDir,
                     std::vector<std::string> arguments) {
    main_ = std::make_unique<TMainForm>(State, dialogs, std::move(arguments));
    MainForm = main_.get();
    PalForm = new TPalForm(State, *MainForm, dialogs, MainForm);
    InputForm = new TInputForm(*PalForm, dialogs, PalForm);
    AboutForm = new TAboutForm(dialogs, MainForm);
    WpalDialog = new TWpalDialog(programDir, dialogs, PalForm);
    MainForm->Attach(PalForm, AboutForm);
    PalForm->Attach(InputForm, WpalDialog);
}

KrombyApp::~KrombyApp() = default;
