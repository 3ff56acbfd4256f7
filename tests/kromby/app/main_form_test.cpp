#include <filesystem>

#include <QAction>
#include <QDropEvent>
#include <QLabel>
#include <QMenuBar>
#include <QStatusBar>
#include <QToolBar>
#include <QMimeData>
#include <QTimer>
#include <QUrl>
#include <gtest/gtest.h>

#include "kd/file_io.h"
#include "kromby/app/about.h"
#include "kromby/app/kromby_app.h"
#include "kromby/app/main_form.h"
#include "kromby/app/view_render.h"
#include "kromby/palette/input.h"
#include "kromby/palette/pal.h"
#include "kromby/palette/wdialog.h"
#include "tests/kromby/sprite/sprite_test_util.h"
#include "tests/kromby/ui/gui_test_util.h"
#include "tests/support/temp_dir.h"

using namespace fixture;

namespace {

constexpr int kKey = 2;  // every fixture frame is 4 x 4 with its hot spot at (2, 2)

// `directions` x `frames` frames, each a solid square of palette index 10 + its frame index.
Bytes AnimatedSprite(int directions, int frames) {
    Sprite s;
    s.Header.Directions = uint16_t(directions);
    s.Header.FramesPerDirection = uint16_t(frames);
    s.Palette = DistinctPalette();
    for (int i = 0; i < directions * frames; ++i) {
        const std::vector<WasPixel> px(16, Px(32, 10 + i));
        s.Frames.push_back(Frame::Encode(kKey, kKey, 4, 4, px));
    }
    return s.Build();
}

// How the view shows palette entry `e` (5 and 6-bit channels widened without low bits).
Bgr Shown(uint16_t e) { return Bgr{uint8_t((e & 31) * 8), uint8_t(((e >> 5) & 63) * 4), uint8_t((e >> 11) * 8)}; }

Bgr PixelAt(const QImage& image, int x, int y) {
    const uchar* p = image.constScanLine(y) + 3 * x;
    return Bgr{p[0], p[1], p[2]};
}

class MainFormTest : public QtTest {
protected:
    void Start(std::vector<std::string> arguments = {}) {
        app = std::make_unique<KrombyApp>(dialogs, dir.Path(), std::move(arguments));
    }
    TMainForm& Main() { return *app->MainForm; }
    std::string Write(const std::string& name, const Bytes& bytes) {
        const std::string path = dir / name;
        kd::WriteWholeFile(kd::PathFromUtf8(path), bytes);
        return path;
    }
    Bytes Read(const std::string& path) { return kd::ReadWholeFile(kd::PathFromUtf8(path)); }
    std::string OpenNew(const std::string& name, const Bytes& bytes) {
        const std::string path = Write(name, bytes);
        dialogs.OpenAnswers = {path};
        Main().O1Click();
        return path;
    }
    std::vector<std::string> PanelTexts() {
        std::vector<std::string> v;
        for (int i = 0; i < 3; ++i) v.push_back(Main().Panels[size_t(i)]->text().toStdString());
        return v;
    }
    bool ControlsEnabled(bool enabled) {
        for (QAction* a : Main().LoadedStateControls())
            if (a->isEnabled() != enabled) return false;
        return true;
    }

