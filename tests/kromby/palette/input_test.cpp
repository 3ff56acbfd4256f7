#include <gtest/gtest.h>

#include <QPlainTextEdit>

#include "tests/kromby/palette/pal_fixture.h"

using namespace fixture;

namespace {

constexpr DyeMatrix kTyped{255, 0, 0, 0, 255, 0, 0, 0, 255};

class InputFormTest : public PalFormTest {
protected:
    // Opens the custom segmentation window from the palette window, types `text`, presses OK.
    // Returns whether the window closed.
    bool TypeAndConfirm(const QString& text) {
        bool closed = false;
        dialogs.OnExecute = [&](QDialog&) {
            input.Memo1->setPlainText(text);
            input.Button1->click();
            closed = !input.isVisible();
        };
        pal.Button6Click();
        return closed;
    }
};

TEST_F(InputFormTest, TheMemoStartsWithTheSegmentList) {
    pal.show();
    QString shown;
    dialogs.OnExecute = [&](QDialog&) { shown = input.Memo1->toPlainText(); };
    pal.Button6Click();
    EXPECT_EQ(shown, "0~255");
    EXPECT_EQ(dialogs.Executed, std::vector<std::string>{"InputForm"});
}

TEST_F(InputFormTest, TypedRangesReplaceTheSegmentsDyeAndDropTheLibrary) {
    WriteLibrary(0, "q.wpal", SerializePalLibrary(EqualQuarters(2)));
    pal.show();
    PickLibraryRow(0);
    pal.Button5Click();
    const std::string caption = pal.windowTitle().toStdString();
    const WasPalette before = state.Sprite.GetPalette();
    const int redraws = main.Redraws;

    EXPECT_TRUE(TypeAndConfirm("0~99\n\n100~ 255\n200~100\n"));
    const DyeSegmentList expected{{0, 99, kTyped}, {100, 255, kTyped}, {200, 100, kTyped}};
    EXPECT_EQ(pal.WorkScheme, expected);
    EXPECT_EQ(Items(*pal.RadioGroup1), (std::vector<std::string>{"0~99", "100~ 255", "200~100"}));
    EXPECT_EQ(pal.RadioGroup1->ItemIndex(), 0);
    EXPECT_EQ(Sliders(), (std::array<int, 9>{255, 0, 0, 0, 255, 0, 0, 0, 255}));
    EXPECT_EQ(state.Sprite.GetPalette(), Dyed(expected, &before));
    EXPECT_TRUE(state.PalLibrary.empty());
    for (auto* picker : pal.Pickers) EXPECT_EQ(picker->Count(), 0);
    EXPECT_EQ(pal.windowTitle().toStdString(), caption);
    EXPECT_GT(main.Redraws, redraws);
    EXPECT_EQ(state.DyeScheme, DefaultScheme());  // only OK or Apply of the palette window

    // Cancelling the palette window afterwards puts the colours from its show back.
    pal.Button2Click();
    EXPECT_EQ(state.Sprite.GetPalette(), pal.SavedPalette());
}

TEST_F(InputFormTest, AnyBadLineChangesNothingAndKeepsTheWindowOpen) {
    WriteLibrary(0, "q.wpal", SerializePalLibrary(EqualQuarters(2)));
    pal.show();
    PickLibraryRow(0);
    pal.Button5Click();
    pal.RadioGroup1->ClickItem(1);
    const DyeSegmentList work = pal.WorkScheme;
    const WasPalette colours = state.Sprite.GetPalette();
    const std::vector<std::string> items = Items(*pal.RadioGroup1);

    struct Row {
        const char* Text;
        const char* Error;
    };
    const std::vector<Row> rows{
        {"0~99\n10 ~20", "'10 ' is not a valid integer value"},
        {"0~99\n100~255 ", "'255 ' is not a valid integer value"},
        {"0~99\n100", "'' is not a valid integer value"},
        {"0~9~9", "'9~9' is not a valid integer value"},
        {"0~x", "'x' is not a valid integer value"},
        {"0~99\n100~256", "只有0~255号调色板是可用的!"},
        {"-1~10", "只有0~255号调色板是可用的!"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.Text);
        dialogs.Errors.clear();
        EXPECT_FALSE(TypeAndConfirm(row.Text));
        EXPECT_EQ(dialogs.Errors, std::vector<std::string>{row.Error});
        EXPECT_EQ(pal.WorkScheme, work);
        EXPECT_EQ(Items(*pal.RadioGroup1), items);
        EXPECT_EQ(pal.RadioGroup1->ItemIndex(), 1);
        EXPECT_EQ(state.Sprite.GetPalette(), colours);
        EXPECT_EQ(state.PalLibrary, EqualQuarters(2));
    }
}

TEST_F(InputFormTest, AnEmptyMemoMakesOneWholePaletteSegmentThatSlidersCanDye) {
    pal.show();
    EXPECT_TRUE(TypeAndConfirm("\n\n"));
    EXPECT_EQ(Items(*pal.RadioGroup1), std::vector<std::string>{"0~256"});
    EXPECT_EQ(pal.WorkScheme, (DyeSegmentList{{0, 255, kTyped}}));
    Drag(1, 300);
    EXPECT_TRUE(dialogs.Errors.empty());
    EXPECT_EQ(state.Sprite.GetPalette(), Dyed({{0, 255, {300, 0, 0, 0, 255, 0, 0, 0, 255}}}));
}

TEST_F(InputFormTest, CancelChangesNothing) {
    pal.show();
    dialogs.OnExecute = [&](QDialog&) {
        input.Memo1->setPlainText("0~10");
        input.Button2Click();
    };
    pal.Button6Click();
    EXPECT_EQ(pal.WorkScheme, DefaultScheme());
    EXPECT_EQ(Items(*pal.RadioGroup1), std::vector<std::string>{"0~255"});
}

}  // namespace
