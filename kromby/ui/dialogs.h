// Every modal interaction of the windows goes through this interface, so tests can script the
// answers and no test ever waits on a real dialog.
#pragma once

#include <optional>
#include <string>
#include <vector>

class QDialog;
class QWidget;

namespace kui {

// One entry of a file dialog's type list: the text shown and its ";"-separated patterns.
struct FileFilter {
    std::string Text;
    std::string Pattern;
};

class Dialogs {
public:
    virtual ~Dialogs() = default;

    // The chosen path, or nothing when the user cancels.
    virtual std::optional<std::string> OpenFile(QWidget* parent,
                                                const std::vector<FileFilter>& filters) = 0;
    // Never asks about overwriting: the commands ask themselves, after the dialog closed.
    virtual std::optional<std::string> SaveFile(QWidget* parent, const std::vector<FileFilter>& filters,
                                                const std::string& defaultExtension) = 0;
    // The application title as caption, the text and an OK button.
    virtual void Information(QWidget* parent, const std::string& text) = 0;
    // OK / Cancel with a question icon; true only for OK.
    virtual bool Question(QWidget* parent, const std::string& caption, const std::string& text) = 0;
    // The application title as caption, the text and an error icon.
    virtual void Error(QWidget* parent, const std::string& text) = 0;
    // Shows `dialog` modally; true when it was accepted.
    virtual bool Execute(QDialog& dialog) = 0;
    // Hands an address to the desktop's default handler; failures are ignored.
    virtual void OpenUrl(QWidget* parent, const std::string& url) = 0;
};

}  // namespace kui