    TempDir dir;
    ScriptedDialogs dialogs;
    std::unique_ptr<KrombyApp> app;
};

TEST_F(MainFormTest, StartsEmptyWithTheDesignedMenusAndToolbar) {
    Start();
    TMainForm& m = Main();
    EXPECT_EQ(m.windowTitle().toStdString(), "Kromby 2.0 正式版");
    struct Row {
        QAction* Action;
        const char* Text;
        const char* Shortcut;
        bool Enabled, Icon;
    };
    const std::vector<Row> rows{
        {m.O1, "打开(&O)", "Ctrl+O", true, true},        {m.S1, "保存(&S)", "Ctrl+S", false, true},
        {m.N2, "另存为(&A)...", "", false, true},         {m.GA1, "导出提示开", "", true, false},
        {m.N1111, "导出TGA组 ...", "", false, false},     {m.N4, "导入配色方案", "", false, false},
        {m.N5, "保存配色方案", "", false, false},         {m.N7, "关闭文件", "", false, false},
        {m.X1, "退出程序(&X)", "", true, false},          {m.N1, "深色背景(&D)", "", true, false},
        {m.P1, "神奇调色板(&P)", "", false, true},        {m.T1, "使用教程(&T)", "", true, true},
        {m.Blog1, "Tovik的Blog(&E)", "", true, true},    {m.Kromby201, "关于 Kromby2.0 正式版(&A) ...", "", true, true},
        {m.ToolButton2, "打开", "", true, true},          {m.ToolButton3, "另存为", "", false, true},
        {m.ToolButton9, "梦幻调色板", "", false, true},   {m.ToolButton13, "关于", "", true, true},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.Text);
        EXPECT_EQ(row.Action->text().toStdString(), row.Text);
        EXPECT_EQ(row.Action->shortcut().toString().toStdString(), row.Shortcut);
        EXPECT_EQ(row.Action->isEnabled(), row.Enabled);
        EXPECT_EQ(!row.Action->icon().isNull(), row.Icon);
    }
    EXPECT_EQ(m.ToolButton9->toolTip().toStdString(), "梦幻调色板");
    EXPECT_TRUE(m.GA1->isChecked());
    EXPECT_FALSE(m.N1->isChecked());
    EXPECT_EQ(PanelTexts(), (std::vector<std::string>{"", "", ""}));
    EXPECT_TRUE(m.Timer1->isActive());
    EXPECT_EQ(m.Timer1->interval(), 100);
    EXPECT_EQ(m.ViewSurface().size(), QSize(640, 480));
}

TEST_F(MainFormTest, FiveWindowsWithTheirCaptionsSizesPositionsAndFrames) {
    Start();
    ASSERT_EQ(app->MainForm->height() - app->MainForm->menuBar()->sizeHint().height(), 475);
    struct Row {
        QWidget* Window;
        const char* Name;
        const char* Caption;
        QSize Client;
        QPoint Position;
        bool OnTop, Fixed;
    };
    const std::vector<Row> rows{
        {app->MainForm, "MainForm", "Kromby 2.0 正式版", QSize(758, app->MainForm->height()), QPoint(203, 124), false, false},
        {app->PalForm, "PalForm", "神奇调色板", QSize(919, 241), QPoint(73, 344), true, true},
        {app->InputForm, "InputForm", "自定义分段", QSize(274, 215), QPoint(472, 324), true, true},
        {app->AboutForm, "AboutForm", "关于 Kromby2.0 正式版", QSize(401, 129), QPoint(332, 359), false, true},
        {app->WpalDialog, "WpalDialog", "神奇调色板", QSize(424, 282), QPoint(369, 370), false, true},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.Name);
        EXPECT_EQ(row.Window->objectName().toStdString(), row.Name);
        EXPECT_EQ(row.Window->windowTitle().toStdString(), row.Caption);
        EXPECT_EQ(row.Window->size(), row.Client);
        EXPECT_EQ(row.Window->pos(), row.Position);
        EXPECT_EQ(row.Window->windowFlags().testFlag(Qt::WindowStaysOnTopHint), row.OnTop);
        EXPECT_EQ(row.Window->minimumSize() == row.Window->maximumSize(), row.Fixed);
        EXPECT_FALSE(row.Window->isVisible());  // nothing shows before the main window does
    }
}

