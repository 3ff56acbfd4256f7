#include "kromby/palette/input.h"

#include <QPlainTextEdit>
#include <QPushButton>
#include <QShowEvent>

#include "kromby/palette/pal.h"
#include "kromby/ui/guard.h"

TInputForm::TInputForm(TPalForm& palForm, kui::Dialogs& dialogs, QWidget* parent)
    : QDialog(parent, Qt::Tool | Qt::WindowStaysOnTopHint), palForm_(palForm), dialogs_(dialogs) {
    setObjectName("InputForm");
    setWindowTitle("自定义分段");
    setFixedSize(274, 215);
    move(472, 324);

    Memo1 = new QPlainTextEdit(this);
    Memo1->setObjectName("Memo1");
    Memo1->setGeometry(8, 8, 257, 137);
    Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Memo1->setLineWrapMode(QPlainTextEdit::NoWrap);

    Button1 = new QPushButton("确定", this);
    Button1->setObjectName("Button1");
    Button1->setGeometry(56, 168, 75, 25);
    Button1->setAutoDefault(false);
    kui::OnUser(Button1, &QPushButton::clicked, this, dialogs_, [this] { Button1Click(); });
    Button2 = new QPushButton("取消", this);
    Button2->setObjectName("Button2");
    Button2->setGeometry(144, 168, 75, 25);
    Button2->setAutoDefault(false);
    kui::OnUser(Button2, &QPushButton::clicked, this, dialogs_, [this] { Button2Click(); });
}

void TInputForm::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!event->spontaneous()) kui::Guard(dialogs_, this, [this] { FormShow(); });
}

void TInputForm::FormShow() {
    Memo1->clear();
    Memo1->setPlainText(palForm_.RadioGroup1->Items().join('\n'));
}

void TInputForm::Button1Click() {
    std::vector<std::string> lines;
    for (QString line : Memo1->toPlainText().split('\n')) {
        if (line.endsWith('\r')) line.chop(1);
        lines.push_back(line.toStdString());
    }
    // Every line is converted and checked first; a bad one leaves everything as it was and the
    // window open for correction.
    const TypedSegments typed = ParseSegmentLines(lines);
    palForm_.ReplaceSegments(typed);
    accept();
}

void TInputForm::Button2Click() { reject(); }
