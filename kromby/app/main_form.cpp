#include "kromby/app/main_form.h"

#include <filesystem>

#include <QAction>
#include <QCoreApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QLabel>
#include <QMenuBar>
#include <QMimeData>
#include <QPainter>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>
#include <QUrl>

#include "kd/file_io.h"
#include "kromby/app/about.h"
#include "kromby/app/icons.h"
#include "kromby/app/view_render.h"
#include "kromby/palette/pal.h"
#include "kromby/ui/guard.h"

namespace {

const std::vector<kui::FileFilter> kSpriteOpenFilters{{"*.was;*.wap;*.tcp", "*.was;*.wap;*.tcp"},
                                                      {"*.*", "*.*"}};
const std::vector<kui::FileFilter> kSpriteSaveFilters{
    {"*.was", "*.was"}, {"*.wap", "*.wap"}, {"*.tcp", "*.tcp"}, {"*.*", "*.*"}};
const std::vector<kui::FileFilter> kSchemeFilters{{"*.wsln", "*.wsln"}, {"*.*", "*.*"}};

Surface24 SurfaceOf(QImage& image) {
    return Surface24{image.width(), image.height(), image.bytesPerLine(), image.bits()};
}

bool FileExists(const std::string& path) {
    std::error_code ec;
    return std::filesystem::exists(kd::PathFromUtf8(path), ec);
}

}  // namespace

std::string OverwriteQuestion(const std::string& path) { return "文件" + path + "已存在\r是否覆盖？"; }

// The window's client area below the toolbar: white, with the view surface painted centred.
class TMainForm::ViewWidget : public QWidget {
public:
    explicit ViewWidget(TMainForm& form) : QWidget(&form), form_(form) {
        setAutoFillBackground(true);
        QPalette p = palette();
        p.setColor(QPalette::Window, Qt::white);
        setPalette(p);
    }

protected:
    void paintEvent(QPaintEvent*) override { form_.PaintView(*this); }

private:
    TMainForm& form_;
};

TMainForm::TMainForm(KrombyState& state, kui::Dialogs& dialogs, std::vector<std::string> arguments,
                     QWidget* parent)
    : QMainWindow(parent), state_(state), dialogs_(dialogs), arguments_(std::move(arguments)) {
    FormCreate();
}

TMainForm::~TMainForm() {
    // FormDestroy: the timer must not tick into a half-destroyed window.
    Timer1->stop();
}

void TMainForm::Attach(TPalForm* palForm, TAboutForm* aboutForm) {
    palForm_ = palForm;
    aboutForm_ = aboutForm;
}

void TMainForm::FormCreate() {
    setObjectName("MainForm");
    setWindowTitle("Kromby 2.0 正式版");
    setWindowIcon(ProgramIcon());
    setAcceptDrops(true);

    CreateMenus();
    CreateToolBar();
    CreateStatusBar();
    view_ = new ViewWidget(*this);
    setCentralWidget(view_);
    move(203, 124);
    // The designed client area (758 x 475) holds the toolbar and status bar but not the menu.
    resize(758, 475 + menuBar()->sizeHint().height());

    viewSurface_ = QImage(kViewWidth, kViewHeight, QImage::Format_BGR888);
    darkBackground_ = false;
    currentFrame_ = -1;

    Timer1 = new QTimer(this);
    Timer1->setObjectName("Timer1");
    Timer1->setInterval(100);
    kui::OnUser(Timer1, &QTimer::timeout, this, dialogs_, [this] { Timer1Timer(); });
    Timer1->start();

    RedrawView();
}

