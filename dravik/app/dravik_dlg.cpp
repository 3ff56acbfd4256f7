#include "dravik/app/dravik_dlg.h"

#include <QAction>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>

#include "dravik/app/dialog_units.h"
#include "dravik/app/dialogs.h"
#include "dravik/core/run.h"
#include "dravik/core/workspace.h"
#include "kd/file_io.h"

#ifdef Q_OS_WIN
#define NOMINMAX
#include <windows.h>
#endif

namespace {

const char16_t kAboutItem[] = u"关于 Dravik(&A)...";  // IDS_ABOUTBOX

QString Utf8(const std::filesystem::path& p) { return QString::fromStdString(kd::PathToUtf8(p)); }

}  // namespace

CDravikDlg::CDravikDlg(dravik::Workspace& ws, DravikDialogs& dialogs,
                       std::filesystem::path configPath, LogPlace log, QWidget* parent)
    : QDialog(parent), ws_(ws), dialogs_(dialogs), configPath_(std::move(configPath)),
      log_(std::move(log)) {
    setWindowTitle(QStringLiteral("Dravik v1.0"));
    setWindowIcon(DravikIcon());
    setFont(DravikFont());
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowCloseButtonHint);
    const DialogUnits du(font());
    setFixedSize(du.Size(244, 125));

    // Labels keep their template position but are never cut shorter than their text: the
    // template was measured for a narrower face than the ones found here.
    auto label = [&](const QString& text, int x, int y, int w, int h) {
        auto* l = new QLabel(text, this);
        QRect r = du.Rect(x, y, w, h);
        r.setWidth(std::max(r.width(), l->sizeHint().width()));
        r.setHeight(std::max(r.height(), l->sizeHint().height()));
        l->setGeometry(r);
        return l;
    };
    label(QStringLiteral("游戏目录:(经典版选择游戏所在目录,唯美版选择vmres目录)"), 7, 7, 213, 8);
    gameDirEdit_ = new QLineEdit(this);
    gameDirEdit_->setObjectName(QStringLiteral("IDC_GAME_DIR"));
    gameDirEdit_->setGeometry(du.Rect(7, 17, 204, 12));
    label(QStringLiteral("导出目录:(建议选择NTFS分区上的目录)"), 7, 37, 141, 8);
    exportDirEdit_ = new QLineEdit(this);
    exportDirEdit_->setObjectName(QStringLiteral("IDC_EXPORT_DIR"));
    exportDirEdit_->setGeometry(du.Rect(7, 47, 204, 12));
    auto button = [&](const QString& text, const char* id, int x, int y, int w, int h) {
        auto* b = new QPushButton(text, this);
        b->setObjectName(QString::fromLatin1(id));
        b->setGeometry(du.Rect(x, y, w, h));
        b->setAutoDefault(false);  // Enter is the dialog's own OK command, not a button press
        return b;
    };
    browseGame_ = button(QStringLiteral("..."), "IDC_BROWSE_GAME", 219, 17, 18, 12);
    browseExport_ = button(QStringLiteral("..."), "IDC_BROWSE_EXPORT", 219, 47, 18, 12);
    m_progress = new QProgressBar(this);
    m_progress->setObjectName(QStringLiteral("IDC_PROGRESS"));
    m_progress->setGeometry(du.Rect(7, 77, 204, 12));
    m_progress->setRange(0, 100);
    m_progress->setValue(0);
    m_progress->setTextVisible(false);
    m_btnGo = button(QStringLiteral("Go"), "IDC_GO", 219, 77, 18, 12);
    label(QStringLiteral("请按照说明文档操作\t\t\tDravik 开发组"), 7, 97, 230, 8);

    setTabOrder(gameDirEdit_, exportDirEdit_);
    setTabOrder(exportDirEdit_, browseGame_);
    setTabOrder(browseGame_, browseExport_);
    setTabOrder(browseExport_, m_btnGo);

    connect(browseGame_, &QPushButton::clicked, this, [this] { OnBrowseGameDir(); });
    connect(browseExport_, &QPushButton::clicked, this, [this] { OnBrowseExportDir(); });
    connect(m_btnGo, &QPushButton::clicked, this, [this] { OnGo(); });

#ifndef Q_OS_WIN
    // No system menu to extend here: the about item lives in the window's context menu.
    auto* about = new QAction(QString::fromUtf16(kAboutItem), this);
    about->setObjectName(QStringLiteral("IDM_ABOUTBOX"));
    connect(about, &QAction::triggered, this, [this] { OnSysCommand(IDM_ABOUTBOX); });
    addAction(about);
    setContextMenuPolicy(Qt::ActionsContextMenu);
