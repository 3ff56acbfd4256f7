// The about box: name, version, author, a clickable address and one more line.
#pragma once

#include <QDialog>

#include "kromby/ui/dialogs.h"

class QLabel;
class QPushButton;

class TAboutForm : public QDialog {
public:
    TAboutForm(kui::Dialogs& dialogs, QWidget* parent = nullptr);

    void Button1Click();
    void Label3Click();

    QLabel* Image1;
    QLabel *Label1, *Label2, *Label3, *Label4;
    QPushButton* Button1;

private:
    kui::Dialogs& dialogs_;
};