void TMainForm::CreateMenus() {
    auto item = [this](QMenu* menu, const char* name, const char* text, void (TMainForm::*handler)(),
                       int icon = -1) {
        QAction* a = menu->addAction(QString::fromUtf8(text));
        a->setObjectName(name);
        if (icon >= 0) a->setIcon(ImageListIcon(icon));
        kui::OnUser(a, &QAction::triggered, this, dialogs_, [this, handler] { (this->*handler)(); });
        return a;
    };
    QMenu* F1 = menuBar()->addMenu("文件(&F)");
    F1->setObjectName("F1");
    O1 = item(F1, "O1", "打开(&O)", &TMainForm::O1Click, 11);
    O1->setShortcut(QKeySequence("Ctrl+O"));
    S1 = item(F1, "S1", "保存(&S)", &TMainForm::S1Click, 12);
    S1->setShortcut(QKeySequence("Ctrl+S"));
    N2 = item(F1, "N2", "另存为(&A)...", &TMainForm::N2Click, 20);
    GA1 = item(F1, "GA1", "导出提示开", &TMainForm::GA1Click);
    GA1->setCheckable(true);
    GA1->setChecked(true);
    N1111 = item(F1, "N1111", "导出TGA组 ...", &TMainForm::N1111Click);
    F1->addSeparator();
    N4 = item(F1, "N4", "导入配色方案", &TMainForm::N4Click);
    N5 = item(F1, "N5", "保存配色方案", &TMainForm::N5Click);
    F1->addSeparator();
    N7 = item(F1, "N7", "关闭文件", &TMainForm::N7Click);
    X1 = item(F1, "X1", "退出程序(&X)", &TMainForm::X1Click);

    QMenu* V1 = menuBar()->addMenu("查看(&V)");
    V1->setObjectName("V1");
    N1 = item(V1, "N1", "深色背景(&D)", &TMainForm::N1Click);
    N1->setCheckable(true);
    P1 = item(V1, "P1", "神奇调色板(&P)", &TMainForm::P1Click, 14);

    QMenu* H1 = menuBar()->addMenu("帮助(&H)");
    H1->setObjectName("H1");
    T1 = item(H1, "T1", "使用教程(&T)", &TMainForm::T1Click, 21);
    Blog1 = item(H1, "Blog1", "Tovik的Blog(&E)", &TMainForm::Blog1Click, 21);
    H1->addSeparator();
    Kromby201 = item(H1, "Kromby201", "关于 Kromby2.0 正式版(&A) ...", &TMainForm::Kromby201Click, 19);
}

void TMainForm::CreateToolBar() {
    ToolBar1 = new QToolBar("CoolBar1", this);
    ToolBar1->setObjectName("ToolBar1");
    ToolBar1->setMovable(false);
    ToolBar1->setFloatable(false);
    ToolBar1->setIconSize(QSize(16, 16));
    ToolBar1->setContextMenuPolicy(Qt::PreventContextMenu);
    ToolBar1->setStyleSheet("QToolBar { border-bottom: 1px solid palette(mid); }");
    addToolBar(Qt::TopToolBarArea, ToolBar1);

    auto button = [this](const char* name, const char* hint, int icon, void (TMainForm::*handler)()) {
        QAction* a = ToolBar1->addAction(ImageListIcon(icon), QString::fromUtf8(hint));
        a->setObjectName(name);
        a->setToolTip(QString::fromUtf8(hint));
        kui::OnUser(a, &QAction::triggered, this, dialogs_, [this, handler] { (this->*handler)(); });
        return a;
    };
    ToolButton2 = button("ToolButton2", "打开", 11, &TMainForm::ToolButton2Click);
    ToolButton3 = button("ToolButton3", "另存为", 20, &TMainForm::ToolButton3Click);
    auto* gap = new QWidget(ToolBar1);  // ToolButton4: a plain 8-pixel gap
    gap->setFixedWidth(8);
    ToolBar1->addWidget(gap);
    ToolButton9 = button("ToolButton9", "梦幻调色板", 14, &TMainForm::ToolButton9Click);
    ToolBar1->addSeparator();  // ToolButton12
    ToolButton13 = button("ToolButton13", "关于", 19, &TMainForm::ToolButton13Click);

    SetLoadedControls(false);
}

