#pragma once

#include <QDialog>
#include <QString>
#include <filesystem>

class DravikDialogs;
class QLineEdit;
class QProgressBar;
class QPushButton;

namespace dravik {
struct Workspace;
}

// Where the run's log went, for the closing message.
struct LogPlace {
    std::filesystem::path path;  // empty when no log could be created
    bool fallback = false;       // not beside the program
};

// The main window (IDD_DRAVIK_DIALOG): the game and export directories, "Go", the progress.
class CDravikDlg : public QDialog {
    Q_OBJECT
public:
    static constexpr int IDM_ABOUTBOX = 0x0010;

    CDravikDlg(dravik::Workspace& ws, DravikDialogs& dialogs, std::filesystem::path configPath,
               LogPlace log, QWidget* parent = nullptr);

    // The members and their controls, in the manner of the dialog class library.
    QPushButton* m_btnGo;
    QProgressBar* m_progress;
    QString m_strGameDir;
    QString m_strExportDir;
    bool m_bGameDirChanged = false;

    QLineEdit* GameDirEdit() const { return gameDirEdit_; }
    QLineEdit* ExportDirEdit() const { return exportDirEdit_; }
    QPushButton* BrowseGameButton() const { return browseGame_; }
    QPushButton* BrowseExportButton() const { return browseExport_; }

    // true: members from the edit boxes; false: edit boxes from the members.
    void UpdateData(bool saveAndValidate);
    void OnSysCommand(int id);
    void OnBrowseGameDir();
    void OnBrowseExportDir();
    void OnGo();

protected:
    void keyPressEvent(QKeyEvent* event) override;
#ifdef Q_OS_WIN
    void showEvent(QShowEvent* event) override;
    bool nativeEvent(const QByteArray& eventType, void* message, qintptr* result) override;
#endif

private:
    void OnInitDialog();
    QString ClosingMessage(int images, int errors) const;

    dravik::Workspace& ws_;
    DravikDialogs& dialogs_;
    std::filesystem::path configPath_;
    LogPlace log_;
    QLineEdit* gameDirEdit_;
    QLineEdit* exportDirEdit_;
    QPushButton* browseGame_;
    QPushButton* browseExport_;
#ifdef Q_OS_WIN
    bool systemMenuReady_ = false;
#endif
};
