#include <gtest/gtest.h>

#include <QPushButton>

#include "tests/kromby/palette/pal_fixture.h"

using namespace fixture;

namespace {

const DyeMatrix kWarm{300, 0, 0, 0, 256, 0, 0, 0, 200};

TEST_F(PalFormTest, ShowCopiesTheSchemeAndPutsSegmentZeroOnTheSliders) {
    state.DyeScheme = {{0, 99, kWarm}, {100, 255, kIdentityMatrix}};
    const WasPalette before = state.Sprite.GetPalette();
    pal.show();

    EXPECT_EQ(pal.windowTitle().toStdString(), "神奇调色板 - 默认");
    EXPECT_EQ(pal.LastFileName(), "hero.was");
    EXPECT_TRUE(pal.RestoreOnClose());
    EXPECT_EQ(pal.SavedPalette(), before);
    EXPECT_EQ(pal.WorkScheme, state.DyeScheme);
    EXPECT_EQ(Items(*pal.RadioGroup1), (std::vector<std::string>{"0~99", "100~255"}));
    EXPECT_EQ(pal.RadioGroup1->ItemIndex(), 0);
    EXPECT_EQ(Sliders(), (std::array<int, 9>{300, 0, 0, 0, 256, 0, 0, 0, 200}));
    EXPECT_EQ(EditTexts(), (std::vector<std::string>{"300", "0", "0", "0", "256", "0", "0", "0", "200"}));
    // The sliders started at 0: the three that moved re-dyed segment 0, once each.
    EXPECT_EQ(main.Redraws, 3);
    EXPECT_EQ(state.Sprite.GetPalette(), Dyed({{0, 99, kWarm}}));
}

TEST_F(PalFormTest, AnEmptySchemeShowsTheNeutralSegmentButStaysEmpty) {
    state.DyeScheme.clear();
    pal.show();
    EXPECT_EQ(Items(*pal.RadioGroup1), std::vector<std::string>{"0~255"});
    EXPECT_EQ(pal.WorkScheme, DefaultScheme());
    EXPECT_TRUE(state.DyeScheme.empty());
    pal.Button3Click();  // Apply stores it
    EXPECT_EQ(state.DyeScheme, DefaultScheme());
}

TEST_F(PalFormTest, EachSliderMoveRedyesTheSelectedSegmentOnly) {
    state.DyeScheme = {{0, 99, kIdentityMatrix}, {100, 255, kIdentityMatrix}};
    pal.show();
    const int redraws = main.Redraws;
    pal.RadioGroup1->ClickItem(1);  // same matrix: no slider moves, nothing re-dyed
    EXPECT_EQ(main.Redraws, redraws);
    EXPECT_EQ(state.Sprite.GetPalette(), state.Sprite.FilePalette());

    Drag(2, 100);
    Drag(9, 512);
    EXPECT_EQ(main.Redraws, redraws + 2);
    const DyeMatrix m{256, 100, 0, 0, 256, 0, 0, 0, 512};
    EXPECT_EQ(pal.WorkScheme[1].Matrix, m);
    EXPECT_EQ(pal.WorkScheme[0].Matrix, kIdentityMatrix);
    EXPECT_EQ(pal.Edits[1]->text(), "100");
    EXPECT_EQ(state.Sprite.GetPalette(), Dyed({{100, 255, m}}));
    EXPECT_EQ(state.DyeScheme[1].Matrix, kIdentityMatrix);  // only OK or Apply write the scheme
}

TEST_F(PalFormTest, OkApplyCancelAndTheCloseBoxDecideWhichColoursStay) {
    const DyeMatrix first{256, 0, 0, 0, 400, 0, 0, 0, 256}, second{256, 0, 0, 0, 400, 0, 0, 0, 100};
    const WasPalette original = state.Sprite.GetPalette();
    const WasPalette dyedFirst = Dyed({{0, 255, first}}), dyedSecond = Dyed({{0, 255, second}});
    struct Row {
        const char* Name;
        std::function<void()> Finish;
        WasPalette Colours;
        DyeSegmentList Scheme;
    };
    const std::vector<Row> rows{
        {"cancel", [&] { pal.Button2Click(); }, original, DefaultScheme()},
        {"close box", [&] { pal.close(); }, original, DefaultScheme()},
        {"ok", [&] { pal.Button1Click(); }, dyedSecond, {{0, 255, second}}},
        {"apply then cancel",
         [&] {
             pal.Button3Click();
             Drag(9, 256);
             pal.Button2Click();
         },
         dyedSecond, {{0, 255, second}}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.Name);
        state.Sprite.ResetPalette();
        state.DyeScheme = DefaultScheme();
        const int enables = main.Enables;
        pal.show();
        Drag(5, 400);
        EXPECT_EQ(state.Sprite.GetPalette(), dyedFirst);
        Drag(9, 100);
        row.Finish();
        EXPECT_FALSE(pal.isVisible());
        EXPECT_EQ(state.Sprite.GetPalette(), row.Colours);
        EXPECT_EQ(state.DyeScheme, row.Scheme);
        EXPECT_EQ(main.Enables, enables + 1);
    }
}

TEST_F(PalFormTest, AnotherSpriteOpenedMeanwhileGetsItsFilePaletteWhateverCloses) {
    for (bool ok : {true, false}) {
        SCOPED_TRACE(ok);
        state.DyeScheme = DefaultScheme();
        state.Sprite.LoadFromMemory(SmallSprite(), "hero.was");
        pal.show();
        Drag(1, 20);
        state.Sprite.LoadFromMemory(SmallSprite(), "other.was");
        Drag(1, 40);  // the live preview goes on dyeing the new sprite
        ok ? pal.Button1Click() : pal.Button2Click();
        EXPECT_EQ(state.Sprite.GetPalette(), state.Sprite.FilePalette());
        EXPECT_EQ(state.DyeScheme[0].Matrix[0], ok ? 40u : 256u);
    }
    // The sprite closed while the window was open: still reset, still re-enabled.
    pal.show();
    state.Sprite.Close();
    const int enables = main.Enables;
    pal.close();
    EXPECT_EQ(main.Enables, enables + 1);
}

TEST_F(PalFormTest, TypedValuesAreConvertedClampedAndOnlyEnterActs) {
    pal.show();
    struct Row {
        const char* Typed;
        int Slider;
        const char* EditAfter;
        const char* Error;
    };
    const std::vector<Row> rows{
        {"600", 512, "512", ""},
        {"700", 512, "700", ""},  // the slider does not move: the typed text stays
        {"-5", 0, "0", ""},
        {"  +$1F", 31, "31", ""},
        {"0x100", 256, "256", ""},
        {"12a", 256, "12a", "'12a' is not a valid integer value"},
        {"12 ", 256, "12 ", "'12 ' is not a valid integer value"},
        {"", 256, "", "'' is not a valid integer value"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.Typed);
        dialogs.Errors.clear();
        pal.Edits[0]->setText(row.Typed);
        pal.Edit1KeyPress('a');  // any other key does nothing
        emit pal.Edits[0]->returnPressed();
        EXPECT_EQ(pal.TrackBars[0]->value(), row.Slider);
        EXPECT_EQ(pal.Edits[0]->text().toStdString(), row.EditAfter);
        EXPECT_EQ(pal.WorkScheme[0].Matrix[0], uint32_t(row.Slider));
        EXPECT_EQ(dialogs.Errors, *row.Error ? std::vector<std::string>{row.Error} : std::vector<std::string>{});
    }
}

TEST_F(PalFormTest, StoredWeightsOutsideTheSliderRangeAreShownAsStoredUntilASliderMoves) {
    state.DyeScheme = {{0, 127, kIdentityMatrix}, {128, 255, {600, 0, 0x80000000u, 0, 256, 0, 0, 0, 256}}};
    pal.show();
    pal.RadioGroup1->ClickItem(1);
    EXPECT_EQ(Sliders()[0], 512);
    EXPECT_EQ(Sliders()[2], 0);
    // Slider 1 moved (256 -> 512) and stored its position; slider 3 stayed at 0 and did not.
    EXPECT_EQ(pal.WorkScheme[1].Matrix[0], 512u);
    EXPECT_EQ(pal.WorkScheme[1].Matrix[2], 0x80000000u);
    EXPECT_EQ(pal.Edits[0]->text(), "512");
    EXPECT_EQ(pal.Edits[2]->text(), "2147483648");
}

TEST_F(PalFormTest, AnErrorInsideASelectionEndsTheWholeSelection) {
    // Files refuse such a range; the window must still survive one reaching it.
    state.DyeScheme = {{-1, 10, {300, 0, 0, 0, 300, 0, 0, 0, 300}}};
    state.PalLibrary = EqualQuarters(1);
    pal.show();
    EXPECT_TRUE(pal.isVisible());
    EXPECT_EQ(dialogs.Errors, std::vector<std::string>{"只有0~255号调色板是可用的!"});
    EXPECT_EQ(Sliders(), (std::array<int, 9>{300, 0, 0, 0, 0, 0, 0, 0, 0}));  // the rest never moved
    EXPECT_EQ(pal.WorkScheme[0].Matrix[0], 300u);
    EXPECT_EQ(pal.Pickers[0]->Count(), 0);  // the steps after the selection were skipped
    EXPECT_EQ(state.Sprite.GetPalette(), state.Sprite.FilePalette());
    EXPECT_EQ(main.Redraws, 0);
}

TEST_F(PalFormTest, NarrowAndWideToggleAndSurviveAClose) {
    pal.show();
    const int wide = pal.width();
    pal.Button4->click();
    EXPECT_EQ(pal.Button4->text(), ">>");
    EXPECT_EQ(wide - pal.width(), TPalForm::kWideWidth - TPalForm::kNarrowWidth);
    pal.close();
    pal.show();
    EXPECT_EQ(pal.Button4->text(), ">>");
    pal.Button4Click();
    EXPECT_EQ(pal.Button4->text(), "<<");
    EXPECT_EQ(pal.width(), wide);
}

}  // namespace
