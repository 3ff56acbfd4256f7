// The custom segmentation window: the user types palette ranges, one "first~last" per line, that
// replace the magic palette window's segments.
#pragma once

#include <QDialog>

#include "kromby/ui/dialogs.h"

class QPlainTextEdit;
class QPushButton;
class TPalForm;

class TInputForm : public QDialog {
public:
    TInputForm(TPalForm& palForm, kui::Dialogs& dialogs, QWidget* parent = nullptr);

    void FormShow();
    void Button1Click();  // 确定
    void Button2Click();  // 取消

    QPlainTextEdit* Memo1;
    QPushButton* Button1;
    QPushButton* Button2;

protected:
    void showEvent(QShowEvent* event) override;

private:
    TPalForm& palForm_;
    kui::Dialogs& dialogs_;
};