TEST_F(MainFormTest, EveryEntryPointOpensOnlyTheFirstFileAndEnablesTheLoadedControls) {
    struct Row {
        const char* Name;
        std::function<void(TMainForm&, const std::string&, const std::string&)> Open;
        std::vector<std::string> Arguments;
    };
    const std::string hero = Write("hero.was", AnimatedSprite(2, 3));
    const std::string other = Write("other.was", AnimatedSprite(1, 1));
    const std::vector<Row> rows{
        {"menu", [&](TMainForm& m, auto& a, auto&) { dialogs.OpenAnswers = {a}; m.O1->trigger(); }, {}},
        {"toolbar", [&](TMainForm& m, auto& a, auto&) { dialogs.OpenAnswers = {a}; m.ToolButton2->trigger(); }, {}},
        {"drop",
         [&](TMainForm& m, auto& a, auto& b) {
             QMimeData mime;
             mime.setUrls({QUrl::fromLocalFile(QString::fromStdString(a)), QUrl::fromLocalFile(QString::fromStdString(b))});
             // A drop reaches the widget that accepted the drag's entry.
             QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
             QApplication::sendEvent(&m, &enter);
             ASSERT_TRUE(enter.isAccepted());
             QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
             QApplication::sendEvent(&m, &drop);
         },
         {}},
        {"command line", [&](TMainForm& m, auto&, auto&) { m.show(); }, {hero, other}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.Name);
        Start(row.Arguments);
        app->State.DyeScheme = {{5, 6, kIdentityMatrix}};
        row.Open(Main(), hero, other);
        EXPECT_TRUE(dialogs.Errors.empty());
        EXPECT_EQ(app->State.Sprite.FileName(), hero);
        EXPECT_TRUE(ControlsEnabled(true));
        EXPECT_EQ(PanelTexts(), (std::vector<std::string>{hero, "精灵数: 2", "帧数: 3"}));
        EXPECT_EQ(app->State.DyeScheme, DefaultScheme());
        EXPECT_EQ(Main().CurrentFrame(), -1);
        EXPECT_TRUE(Main().Timer1->isActive());
        Main().close();
    }
}

TEST_F(MainFormTest, AFailedOpenShowsTheErrorAndTheWindowFollowsTheDocument) {
    Start();
    const std::string hero = OpenNew("hero.was", AnimatedSprite(2, 3));
    Main().Timer1Timer();
    const DyeSegmentList scheme{{0, 9, kIdentityMatrix}};
    app->State.DyeScheme = scheme;

    // Unreadable: the old sprite keeps playing with its scheme and frame.
    dialogs.OpenAnswers = {dir / "missing.was"};
    Main().O1->trigger();
    ASSERT_EQ(dialogs.Errors.size(), 1u);
    EXPECT_NE(dialogs.Errors[0].find("missing.was"), std::string::npos);
    EXPECT_EQ(app->State.Sprite.FileName(), hero);
    EXPECT_EQ(PanelTexts(), (std::vector<std::string>{hero, "精灵数: 2", "帧数: 3"}));
    EXPECT_EQ(app->State.DyeScheme, scheme);
    EXPECT_EQ(Main().CurrentFrame(), 0);
    EXPECT_TRUE(Main().Timer1->isActive());
    EXPECT_TRUE(ControlsEnabled(true));

    // Cancelled: nothing at all.
    Main().O1->trigger();
    EXPECT_EQ(dialogs.Errors.size(), 1u);
    EXPECT_TRUE(Main().Timer1->isActive());

    // Read but invalid: the empty state.
    dialogs.OpenAnswers = {Write("bad.was", Bytes{'X', 'P', 0, 0})};
    Main().O1->trigger();
    EXPECT_EQ(dialogs.Errors.back(), "错误的文件标识！");
    EXPECT_FALSE(app->State.Sprite.Loaded());
    EXPECT_EQ(PanelTexts(), (std::vector<std::string>{"", "精灵数: 0", "帧数: 0"}));
    EXPECT_FALSE(Main().Timer1->isActive());
    EXPECT_TRUE(ControlsEnabled(false));
}

TEST_F(MainFormTest, ABadCommandLineFileIsReportedAndTheWindowStillShows) {
    Start({dir / "nothing-here.was", "ignored"});
    Main().show();
    EXPECT_TRUE(Main().isVisible());
    EXPECT_EQ(dialogs.Errors.size(), 1u);
    EXPECT_TRUE(ControlsEnabled(false));
}

