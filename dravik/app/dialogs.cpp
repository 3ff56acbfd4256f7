#include "dravik/app/dialogs.h"

#include <QFileDialog>
#include <QFont>
#include <QMessageBox>
#include <QPainter>
#include <QPixmap>

#include "dravik/app/about_dlg.h"

std::optional<QString> QtDravikDialogs::BrowseForFolder(QWidget* owner, const QString& prompt) {
    const QString dir = QFileDialog::getExistingDirectory(owner, prompt, QString(),
                                                          QFileDialog::ShowDirsOnly);
    if (dir.isEmpty()) return std::nullopt;
    return dir;
}

void QtDravikDialogs::ShowMessage(QWidget* owner, const QString& text) {
    QMessageBox box(QMessageBox::NoIcon, QStringLiteral("Dravik"), text, QMessageBox::Ok, owner);
    box.exec();
}

void QtDravikDialogs::ShowAbout(QWidget* owner) {
    CAboutDlg about(owner);
    about.exec();
}

QIcon DravikIcon() {
    QIcon icon;
    for (int size : {16, 32, 48}) {
        QPixmap pm(size, size);
        pm.fill(Qt::transparent);
        QPainter p(&pm);
        p.setRenderHint(QPainter::Antialiasing);
        const qreal s = size / 32.0;
        p.scale(s, s);
        // A cache drawer with a picture coming out of it.
        p.setPen(QPen(QColor(40, 60, 90), 1.5));
        p.setBrush(QColor(90, 130, 190));
        p.drawRoundedRect(QRectF(3, 14, 26, 15), 3, 3);
        p.setBrush(QColor(250, 250, 240));
        p.drawRect(QRectF(9, 4, 14, 14));
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(220, 70, 50));
        p.drawEllipse(QRectF(12, 7, 8, 8));
        p.setBrush(QColor(40, 60, 90));
        p.drawRect(QRectF(12, 20, 8, 2));
        p.end();
        icon.addPixmap(pm);
    }
    return icon;
}

QFont DravikFont() {
    QFont font;
    font.setFamilies({QStringLiteral("SimSun"), QStringLiteral("宋体"),
                      QStringLiteral("Noto Serif CJK SC"), QStringLiteral("Noto Sans CJK SC")});
    font.setPointSize(9);
    return font;
}