void TMainForm::CreateStatusBar() {
    StatusBar1 = new QStatusBar(this);
    StatusBar1->setObjectName("StatusBar1");
    StatusBar1->setSizeGripEnabled(false);
    setStatusBar(StatusBar1);
    const int widths[4] = {50, 80, 80, 50};
    for (int i = 0; i < 4; ++i) {
        auto* panel = new QLabel(StatusBar1);
        panel->setObjectName(QString("Panel%1").arg(i));
        panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        panel->setFixedWidth(widths[i]);
        StatusBar1->addWidget(panel, i == 0 ? 1 : 0);
        // Panel 0 follows the window's width and must never push the window wider.
        if (i == 0) {
            panel->setMinimumWidth(0);
            panel->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
        }
        Panels[size_t(i)] = panel;
    }
}

std::vector<QAction*> TMainForm::LoadedStateControls() const {
    return {S1, N2, N1111, N4, N5, ToolButton3, P1, ToolButton9, N7};
}

void TMainForm::SetLoadedControls(bool enabled) {
    for (QAction* a : LoadedStateControls()) a->setEnabled(enabled);
}

void TMainForm::SetStatus(const QString& file, int directions, int frames) {
    Panels[0]->setText(file);
    Panels[0]->setToolTip(file);
    Panels[1]->setText(QString("精灵数: %1").arg(directions));
    Panels[2]->setText(QString("帧数: %1").arg(frames));
}

void TMainForm::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (!event->spontaneous()) kui::Guard(dialogs_, this, [this] { FormShow(); });
}

void TMainForm::FormShow() {
    exportNotice_ = true;
    GA1->setChecked(true);
    GA1->setText("导出提示开");
    if (!arguments_.empty()) OpenSprite(arguments_.front());
}

void TMainForm::OpenSprite(const std::string& path) {
    Timer1->stop();
    try {
        state_.Sprite.LoadFromFile(path);
        state_.DyeScheme = DefaultScheme();
        currentFrame_ = -1;
    } catch (...) {
        SyncWithDocument();
        throw;
    }
    SyncWithDocument();
}

void TMainForm::SyncWithDocument() {
    const TWasFile& doc = state_.Sprite;
    SetLoadedControls(doc.Loaded());
    if (doc.Loaded()) {
        SetStatus(QString::fromStdString(doc.FileName()), doc.DirectionCount(), doc.FrameCount());
        Timer1->start();
    } else {
        SetStatus(QString(), 0, 0);
    }
}

void TMainForm::O1Click() {
    const std::optional<std::string> path = dialogs_.OpenFile(this, kSpriteOpenFilters);
    if (path) OpenSprite(*path);
}

void TMainForm::WMDropFiles(const std::vector<std::string>& files) {
    if (!files.empty()) OpenSprite(files.front());
}

void TMainForm::dragEnterEvent(QDragEnterEvent* event) {
    if (event->mimeData()->hasUrls()) event->acceptProposedAction();
}

void TMainForm::dropEvent(QDropEvent* event) {
    std::vector<std::string> files;
    for (const QUrl& url : event->mimeData()->urls())
        if (url.isLocalFile()) files.push_back(url.toLocalFile().toStdString());
    event->acceptProposedAction();
    kui::Guard(dialogs_, this, [this, &files] { WMDropFiles(files); });
}

void TMainForm::RedrawView() {
    RenderView(SurfaceOf(viewSurface_), state_.Sprite, darkBackground_, currentFrame_);
}

void TMainForm::EnablePaletteCommand() {
    ToolButton9->setEnabled(true);
    P1->setEnabled(true);
}

void TMainForm::Timer1Timer() {
    const TWasFile& doc = state_.Sprite;
    if (!doc.Loaded()) return;
    currentFrame_ = (currentFrame_ + 1) % doc.FrameCount();
    RedrawView();
    view_->repaint();
}