TEST_F(MainFormTest, TheTimerPlaysEveryDirectionInStepAndWraps) {
    Start();
    OpenNew("hero.was", AnimatedSprite(2, 3));
    const WasPalette pal = DistinctPalette();
    auto slotColour = [&](int d) {
        const auto [x, y] = DirectionSlots[size_t(d)];
        return PixelAt(Main().ViewSurface(), x, y);
    };
    // Before the first tick the view can be redrawn (the palette window does): frame 0 shows.
    Main().RedrawView();
    EXPECT_EQ(slotColour(0), Shown(pal[10]));
    EXPECT_EQ(slotColour(1), Shown(pal[13]));
    for (int expected : {0, 1, 2, 0}) {
        Main().Timer1Timer();
        EXPECT_EQ(Main().CurrentFrame(), expected);
        EXPECT_EQ(slotColour(0), Shown(pal[size_t(10 + expected)]));
        EXPECT_EQ(slotColour(1), Shown(pal[size_t(13 + expected)]));
    }
}

TEST_F(MainFormTest, TheViewDrawsCheckerboardPreviewCrossAndSlotMarkers) {
    Start();
    auto at = [&](int x, int y) { return PixelAt(Main().ViewSurface(), x, y); };
    const Bgr light0 = CheckerColour(false, false), light1 = CheckerColour(false, true);
    const Bgr blue{255, 0, 0}, green{0, 255, 0}, red{0, 0, 255};
    EXPECT_EQ(at(300, 40), light0);
    EXPECT_EQ(at(300 + 16, 40), light1);
    EXPECT_EQ(at(300 + 16, 40 + 16), light0);
    EXPECT_EQ(at(100, 0), blue);
    EXPECT_EQ(at(255, 100), blue);
    EXPECT_EQ(at(0, 255), blue);
    Main().N1Click();
    EXPECT_TRUE(Main().N1->isChecked());
    EXPECT_EQ(at(300, 40), CheckerColour(true, false));
    Main().N1->trigger();
    EXPECT_FALSE(Main().DarkBackground());

    OpenNew("nine.was", AnimatedSprite(9, 1));
    Main().Timer1Timer();
    // Frame 0 is centred in the preview: hot spot at 128 - 4 / 2 + 2 = 128.
    EXPECT_EQ(at(126, 126), Shown(DistinctPalette()[10]));
    EXPECT_EQ(at(128 - 5, 128), green);
    EXPECT_EQ(at(128 + 4, 128), green);
    EXPECT_NE(at(128 + 5, 128), green);  // a line stops short of its end point
    EXPECT_NE(at(128, 128 + 5), green);
    for (int d = 0; d < 8; ++d) {
        const auto [x, y] = DirectionSlots[size_t(d)];
        EXPECT_EQ(at(x - 32, y - 16), red);
        EXPECT_EQ(at(x, y), Shown(DistinctPalette()[size_t(10 + d)]));
    }
}

TEST_F(MainFormTest, OnlyTheSpritesOwnDirectionsGetASlotUpToEight) {
    Start();
    const Bgr red{0, 0, 255};
    for (int directions : {2, 9}) {
        SCOPED_TRACE(directions);
        OpenNew("d" + std::to_string(directions) + ".was", AnimatedSprite(directions, 1));
        Main().Timer1Timer();
        for (int d = 0; d < 8; ++d) {
            const auto [x, y] = DirectionSlots[size_t(d)];
            const Bgr marker = PixelAt(Main().ViewSurface(), x - 32, y - 16);
            const bool checker = ((x - 32) & 16) != ((y - 16) & 16);
            EXPECT_EQ(marker, d < directions ? red : CheckerColour(false, checker)) << d;
        }
    }
}

