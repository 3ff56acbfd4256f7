#include "kromby/app/icons.h"

#include <QPainter>
#include <QPainterPath>

namespace {

QPixmap Canvas(int size) {
    QPixmap p(size, size);
    p.fill(Qt::transparent);
    return p;
}

void Folder(QPainter& g) {
    g.setPen(QColor(150, 110, 20));
    g.setBrush(QColor(240, 200, 80));
    g.drawRect(1, 4, 13, 10);
    g.drawRect(1, 2, 5, 2);
    g.setBrush(QColor(255, 225, 120));
    QPolygon lid{{3, 7}, {15, 7}, {13, 14}, {1, 14}};
    g.drawPolygon(lid);
}

void Disk(QPainter& g) {
    g.setPen(QColor(30, 50, 110));
    g.setBrush(QColor(60, 100, 200));
    g.drawRect(1, 1, 13, 13);
    g.setBrush(QColor(235, 235, 240));
    g.drawRect(4, 1, 7, 5);
    g.setBrush(QColor(40, 40, 60));
    g.drawRect(4, 9, 7, 5);
}

void Palette(QPainter& g) {
    g.setPen(QColor(110, 80, 40));
    g.setBrush(QColor(225, 190, 140));
    g.drawEllipse(1, 2, 14, 12);
    const QColor dots[] = {QColor(220, 40, 40), QColor(40, 170, 60), QColor(40, 80, 220), QColor(240, 200, 30)};
    const QPoint at[] = {{5, 5}, {9, 4}, {11, 8}, {6, 10}};
    g.setPen(Qt::NoPen);
    for (int i = 0; i < 4; ++i) {
        g.setBrush(dots[i]);
        g.drawEllipse(at[i], 2, 2);
    }
}

void About(QPainter& g) {
    g.setPen(QColor(20, 70, 150));
    g.setBrush(QColor(70, 140, 230));
    g.drawEllipse(1, 1, 14, 14);
    g.setPen(QPen(Qt::white, 2));
    g.drawPoint(8, 4);
    g.drawLine(8, 7, 8, 12);
}

void SaveAs(QPainter& g) {
    Disk(g);
    g.setPen(QPen(QColor(200, 60, 30), 2));
    g.drawLine(9, 14, 15, 8);
}

void Web(QPainter& g) {
    g.setPen(QColor(20, 110, 60));
    g.setBrush(QColor(120, 200, 150));
    g.drawEllipse(1, 1, 14, 14);
    g.setBrush(Qt::NoBrush);
    g.drawEllipse(5, 1, 6, 14);
    g.drawLine(1, 8, 15, 8);
}

}  // namespace

QIcon ImageListIcon(int index) {
    QPixmap p = Canvas(16);
    QPainter g(&p);
    g.setRenderHint(QPainter::Antialiasing);
    switch (index) {
        case 11: Folder(g); break;
        case 12: Disk(g); break;
        case 14: Palette(g); break;
        case 19: About(g); break;
        case 20: SaveAs(g); break;
        case 21: Web(g); break;
        default: break;
    }
    g.end();
    return QIcon(p);
}

QIcon ProgramIcon() {
    QPixmap p = Canvas(32);
    QPainter g(&p);
    g.setRenderHint(QPainter::Antialiasing);
    g.scale(2, 2);
    Palette(g);
    g.end();
    return QIcon(p);
}

QPixmap AboutPicture() {
    // A 4 x 4 swatch of one hue wheel, dyed the way the program dyes: rows are the same colours
    // through a stronger and stronger matrix.
    QPixmap p(104, 104);
    p.fill(QColor(40, 44, 60));
    QPainter g(&p);
    g.setRenderHint(QPainter::Antialiasing);
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c) {
            QColor colour = QColor::fromHsv((c * 90 + r * 25) % 360, 90 + 50 * r, 250 - 20 * r);
            g.setPen(Qt::NoPen);
            g.setBrush(colour);
            g.drawRoundedRect(6 + 24 * c, 6 + 24 * r, 20, 20, 4, 4);
        }
    g.setPen(QPen(QColor(255, 255, 255, 200), 2));
    g.setBrush(Qt::NoBrush);
    g.drawRoundedRect(2, 2, 100, 100, 8, 8);
    g.end();
    return p;
}
