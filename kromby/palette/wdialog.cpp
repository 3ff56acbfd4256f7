#include "kromby/palette/wdialog.h"

#include <QDir>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QShowEvent>
#include <QTabBar>

#include "kd/file_io.h"
#include "kromby/sprite/was_types.h"
#include "kromby/ui/guard.h"

namespace {

QFont ListFont() {
    QFont f("宋体");
    f.setPixelSize(13);
    return f;
}

}  // namespace

TWpalDialog::TWpalDialog(const std::filesystem::path& programDir, kui::Dialogs& dialogs, QWidget* parent)
    : QDialog(parent), dialogs_(dialogs) {
    setObjectName("WpalDialog");
    setWindowTitle("神奇调色板");
    setFixedSize(424, 282);
    move(369, 370);

    TabControl1 = new QTabBar(this);
    TabControl1->setObjectName("TabControl1");
    TabControl1->setShape(QTabBar::RoundedWest);
    TabControl1->addTab("梦幻调色板");
    TabControl1->addTab("大话调色板");
    TabControl1->setGeometry(8, 16, 30, 209);
    TabControl1->setCurrentIndex(0);
    kui::OnUser(TabControl1, &QTabBar::currentChanged, this, dialogs_, [this] { TabControl1Change(); });

    FileListBox1 = new QListWidget(this);
    FileListBox1->setObjectName("FileListBox1");
    FileListBox1->setGeometry(40, 24, 369, 193);
    FileListBox1->setFont(ListFont());
    kui::OnUser(FileListBox1, &QListWidget::currentRowChanged, this, dialogs_, [this] { FileListBox1Change(); });

    Label1 = new QLabel(this);
    Label1->setObjectName("Label1");
    Label1->setGeometry(32, 248, 200, 16);
    Label1->setFont(ListFont());

    Ok_Button = new QPushButton("确定", this);
    Ok_Button->setObjectName("Ok_Button");
    Ok_Button->setGeometry(240, 240, 75, 25);
    kui::OnUser(Ok_Button, &QPushButton::clicked, this, dialogs_, [this] { Ok_ButtonClick(); });
    Cancel_Button = new QPushButton("取消", this);
    Cancel_Button->setObjectName("Cancel_Button");
    Cancel_Button->setGeometry(328, 240, 75, 25);
    kui::OnUser(Cancel_Button, &QPushButton::clicked, this, dialogs_, [this] { Cancel_ButtonClick(); });

    // FormCreate
    libraryFolders_[0] = kd::PathToUtf8(programDir / kd::PathFromUtf8("梦幻调色板"));
    libraryFolders_[1] = kd::PathToUtf8(programDir / kd::PathFromUtf8("大话调色板"));
    selectedFile_.clear();
    Label1->clear();
}

bool TWpalDialog::Execute() { return dialogs_.Execute(*this); }

void TWpalDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!event->spontaneous()) kui::Guard(dialogs_, this, [this] { FormShow(); });
}

void TWpalDialog::FormShow() { TabControl1Change(); }

void TWpalDialog::TabControl1Change() {
    const int t = TabControl1->currentIndex();
    if (t < 0) {
        const QSignalBlocker block(FileListBox1);
        FileListBox1->clear();
        listed_ = false;
        return;
    }
    PointListAt(libraryFolders_[size_t(t)]);
}

void TWpalDialog::PointListAt(const std::string& folder) {
    if (listed_ && folder == listedFolder_) return;
    const QDir dir(QString::fromStdString(folder));
    if (!dir.exists()) throw KrombyError("找不到调色板文件夹：" + folder);
    QStringList names = dir.entryList({"*.wpal"}, QDir::Files | QDir::Readable, QDir::Name | QDir::IgnoreCase);
    const QSignalBlocker block(FileListBox1);
    FileListBox1->clear();
    FileListBox1->addItems(names);
    FileListBox1->setCurrentRow(-1);
    listedFolder_ = folder;
    listed_ = true;
}

void TWpalDialog::FileListBox1Change() {
    const int i = FileListBox1->currentRow();
    if (i < 0) return;
    const QString name = FileListBox1->item(i)->text();
    Label1->setText(name);
    selectedFile_ = kd::PathToUtf8(kd::PathFromUtf8(listedFolder_) / kd::PathFromUtf8(name.toStdString()));
}

void TWpalDialog::Ok_ButtonClick() {
    if (selectedFile_.empty()) {
        dialogs_.Information(this, "请先选择你需要的配置文件！");
        return;
    }
    accept();
}

void TWpalDialog::Cancel_ButtonClick() { reject(); }