TEST_F(MainFormTest, TheSurfaceIsPaintedCentredBetweenToolbarAndStatusBar) {
    Start();
    TMainForm& m = Main();
    m.show();
    m.resize(1000, 700);
    EXPECT_EQ(m.Panels[0]->maximumWidth(), 1000 - 200);
    const QImage shot = m.grab().toImage().convertToFormat(QImage::Format_RGB888);
    const int menu = m.menuBar()->height();
    const int x = (1000 - 640) / 2;
    const int y = menu + (m.height() - menu + m.ToolBar1->height() - 480 - m.StatusBar1->height()) / 2;
    EXPECT_EQ(shot.pixelColor(x + 10, y), QColor(0, 0, 255));   // the preview box's top edge
    EXPECT_EQ(shot.pixelColor(x, y + 10), QColor(0, 0, 255));   // and its left edge
    EXPECT_EQ(shot.pixelColor(x - 1, y + 10), QColor(Qt::white));  // the window around it
}

TEST_F(MainFormTest, ClosingTheFileLeavesOnlyCheckerboardAndKeepsTheScheme) {
    Start();
    OpenNew("hero.was", AnimatedSprite(1, 2));
    Main().Timer1Timer();
    const DyeSegmentList scheme{{3, 4, kIdentityMatrix}};
    app->State.DyeScheme = scheme;
    Main().N7->trigger();
    EXPECT_FALSE(app->State.Sprite.Loaded());
    EXPECT_TRUE(ControlsEnabled(false));
    EXPECT_EQ(PanelTexts(), (std::vector<std::string>{"", "精灵数: 0", "帧数: 0"}));
    EXPECT_FALSE(Main().Timer1->isActive());
    EXPECT_EQ(app->State.DyeScheme, scheme);
    const auto [x, y] = DirectionSlots[0];
    EXPECT_EQ(PixelAt(Main().ViewSurface(), x - 32, y - 16), CheckerColour(false, ((x - 32) % 32 >= 16) != ((y - 16) % 32 >= 16)));
    Main().N7Click();  // nothing loaded: nothing happens
    EXPECT_TRUE(dialogs.Errors.empty());
}

TEST_F(MainFormTest, SaveAsksBeforeOverwritingAndWritesTheDyedSprite) {
    Start();
    const std::string hero = OpenNew("hero.was", AnimatedSprite(1, 1));
    const Bytes original = Read(hero);
    app->State.Sprite.DyeRange(0, 255, {0, 0, 0, 0, 0, 0, 0, 0, 512});

    Main().S1->trigger();  // no answer: Cancel
    ASSERT_EQ(dialogs.Questions.size(), 1u);
    EXPECT_EQ(dialogs.Questions[0].Caption, "提示");
    EXPECT_EQ(dialogs.Questions[0].Text, "文件" + hero + "已存在\r是否覆盖？");
    EXPECT_EQ(Read(hero), original);
    EXPECT_TRUE(dialogs.Infos.empty());

    dialogs.QuestionAnswers = {true};
    Main().S1Click();
    EXPECT_EQ(dialogs.Infos, std::vector<std::string>{"保存完毕！"});
    EXPECT_EQ(LoadBytes(Read(hero)).FilePalette(), app->State.Sprite.GetPalette());

    // Save as to a new name: no question, the document keeps its own name.
    const std::string copy = dir / "copy.wap";
    dialogs.SaveAnswers = {copy};
    Main().ToolButton3->trigger();
    EXPECT_EQ(dialogs.Questions.size(), 2u);
    EXPECT_EQ(dialogs.DefaultExtensions, std::vector<std::string>{"was"});
    ASSERT_EQ(dialogs.SaveFilters[0].size(), 4u);
    EXPECT_EQ(dialogs.SaveFilters[0][2].Pattern, "*.tcp");
    EXPECT_EQ(Read(copy), Read(hero));
    EXPECT_EQ(app->State.Sprite.FileName(), hero);

    // A failed write is an error, never "保存完毕！".
    dialogs.SaveAnswers = {dir / "no-such-folder/x.was"};
    Main().N2->trigger();
    EXPECT_EQ(dialogs.Errors.size(), 1u);
    EXPECT_EQ(dialogs.Infos.size(), 2u);

    Main().N1111Click();  // the TGA files still go next to the opened file
    EXPECT_TRUE(std::filesystem::exists(TgaFileName(hero, 1, 0)));
    EXPECT_FALSE(std::filesystem::exists(TgaFileName(copy, 1, 0)));
}

