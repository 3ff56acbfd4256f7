#include "dravik/app/about_dlg.h"

#include <QLabel>
#include <QPushButton>

#include "dravik/app/dialogs.h"
#include "dravik/app/dialog_units.h"

CAboutDlg::CAboutDlg(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("关于 Dravik"));
    setFont(DravikFont());
    const DialogUnits du(font());
    setFixedSize(du.Size(235, 55));

    auto* icon = new QLabel(this);
    icon->setObjectName(QStringLiteral("icon"));
    icon->setPixmap(DravikIcon().pixmap(32, 32));
    icon->setGeometry(QRect(du.Point(11, 17), QSize(32, 32)));

    auto* name = new QLabel(QStringLiteral("Dravik 1.0 版"), this);
    name->setObjectName(QStringLiteral("name"));
    name->setGeometry(du.Rect(40, 10, 119, 8));
    auto* credit = new QLabel(QStringLiteral("v3d_cache 提取工具"), this);
    credit->setObjectName(QStringLiteral("credit"));
    credit->setGeometry(du.Rect(40, 25, 119, 8));

    auto* ok = new QPushButton(QStringLiteral("确定"), this);
    ok->setObjectName(QStringLiteral("ok"));
    ok->setGeometry(du.Rect(178, 7, 50, 14));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
}
