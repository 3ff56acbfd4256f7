#pragma once

#include <QDialog>

// The about box (IDD_ABOUTBOX): icon, name and version, an OK button.
class CAboutDlg : public QDialog {
    Q_OBJECT
public:
    explicit CAboutDlg(QWidget* parent = nullptr);
};