TEST_F(MainFormTest, ExportNoticeSwitchesTheMessageAfterTheTgaExport) {
    Start();
    const std::string hero = OpenNew("hero.was", AnimatedSprite(1, 2));
    Main().N1111->trigger();
    EXPECT_TRUE(std::filesystem::exists(TgaFileName(hero, 2, 1)));
    EXPECT_EQ(dialogs.Infos, std::vector<std::string>{"TGA图片组导出完毕！"});

    Main().GA1->trigger();
    EXPECT_EQ(Main().GA1->text().toStdString(), "导出提示关");
    EXPECT_FALSE(Main().GA1->isChecked());
    std::filesystem::remove(TgaFileName(hero, 2, 1));
    Main().N1111Click();
    EXPECT_TRUE(std::filesystem::exists(TgaFileName(hero, 2, 1)));
    EXPECT_EQ(dialogs.Infos.size(), 1u);

    Main().FormShow();  // every start turns it back on
    EXPECT_TRUE(Main().ExportNotice());
    EXPECT_EQ(Main().GA1->text().toStdString(), "导出提示开");
}

TEST_F(MainFormTest, SchemeFilesRoundTripAndSavingAsksBeforeOverwriting) {
    Start();
    OpenNew("hero.was", AnimatedSprite(1, 1));
    const std::string path = dir / "look.wsln";
    dialogs.SaveAnswers = {path};
    Main().N5->trigger();
    EXPECT_EQ(Read(path).size(), 52u);
    EXPECT_EQ(dialogs.DefaultExtensions, std::vector<std::string>{"wsln"});
    EXPECT_EQ(dialogs.Infos, std::vector<std::string>{"成功保存配色方案"});

    const DyeSegmentList scheme{{0, 200, {100, 0, 0, 0, 256, 0, 0, 0, 256}}, {100, 255, {256, 0, 0, 0, 30, 0, 0, 0, 256}}};
    app->State.DyeScheme = scheme;
    dialogs.SaveAnswers = {path};
    Main().N5Click();  // exists: Cancel keeps the old file
    EXPECT_EQ(dialogs.Questions.back().Text, "文件" + path + "已存在\r是否覆盖？");
    EXPECT_EQ(Read(path).size(), 52u);
    dialogs.SaveAnswers = {path};
    dialogs.QuestionAnswers = {true};
    Main().N5Click();
    EXPECT_EQ(Read(path), SerializeScheme(scheme));

    app->State.DyeScheme = DefaultScheme();
    app->State.Sprite.ResetPalette();
    dialogs.OpenAnswers = {path};
    Main().N4->trigger();
    EXPECT_EQ(dialogs.OpenFilters.back()[0].Pattern, "*.wsln");
    EXPECT_EQ(app->State.DyeScheme, scheme);
    WasPalette expected = LoadBytes(AnimatedSprite(1, 1)).GetPalette();
    {
        TWasFile ref = LoadBytes(AnimatedSprite(1, 1));
        ApplyScheme(ref, scheme);
        expected = ref.GetPalette();
    }
    EXPECT_EQ(app->State.Sprite.GetPalette(), expected);
    EXPECT_EQ(dialogs.Infos.back(), "成功导入配色方案");
}