QPoint TMainForm::PaintOrigin(int clientWidth, int clientHeight, int toolBarHeight, int statusBarHeight) {
    return QPoint((clientWidth - kViewWidth) / 2,
                  (clientHeight + toolBarHeight - kViewHeight - statusBarHeight) / 2);
}

void TMainForm::PaintView(QWidget& target) {
    // The client area starts below the menu bar; the view widget starts below the toolbar.
    const int menuHeight = menuBar()->isVisible() ? menuBar()->height() : 0;
    const QPoint client = PaintOrigin(width(), height() - menuHeight, ToolBar1->height(), StatusBar1->height());
    const QPoint at = client - QPoint(target.x(), target.y() - menuHeight);
    QPainter painter(&target);
    painter.drawImage(at, viewSurface_);
}

void TMainForm::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    FormResize();
}

void TMainForm::FormResize() {
    Panels[0]->setMaximumWidth(std::max(0, width() - 200));
    update();
}

void TMainForm::N1Click() {
    darkBackground_ = !darkBackground_;
    N1->setChecked(darkBackground_);
    RedrawView();
    view_->repaint();
}

void TMainForm::N7Click() {
    if (!state_.Sprite.Loaded()) return;
    SetLoadedControls(false);
    SetStatus(QString(), 0, 0);
    Timer1->stop();
    state_.Sprite.Close();
    RedrawView();
    view_->repaint();
}

void TMainForm::P1Click() {
    if (palForm_) {
        palForm_->show();
        palForm_->raise();
    }
    P1->setEnabled(false);
    ToolButton9->setEnabled(false);
}

void TMainForm::X1Click() { close(); }

void TMainForm::closeEvent(QCloseEvent* event) {
    QMainWindow::closeEvent(event);
    // The main window's end is the program's end, whichever other windows are open.
    QCoreApplication::quit();
}

bool TMainForm::MayWrite(const std::string& path) {
    return !FileExists(path) || dialogs_.Question(this, "提示", OverwriteQuestion(path));
}

void TMainForm::SaveSprite(const std::string& path) {
    if (!MayWrite(path)) return;
    state_.Sprite.SaveToFile(path);
    dialogs_.Information(this, "保存完毕！");
}

void TMainForm::S1Click() { SaveSprite(state_.Sprite.FileName()); }

void TMainForm::N2Click() {
    const std::optional<std::string> path = dialogs_.SaveFile(this, kSpriteSaveFilters, "was");
    if (path) SaveSprite(*path);
}

void TMainForm::N1111Click() {
    state_.Sprite.ExportTGA();
    if (exportNotice_) dialogs_.Information(this, "TGA图片组导出完毕！");
}

void TMainForm::GA1Click() {
    exportNotice_ = !exportNotice_;
    GA1->setChecked(exportNotice_);
    GA1->setText(exportNotice_ ? "导出提示开" : "导出提示关");
}

void TMainForm::N4Click() {
    const std::optional<std::string> path = dialogs_.OpenFile(this, kSchemeFilters);
    if (!path) return;
    // The whole file is checked before the scheme or a colour changes.
    DyeSegmentList scheme = ReadSchemeFile(*path);
    state_.DyeScheme = std::move(scheme);
    ApplyScheme(state_.Sprite, state_.DyeScheme);
    dialogs_.Information(this, "成功导入配色方案");
}

void TMainForm::N5Click() {
    const std::optional<std::string> path = dialogs_.SaveFile(this, kSchemeFilters, "wsln");
    if (!path || !MayWrite(*path)) return;
    WriteSchemeFile(*path, state_.DyeScheme);
    dialogs_.Information(this, "成功保存配色方案");
}

void TMainForm::Kromby201Click() {
    if (aboutForm_) dialogs_.Execute(*aboutForm_);
}

void TMainForm::T1Click() { dialogs_.OpenUrl(this, kTutorialUrl); }

void TMainForm::Blog1Click() { dialogs_.OpenUrl(this, kBlogUrl); }
