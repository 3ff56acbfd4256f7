// The palette library dialog: picks one .wpal file from the two library folders next to the
// program. What was picked stays picked from one opening to the next.
#pragma once

#include <array>
#include <filesystem>
#include <string>

#include <QDialog>

#include "kromby/ui/dialogs.h"

class QLabel;
class QListWidget;
class QPushButton;
class QTabBar;

class TWpalDialog : public QDialog {
public:
    // `programDir` is the folder of the program file; the library folders are named after the tabs.
    TWpalDialog(const std::filesystem::path& programDir, kui::Dialogs& dialogs, QWidget* parent = nullptr);

    bool Execute();
    const std::string& GetSelectedFile() const { return selectedFile_; }
    const std::array<std::string, 2>& LibraryFolders() const { return libraryFolders_; }

    void FormShow();
    void TabControl1Change();
    void FileListBox1Change();
    void Ok_ButtonClick();
    void Cancel_ButtonClick();

    QTabBar* TabControl1;
    QListWidget* FileListBox1;
    QLabel* Label1;
    QPushButton* Ok_Button;
    QPushButton* Cancel_Button;

protected:
    void showEvent(QShowEvent* event) override;

private:
    // Lists the folder's library files with no line selected; the same folder again keeps its
    // lines and selection. A missing folder throws and leaves the list as it was.
    void PointListAt(const std::string& folder);

    kui::Dialogs& dialogs_;
    std::string selectedFile_;
    std::array<std::string, 2> libraryFolders_;
    std::string listedFolder_;
    bool listed_ = false;
};