TEST_F(MainFormTest, ARefusedSchemeFileChangesNeitherSchemeNorColours) {
    Start();
    OpenNew("hero.was", AnimatedSprite(1, 1));
    const DyeSegmentList scheme{{0, 9, {1, 2, 3, 4, 5, 6, 7, 8, 9}}};
    app->State.DyeScheme = scheme;
    app->State.Sprite.DyeRange(0, 9, scheme[0].Matrix);
    const WasPalette colours = app->State.Sprite.GetPalette();

    Bytes good = SerializeScheme({{0, 10, kIdentityMatrix}, {20, 30, kIdentityMatrix}});
    Bytes badMagic = good;
    badMagic[0] = 'x';
    Bytes shortRecords = good;
    shortRecords.resize(good.size() - 1);
    Bytes hugeCount = good;
    hugeCount[7] = 0x7F;
    const Bytes badRange = SerializeScheme({{0, 10, kIdentityMatrix}, {20, 256, kIdentityMatrix}});
    struct Row {
        const char* Name;
        Bytes File;
        const char* Error;
    };
    for (const Row& row : std::vector<Row>{{"magic", badMagic, "这不是有效的配色方案！"},
                                           {"short", shortRecords, "这不是有效的配色方案！"},
                                           {"count", hugeCount, "这不是有效的配色方案！"},
                                           {"range", badRange, "只有0~255号调色板是可用的!"}}) {
        SCOPED_TRACE(row.Name);
        dialogs.Errors.clear();
        dialogs.OpenAnswers = {Write(std::string(row.Name) + ".wsln", row.File)};
        Main().N4->trigger();
        EXPECT_EQ(dialogs.Errors, std::vector<std::string>{row.Error});
        EXPECT_EQ(app->State.DyeScheme, scheme);
        EXPECT_EQ(app->State.Sprite.GetPalette(), colours);
        EXPECT_TRUE(dialogs.Infos.empty());
    }
}

TEST_F(MainFormTest, AnEmptySchemeImportsAndSavesAsEightBytesAndAFailedSaveSaysNothing) {
    Start();
    OpenNew("hero.was", AnimatedSprite(1, 1));
    dialogs.OpenAnswers = {Write("none.wsln", SerializeScheme({}))};
    Main().N4->trigger();
    EXPECT_TRUE(app->State.DyeScheme.empty());
    EXPECT_EQ(dialogs.Infos, std::vector<std::string>{"成功导入配色方案"});

    const std::string path = dir / "none-again.wsln";
    dialogs.SaveAnswers = {path};
    Main().N5->trigger();
    EXPECT_EQ(Read(path), SerializeScheme({}));
    EXPECT_EQ(Read(path).size(), 8u);

    dialogs.Infos.clear();
    dialogs.SaveAnswers = {dir / "no-such-folder/x.wsln"};
    Main().N5->trigger();
    EXPECT_EQ(dialogs.Errors.size(), 1u);
    EXPECT_TRUE(dialogs.Infos.empty());
}

TEST_F(MainFormTest, AnImportWhileThePaletteWindowIsOpenIsUndoneByItsCancelButNotTheScheme) {
    Start();
    OpenNew("hero.was", AnimatedSprite(1, 1));
    Main().P1->trigger();
    const WasPalette atShow = app->PalForm->SavedPalette();
    const DyeSegmentList imported{{0, 255, {0, 0, 0, 0, 512, 0, 0, 0, 0}}};
    dialogs.OpenAnswers = {Write("green.wsln", SerializeScheme(imported))};
    Main().N4->trigger();
    EXPECT_NE(app->State.Sprite.GetPalette(), atShow);
    EXPECT_EQ(app->PalForm->WorkScheme, DefaultScheme());  // the window is not told

    app->PalForm->Button2Click();
    EXPECT_EQ(app->State.Sprite.GetPalette(), atShow);
    EXPECT_EQ(app->State.DyeScheme, imported);
}