#endif
    OnInitDialog();
}

void CDravikDlg::OnInitDialog() {
    UpdateData(false);
    m_bGameDirChanged = false;
}

void CDravikDlg::UpdateData(bool saveAndValidate) {
    if (saveAndValidate) {
        m_strGameDir = gameDirEdit_->text();
        m_strExportDir = exportDirEdit_->text();
    } else {
        gameDirEdit_->setText(m_strGameDir);
        exportDirEdit_->setText(m_strExportDir);
    }
}

void CDravikDlg::OnSysCommand(int id) {
    if ((id & 0xFFF0) == IDM_ABOUTBOX) dialogs_.ShowAbout(this);
}

void CDravikDlg::OnBrowseGameDir() {
    const auto dir = dialogs_.BrowseForFolder(this, QStringLiteral("请选择游戏目录:"));
    if (!dir || *dir == m_strGameDir) return;
    m_strGameDir = *dir;
    m_bGameDirChanged = true;
    UpdateData(false);
}

void CDravikDlg::OnBrowseExportDir() {
    const auto dir = dialogs_.BrowseForFolder(this, QStringLiteral("请选择导出目录:"));
    if (!dir) return;
    m_strExportDir = *dir;
    UpdateData(false);
}

void CDravikDlg::OnGo() {
    m_btnGo->setEnabled(false);
    UpdateData(true);
    if (m_strGameDir.isEmpty()) {
        dialogs_.ShowMessage(this, QStringLiteral("请先选择游戏目录！"));
        m_btnGo->setEnabled(true);
        return;
    }
    m_strGameDir = QString::fromStdString(dravik::WithTrailingSeparator(m_strGameDir.toStdString()));
    if (m_strExportDir.isEmpty()) {
        dialogs_.ShowMessage(this, QStringLiteral("请先选择导出目录！"));
        m_btnGo->setEnabled(true);
        return;
    }
    m_strExportDir = QString::fromStdString(dravik::WithTrailingSeparator(m_strExportDir.toStdString()));

    dravik::RunRequest request;
    request.gameDir = m_strGameDir.toStdString();
    request.exportDir = m_strExportDir.toStdString();
    request.configPath = configPath_;
    request.gameDirChanged = m_bGameDirChanged;
    m_bGameDirChanged = false;
    const dravik::RunSummary summary = dravik::RunExtraction(ws_, request, [this](int pos) {
        if (m_progress->value() != pos) m_progress->setValue(pos);
    });
    dialogs_.ShowMessage(this, ClosingMessage(summary.imagesWritten, summary.errors));
    m_btnGo->setEnabled(true);
}

// "完毕！" alone only for a clean run: errors, and a log kept away from the program, are said.
QString CDravikDlg::ClosingMessage(int images, int errors) const {
    QString text = QStringLiteral("完毕！");
    const QString where = Utf8(log_.path);
    if (errors > 0 && !log_.path.empty())
        text += QStringLiteral("\n已写出 %1 个图像，记录了 %2 个错误，详见日志：%3")
                    .arg(images).arg(errors).arg(where);
    else if (errors > 0)
        text += QStringLiteral("\n已写出 %1 个图像，发生了 %2 个错误（日志无法创建）").arg(images).arg(errors);
    else if (log_.fallback && !log_.path.empty())
        text += QStringLiteral("\n日志：%1").arg(where);
    return text;
}

void CDravikDlg::keyPressEvent(QKeyEvent* event) {
    // Enter is the dialog's default OK command: take the texts over and close.
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        UpdateData(true);
        accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

#ifdef Q_OS_WIN
void CDravikDlg::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (systemMenuReady_) return;
    systemMenuReady_ = true;
    if (HMENU menu = GetSystemMenu(reinterpret_cast<HWND>(winId()), FALSE)) {
        AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
        AppendMenuW(menu, MF_STRING, IDM_ABOUTBOX, reinterpret_cast<const wchar_t*>(kAboutItem));
    }
}

bool CDravikDlg::nativeEvent(const QByteArray& eventType, void* message, qintptr* result) {
    const MSG* msg = static_cast<const MSG*>(message);
    if (msg->message == WM_SYSCOMMAND && (msg->wParam & 0xFFF0) == IDM_ABOUTBOX) {
        OnSysCommand(int(msg->wParam));
        *result = 0;
        return true;
    }
    return QDialog::nativeEvent(eventType, message, result);
}
#endif
