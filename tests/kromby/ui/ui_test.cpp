#include <new>
#include <stdexcept>

#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <gtest/gtest.h>

#include "kd/file_io.h"
#include "kromby/sprite/was_types.h"
#include "kromby/ui/guard.h"
#include "kromby/ui/qt_dialogs.h"
#include "kromby/ui/quiet.h"
#include "tests/kromby/ui/gui_test_util.h"

using namespace fixture;

namespace {

using GuardTest = QtTest;

TEST_F(GuardTest, AnExceptionEndsTheActionAndReachesTheErrorBoxWithItsMessage) {
    struct Row {
        std::function<void()> Throw;
        std::string Shown;
    };
    const std::vector<Row> rows{
        {[] { throw KrombyError("错误的文件标识！"); }, "错误的文件标识！"},
        {[] { throw kd::IoError("cannot open /x: No such file"); }, "cannot open /x: No such file"},
        {[] { throw std::bad_alloc(); }, std::bad_alloc().what()},
        {[] { throw 42; }, "未知错误"},
    };
    for (const Row& row : rows) {
        ScriptedDialogs dialogs;
        bool after = false;
        EXPECT_FALSE(kui::Guard(dialogs, nullptr, [&] {
            row.Throw();
            after = true;
        }));
        EXPECT_FALSE(after);
        EXPECT_EQ(dialogs.Errors, std::vector<std::string>{row.Shown});
    }
    ScriptedDialogs quiet;
    EXPECT_TRUE(kui::Guard(quiet, nullptr, [] {}));
    EXPECT_TRUE(quiet.Errors.empty());
}

TEST_F(GuardTest, AThrowingClickHandlerDoesNotUnwindThroughTheSignal) {
    ScriptedDialogs dialogs;
    QPushButton button;
    int runs = 0;
    kui::OnUser(&button, &QPushButton::clicked, &button, dialogs, [&] {
        ++runs;
        throw KrombyError("只有0~255号调色板是可用的!");
    });
    button.click();
    button.click();
    EXPECT_EQ(runs, 2);
    EXPECT_EQ(dialogs.Errors, (std::vector<std::string>{"只有0~255号调色板是可用的!", "只有0~255号调色板是可用的!"}));
}

using QuietSetterTest = QtTest;

TEST_F(QuietSetterTest, SliderRunsItsHandlerOnlyForARealChangeAndNeverThroughItsSignal) {
    QSlider slider;
    slider.setRange(0, 512);
    slider.setValue(256);
    int signalled = 0, handled = 0;
    QObject::connect(&slider, &QSlider::valueChanged, [&] { ++signalled; });
    struct Row {
        int64_t Set;
        int Expected;
        bool Moves;
    };
    for (const Row& row : std::vector<Row>{{256, 256, false}, {600, 512, true}, {700, 512, false},
                                           {-5, 0, true}, {int64_t(INT32_MIN), 0, false}, {3, 3, true}}) {
        SCOPED_TRACE(row.Set);
        const int before = handled;
        EXPECT_EQ(kui::SetPosition(slider, row.Set, [&] {
                      ++handled;
                      EXPECT_EQ(slider.value(), row.Expected);  // already moved when it runs
                  }),
                  row.Moves);
        EXPECT_EQ(slider.value(), row.Expected);
        EXPECT_EQ(handled - before, row.Moves ? 1 : 0);
    }
    EXPECT_EQ(signalled, 0);
}

TEST_F(QuietSetterTest, RadioGroupSelectionFollowsTheEventRule) {
    kui::TRadioGroup group("分段");
    int user = 0, code = 0;
    group.OnUserSelect([&] { ++user; });
    auto select = [&](int i) { return kui::SelectItem(group, i, [&] { ++code; }); };

    EXPECT_FALSE(select(0));  // no items: nothing to select
    EXPECT_EQ(group.ItemIndex(), -1);

    group.SetItems({"0~63", "64~127", "128~255"});
    EXPECT_EQ(group.ItemIndex(), -1);
    EXPECT_TRUE(select(1));
    EXPECT_FALSE(select(1));  // already selected
    EXPECT_TRUE(select(9));   // beyond the last item: the last item
    EXPECT_EQ(group.ItemIndex(), 2);
    EXPECT_EQ(code, 2);
    EXPECT_EQ(user, 0);  // code never goes through the user's signal

    group.ClickItem(2);  // the selected item again
    EXPECT_EQ(user, 0);
    group.ClickItem(0);
    EXPECT_EQ(user, 1);
    EXPECT_EQ(group.ItemIndex(), 0);

    group.SetItemIndexSilently(-1);
    EXPECT_EQ(group.ItemIndex(), -1);
    group.SetItems({"a"});
    EXPECT_EQ(group.ItemIndex(), -1);  // emptied items leave no selection
    EXPECT_EQ(group.Items(), QStringList{"a"});
}

TEST_F(QuietSetterTest, ASelectionMadeByCodeScrollsItsItemIntoTheBox) {
    kui::TRadioGroup group("分段");
    group.setGeometry(0, 0, 361, 97);  // the segment list's size: room for about three rows
    group.show();  // items arrive while the window is up, as a library load's do
    QApplication::processEvents();
    QStringList items;
    for (int i = 0; i < 8; ++i) items << QString("%1~%2").arg(32 * i).arg(32 * i + 31);
    group.SetItems(items);
    auto* last = group.findChildren<QRadioButton*>().back();
    ASSERT_EQ(last->text(), "224~255");
    kui::SelectItem(group, 7, [] {});
    // Queued calls first (the new rows show, then the deferred scroll), layouts after: the order
    // in which a desktop session ran them and the selection stayed hidden.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::MetaCall);
    QApplication::processEvents();
    EXPECT_FALSE(last->visibleRegion().isEmpty());
    EXPECT_EQ(group.ItemIndex(), 7);
}

TEST(QtDialogsText, FiltersAndLoneCarriageReturnsBecomeWhatQtShows) {
    EXPECT_EQ(kui::FilterString({{"*.was;*.wap;*.tcp", "*.was;*.wap;*.tcp"}, {"*.*", "*.*"}}),
              "*.was;*.wap;*.tcp (*.was *.wap *.tcp);;*.* (*.*)");
    EXPECT_EQ(kui::DisplayText("文件a已存在\r是否覆盖？"), QString("文件a已存在\n是否覆盖？"));
    EXPECT_EQ(kui::DisplayText("a\r\nb"), QString("a\nb"));
}

}  // namespace
