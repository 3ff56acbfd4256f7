// Dialog templates give positions in dialog units: a quarter of the font's average character
// width across, an eighth of its height down.
#pragma once

#include <QFont>
#include <QFontMetrics>
#include <QRect>

class DialogUnits {
public:
    explicit DialogUnits(const QFont& font) {
        const QFontMetrics fm(font);
        const QString letters = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
        baseX_ = (fm.horizontalAdvance(letters) / 26 + 1) / 2;
        baseY_ = fm.height();
    }
    int X(int du) const { return du * baseX_ / 4; }
    int Y(int du) const { return du * baseY_ / 8; }
    QPoint Point(int x, int y) const { return {X(x), Y(y)}; }
    QSize Size(int w, int h) const { return {X(w), Y(h)}; }
    QRect Rect(int x, int y, int w, int h) const { return {Point(x, y), Size(w, h)}; }

private:
    int baseX_, baseY_;
};
