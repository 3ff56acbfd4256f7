#include "dravik/app/dravik_dlg.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <algorithm>
#include <deque>

#include "dravik/app/about_dlg.h"
#include "dravik/app/dialogs.h"
#include "dravik/app/dravik_app.h"
#include "tests/support/cache_builder.h"
#include "tests/support/cache_package.h"
#include "tests/support/dravik_test_util.h"

using namespace fixture;
namespace fs = std::filesystem;

namespace {

// Answers the folder picker from a script and records every message and prompt.
class ScriptedDialogs : public DravikDialogs {
public:
    std::deque<std::optional<QString>> folders;
    std::vector<QString> prompts, messages;
    int aboutShown = 0;

    std::optional<QString> BrowseForFolder(QWidget*, const QString& prompt) override {
        prompts.push_back(prompt);
        EXPECT_FALSE(folders.empty()) << "unexpected folder picker";
        if (folders.empty()) return std::nullopt;
        auto answer = folders.front();
        folders.pop_front();
        return answer;
    }
    void ShowMessage(QWidget*, const QString& text) override { messages.push_back(text); }
    void ShowAbout(QWidget*) override { ++aboutShown; }
};

int argc = 1;
char arg0[] = "dravik_app_test";
char* argv[] = {arg0, nullptr};
QApplication* App() {
    static QApplication* app = new QApplication(argc, argv);
    return app;
}

class DravikDlgTest : public testing::Test {
protected:
    void SetUp() override {
        App();
        fs::create_directories(programDir);
        app.InitWorkspace();
        dlg = std::make_unique<CDravikDlg>(app.Workspace(), dialogs, app.ConfigPath(), app.Log());
    }
    void TearDown() override {
        dlg.reset();
        app.FreeWorkspace();
    }
    // A game directory with a two-image cache (one image coloured from the package) and its
    // mypal.wdf package.
    QString MakeGame(const std::string& name) {
        const fs::path game = dir.Path() / name;
        CacheImage bare;
        bare.Width = 2;
        bare.Height = 1;
        bare.Rows = {{0x82, 1}};
        CacheEntry child{WeaponInfo(1), 1, 1, {bare}, {}};
        WriteCache(game, BuildCache({{WeaponInfo(1), 1, 1, {bare}, {child}}}));
        WriteZipPackage(game / "mypal.wdf", {{"mypal/weapon/1.pal", BuildPal({{}, {0, 0, 255}})}});
        return QString::fromStdString(game.string());
    }
    std::vector<std::string> Log() {
        app.Workspace().log.Flush();
        return ReadLogLines(programDir / "log.txt");
    }