TEST_F(MainFormTest, ThePaletteCommandIsOffWhileItsWindowIsOpen) {
    Start();
    OpenNew("hero.was", AnimatedSprite(1, 1));
    Main().ToolButton9->trigger();
    EXPECT_TRUE(app->PalForm->isVisible());
    EXPECT_FALSE(Main().P1->isEnabled());
    EXPECT_FALSE(Main().ToolButton9->isEnabled());
    Main().N7Click();  // closing the sprite does not close the palette window
    EXPECT_TRUE(app->PalForm->isVisible());
    app->PalForm->close();
    EXPECT_TRUE(Main().ToolButton9->isEnabled());
    EXPECT_TRUE(Main().P1->isEnabled());
}

TEST_F(MainFormTest, AboutBoxAndHelpLinks) {
    Start();
    Main().Kromby201->trigger();
    Main().ToolButton13->trigger();
    EXPECT_EQ(dialogs.Executed, (std::vector<std::string>{"AboutForm", "AboutForm"}));
    app->AboutForm->Label3Click();
    Main().T1->trigger();
    Main().Blog1->trigger();
    EXPECT_EQ(dialogs.Urls, (std::vector<std::string>{app->AboutForm->Label3->text().toStdString(), kTutorialUrl, kBlogUrl}));
    for (const std::string& url : dialogs.Urls) EXPECT_EQ(url.rfind("https://", 0), 0u) << url;
}

TEST_F(MainFormTest, EveryMenuItemAndButtonReachesItsOwnHandler) {
    Start();
    OpenNew("hero.was", AnimatedSprite(1, 1));
    dialogs = ScriptedDialogs();
    TMainForm& m = Main();
    struct Row {
        QAction* Action;
        std::function<bool()> Happened;
    };
    const std::vector<Row> rows{
        {m.O1, [&] { return dialogs.OpenFilters.size() == 1 && dialogs.OpenFilters[0][0].Pattern == "*.was;*.wap;*.tcp"; }},
        {m.ToolButton2, [&] { return dialogs.OpenFilters.size() == 1; }},
        {m.S1, [&] { return dialogs.Questions.size() == 1; }},
        {m.N2, [&] { return dialogs.DefaultExtensions == std::vector<std::string>{"was"}; }},
        {m.ToolButton3, [&] { return dialogs.DefaultExtensions == std::vector<std::string>{"was"}; }},
        {m.GA1, [&] { return !m.ExportNotice(); }},
        {m.N1111, [&] { return dialogs.Infos == std::vector<std::string>{"TGA图片组导出完毕！"}; }},
        {m.N4, [&] { return dialogs.OpenFilters.size() == 1 && dialogs.OpenFilters[0][0].Pattern == "*.wsln"; }},
        {m.N5, [&] { return dialogs.DefaultExtensions == std::vector<std::string>{"wsln"}; }},
        {m.N1, [&] { return m.DarkBackground(); }},
        {m.P1, [&] { return app->PalForm->isVisible(); }},
        {m.ToolButton9, [&] { return app->PalForm->isVisible(); }},
        {m.T1, [&] { return dialogs.Urls == std::vector<std::string>{kTutorialUrl}; }},
        {m.Blog1, [&] { return dialogs.Urls == std::vector<std::string>{kBlogUrl}; }},
        {m.Kromby201, [&] { return dialogs.Executed == std::vector<std::string>{"AboutForm"}; }},
        {m.ToolButton13, [&] { return dialogs.Executed == std::vector<std::string>{"AboutForm"}; }},
        {m.N7, [&] { return !app->State.Sprite.Loaded(); }},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.Action->objectName().toStdString());
        dialogs = ScriptedDialogs();
        if (!m.ExportNotice()) m.GA1Click();
        if (m.DarkBackground()) m.N1Click();
        app->PalForm->hide();
        m.P1->setEnabled(true);
        m.ToolButton9->setEnabled(true);
        row.Action->trigger();
        EXPECT_TRUE(row.Happened());
        EXPECT_TRUE(dialogs.Errors.empty());
    }
    m.show();
    m.X1->trigger();
    EXPECT_FALSE(m.isVisible());
}

}  // namespace
