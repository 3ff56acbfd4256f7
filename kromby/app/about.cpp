#include "kromby/app/about.h"

#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>

#include "kromby/app/icons.h"
#include "kromby/app/main_form.h"
#include "kromby/ui/guard.h"

namespace {

// A label that reports clicks; the address label is the only one that needs it.
class ClickLabel : public QLabel {
public:
    ClickLabel(QWidget* parent, std::function<void()> onClick) : QLabel(parent), onClick_(std::move(onClick)) {}

protected:
    void mouseReleaseEvent(QMouseEvent* event) override {
        if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint())) onClick_();
    }

private:
    std::function<void()> onClick_;
};

}  // namespace

TAboutForm::TAboutForm(kui::Dialogs& dialogs, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint),
      dialogs_(dialogs) {
    setObjectName("AboutForm");
    setWindowTitle("关于 Kromby2.0 正式版");
    setFixedSize(401, 129);
    move(332, 359);
    setAutoFillBackground(true);
    QPalette p = palette();
    p.setColor(QPalette::Window, p.color(QPalette::Button));
    setPalette(p);

    Image1 = new QLabel(this);
    Image1->setObjectName("Image1");
    Image1->setPixmap(AboutPicture());
    Image1->setGeometry(8, 8, 104, 104);

    QFont font("宋体");
    font.setPixelSize(13);
    auto label = [&](QLabel* l, const char* name, const char* text, int y) {
        l->setObjectName(name);
        l->setText(QString::fromUtf8(text));
        l->setFont(font);
        l->setGeometry(128, y, 180, 16);
        return l;
    };
    Label1 = label(new QLabel(this), "Label1", "Kromby Version 2.0", 16);
    Label2 = label(new QLabel(this), "Label2", "作者：Tovik", 40);
    Label3 = label(new ClickLabel(this, [this] { kui::Guard(dialogs_, this, [this] { Label3Click(); }); }),
                   "Label3", kBlogUrl, 72);
    Label3->setGeometry(128, 72, 265, 16);
    Label3->setStyleSheet("color: blue; text-decoration: underline;");
    Label3->setCursor(Qt::PointingHandCursor);
    Label4 = label(new QLabel(this), "Label4", "精灵动画查看与调色工具", 96);
    Label4->setGeometry(128, 96, 265, 16);

    Button1 = new QPushButton("OK", this);
    Button1->setObjectName("Button1");
    Button1->setGeometry(312, 16, 75, 25);
    Button1->setDefault(true);
    Button1->setFocus();
    kui::OnUser(Button1, &QPushButton::clicked, this, dialogs_, [this] { Button1Click(); });
}

void TAboutForm::Button1Click() { accept(); }

void TAboutForm::Label3Click() { dialogs_.OpenUrl(this, Label3->text().toStdString()); }
