// Every modal interaction of the extractor's window goes through this seam, so that tests can
// script the answers and nothing ever blocks on a real dialog.
#pragma once

#include <QIcon>
#include <QString>
#include <optional>

class QWidget;

class DravikDialogs {
public:
    virtual ~DravikDialogs() = default;
    // The folder picker with its prompt; nullopt when cancelled.
    virtual std::optional<QString> BrowseForFolder(QWidget* owner, const QString& prompt) = 0;
    // A plain message with an OK button only.
    virtual void ShowMessage(QWidget* owner, const QString& text) = 0;
    // The about box, shown modally.
    virtual void ShowAbout(QWidget* owner) = 0;
};

class QtDravikDialogs : public DravikDialogs {
public:
    std::optional<QString> BrowseForFolder(QWidget* owner, const QString& prompt) override;
    void ShowMessage(QWidget* owner, const QString& text) override;
    void ShowAbout(QWidget* owner) override;
};

// The program icon (IDR_MAINFRAME), drawn rather than loaded so the program needs no files.
QIcon DravikIcon();
// The dialogs' font: 9-point Song, or the closest CJK serif face the system has.
QFont DravikFont();