    TempDir dir;
    fs::path programDir = dir.Path() / "bin";
    ScriptedDialogs dialogs;
    CDravikApp app{dialogs, programDir, dir.Path() / "state"};
    std::unique_ptr<CDravikDlg> dlg;
};

TEST_F(DravikDlgTest, WindowTexts) {
    EXPECT_EQ(dlg->windowTitle(), QStringLiteral("Dravik v1.0"));
    EXPECT_EQ(dlg->m_btnGo->text(), QStringLiteral("Go"));
    EXPECT_EQ(dlg->BrowseGameButton()->text(), QStringLiteral("..."));
    EXPECT_EQ(dlg->m_progress->minimum(), 0);
    EXPECT_EQ(dlg->m_progress->maximum(), 100);
    QStringList labels;
    for (auto* l : dlg->findChildren<QLabel*>()) labels << l->text();
    EXPECT_TRUE(labels.contains(QStringLiteral("游戏目录:(经典版选择游戏所在目录,唯美版选择vmres目录)")));
    EXPECT_TRUE(labels.contains(QStringLiteral("导出目录:(建议选择NTFS分区上的目录)")));
    CAboutDlg about;
    EXPECT_EQ(about.windowTitle(), QStringLiteral("关于 Dravik"));
    EXPECT_EQ(about.findChild<QLabel*>("name")->text(), QStringLiteral("Dravik 1.0 版"));
    EXPECT_EQ(about.findChild<QPushButton*>("ok")->text(), QStringLiteral("确定"));
}

TEST_F(DravikDlgTest, EmptyFieldsShowTheirMessageAndNothingElse) {
    struct Case {
        const char* game;
        const char* exportDir;
        QString message;
    } cases[] = {
        {"", "", QStringLiteral("请先选择游戏目录！")},
        {"", "/out", QStringLiteral("请先选择游戏目录！")},
        {"/game", "", QStringLiteral("请先选择导出目录！")},
    };
    for (const Case& c : cases) {
        dialogs.messages.clear();
        dlg->GameDirEdit()->setText(c.game);
        dlg->ExportDirEdit()->setText(c.exportDir);
        dlg->m_btnGo->click();
        EXPECT_EQ(dialogs.messages, std::vector<QString>{c.message}) << c.game << "|" << c.exportDir;
        EXPECT_TRUE(dlg->m_btnGo->isEnabled());
        EXPECT_EQ(dlg->GameDirEdit()->text(), QString(c.game));  // the boxes are not rewritten
    }
    EXPECT_TRUE(Log().empty());
}

TEST_F(DravikDlgTest, BrowsingSetsTheChangedFlagOnlyForANewGameDirectory) {
    dialogs.folders = {QStringLiteral("/games/a"), QStringLiteral("/games/a"), std::nullopt};
    dlg->BrowseGameButton()->click();
    EXPECT_TRUE(dlg->m_bGameDirChanged);
    dlg->m_bGameDirChanged = false;
    dlg->BrowseGameButton()->click();  // the same folder again
    EXPECT_FALSE(dlg->m_bGameDirChanged);
    dlg->BrowseGameButton()->click();  // cancelled
    EXPECT_FALSE(dlg->m_bGameDirChanged);
    EXPECT_EQ(dlg->m_strGameDir, QStringLiteral("/games/a"));
    EXPECT_EQ(dialogs.prompts, std::vector<QString>(3, QStringLiteral("请选择游戏目录:")));

    // Choosing the export folder rewrites both boxes from the members, replacing typed text.
    dlg->GameDirEdit()->setText(QStringLiteral("/typed/by/hand"));
    dialogs.folders = {QStringLiteral("/out")};
    dlg->BrowseExportButton()->click();
    EXPECT_EQ(dialogs.prompts.back(), QStringLiteral("请选择导出目录:"));
    EXPECT_EQ(dlg->GameDirEdit()->text(), QStringLiteral("/games/a"));
    EXPECT_EQ(dlg->ExportDirEdit()->text(), QStringLiteral("/out"));
}

TEST_F(DravikDlgTest, FullRunsAndTheCloseAllDataFileLine) {
    const QString gameA = MakeGame("gameA"), gameB = MakeGame("gameB");
    const QString out = QString::fromStdString((dir.Path() / "out").string());
    dialogs.folders = {gameA};
    dlg->BrowseGameButton()->click();
    dlg->ExportDirEdit()->setText(out);
    // "Go" is the only guard against a second run: it stays disabled while the bar moves.
    std::vector<int> positions;
    bool goEnabledDuringRun = false;
    QObject::connect(dlg->m_progress, &QProgressBar::valueChanged, [&](int v) {
        positions.push_back(v);
        goEnabledDuringRun = goEnabledDuringRun || dlg->m_btnGo->isEnabled();
    });
    dlg->m_btnGo->click();

    EXPECT_EQ(dialogs.messages, std::vector<QString>{QStringLiteral("完毕！")});
    EXPECT_EQ(dlg->m_progress->value(), 100);
    EXPECT_FALSE(goEnabledDuringRun);
    EXPECT_GT(positions.size(), 1u);
    EXPECT_TRUE(std::is_sorted(positions.begin(), positions.end()));
    EXPECT_TRUE(dlg->m_btnGo->isEnabled());
    EXPECT_FALSE(dlg->m_bGameDirChanged);
    EXPECT_EQ(dlg->m_strGameDir, gameA + "/");
    auto lines = Log();
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines.front(), "[LOG] CloseAllDataFile.");
    const auto tga = kd::ReadWholeFile(dir.Path() / "out" / "00000001_0000_0000.tga");
    ASSERT_EQ(tga.size(), 18u + 8u);
    EXPECT_EQ(tga[18 + 2], 248);  // red from the package's weapon palette

