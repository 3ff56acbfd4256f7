// The dialogs seam on real Qt dialogs.
#pragma once

#include <QString>

#include "kromby/ui/dialogs.h"

namespace kui {

class QtDialogs : public Dialogs {
public:
    explicit QtDialogs(QString applicationTitle) : title_(std::move(applicationTitle)) {}

    std::optional<std::string> OpenFile(QWidget* parent, const std::vector<FileFilter>& filters) override;
    std::optional<std::string> SaveFile(QWidget* parent, const std::vector<FileFilter>& filters,
                                        const std::string& defaultExtension) override;
    void Information(QWidget* parent, const std::string& text) override;
    bool Question(QWidget* parent, const std::string& caption, const std::string& text) override;
    void Error(QWidget* parent, const std::string& text) override;
    bool Execute(QDialog& dialog) override;
    void OpenUrl(QWidget* parent, const std::string& url) override;

private:
    QString title_;
};

// "text (pat1 pat2)" lines as QFileDialog wants them.
QString FilterString(const std::vector<FileFilter>& filters);
// Message texts keep the lone carriage returns of the original messages; a message box shows
// them as line breaks.
QString DisplayText(const std::string& text);

}  // namespace kui