    // Same directory again: the packages are opened again but not closed first.
    const size_t before = lines.size();
    dlg->m_btnGo->click();
    lines = Log();
    EXPECT_EQ(std::count(lines.begin(), lines.end(), "[LOG] CloseAllDataFile."), 1);
    EXPECT_GT(lines.size(), before);

    // Browsing to another game directory: that run's first line closes the packages.
    const size_t third = lines.size();
    dialogs.folders = {gameB};
    dlg->BrowseGameButton()->click();
    dlg->m_btnGo->click();
    lines = Log();
    ASSERT_GT(lines.size(), third);
    EXPECT_EQ(lines[third], "[LOG] CloseAllDataFile.");
}

TEST_F(DravikDlgTest, RunWithErrorsSaysSoAfterTheFirstLine) {
    dlg->GameDirEdit()->setText(QString::fromStdString((dir.Path() / "no-game").string()));
    dlg->ExportDirEdit()->setText(QString::fromStdString((dir.Path() / "out").string()));
    dlg->m_btnGo->click();
    ASSERT_EQ(dialogs.messages.size(), 1u);
    const QStringList parts = dialogs.messages[0].split('\n');
    ASSERT_EQ(parts.size(), 2);
    EXPECT_EQ(parts[0], QStringLiteral("完毕！"));
    // mypal.wdf and v3d.hdr are both missing.
    EXPECT_TRUE(parts[1].contains(QStringLiteral("0 个图像")) && parts[1].contains(QStringLiteral("2 个错误")))
        << parts[1].toStdString();
    EXPECT_TRUE(parts[1].contains(QString::fromStdString((programDir / "log.txt").string())));
    EXPECT_EQ(dlg->m_progress->value(), 0);
}

TEST_F(DravikDlgTest, AboutBoxFromTheMenuItemOnly) {
    dlg->OnSysCommand(0xF060 + 1);  // some other system command
    EXPECT_EQ(dialogs.aboutShown, 0);
    auto* about = dlg->findChild<QAction*>("IDM_ABOUTBOX");
    ASSERT_NE(about, nullptr);
    EXPECT_EQ(about->text(), QStringLiteral("关于 Dravik(&A)..."));
    about->trigger();
    EXPECT_EQ(dialogs.aboutShown, 1);
}

TEST(DravikApp, LogGoesToTheStateFolderWhenTheProgramFolderIsNotWritable) {
    App();
    TempDir dir;
    kd::WriteWholeFile(dir.Path() / "file", std::vector<uint8_t>{1});
    ScriptedDialogs dialogs;
    CDravikApp app(dialogs, dir.Path() / "file" / "bin", dir.Path() / "state" / "dravik");
    app.InitWorkspace();
    EXPECT_TRUE(app.Log().fallback);
    EXPECT_EQ(app.Log().path, dir.Path() / "state" / "dravik" / "log.txt");
    CDravikDlg dlg(app.Workspace(), dialogs, app.ConfigPath(), app.Log());
    dlg.GameDirEdit()->setText(QString::fromStdString(dir.Path().string()));
    dlg.ExportDirEdit()->setText(QString::fromStdString((dir.Path() / "out").string()));
    dlg.m_btnGo->click();
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_TRUE(dialogs.messages[0].contains(QString::fromStdString(app.Log().path.string())));
    app.FreeWorkspace();
    EXPECT_FALSE(ReadLogLines(app.Log().path).empty());
}

}  // namespace
