#include <gtest/gtest.h>

#include <QLabel>
#include <QListWidget>
#include <QTabBar>

#include "tests/kromby/palette/pal_fixture.h"

using namespace fixture;

namespace {

TEST_F(PalFormTest, LoadingALibraryFillsPickersSegmentsAndAppliesEachFirstEntry) {
    const PalLibraryList lib = EqualQuarters(3);
    const std::string path = WriteLibrary(0, "quarters.wpal", SerializePalLibrary(lib));
    pal.show();
    PickLibraryRow(0);
    pal.Button5Click();

    EXPECT_EQ(state.PalLibrary, lib);
    EXPECT_EQ(Items(*pal.Pickers[0]), (std::vector<std::string>{"[0]   0~63", "[1]   0~63", "[2]   0~63"}));
    EXPECT_EQ(Items(*pal.Pickers[3]), (std::vector<std::string>{"[0]   192~255", "[1]   192~255", "[2]   192~255"}));
    EXPECT_EQ(Items(*pal.RadioGroup1), (std::vector<std::string>{"0~63", "64~127", "128~191", "192~255"}));
    EXPECT_EQ(pal.RadioGroup1->ItemIndex(), 3);
    for (int k = 0; k < 4; ++k) {
        EXPECT_EQ(pal.Pickers[size_t(k)]->ItemIndex(), 0);
        EXPECT_EQ(pal.WorkScheme[size_t(k)], (DyeSegment{64 * k, 64 * k + 63, lib[size_t(k)].Matrices[0]}));
    }
    EXPECT_EQ(state.Sprite.GetPalette(), Dyed(pal.WorkScheme));
    EXPECT_EQ(pal.windowTitle().toStdString(), "神奇调色板 - " + path);

    // Another entry is applied through the sliders to its segment; the same one again does nothing.
    const int redraws = main.Redraws;
    pal.Pickers[1]->ClickItem(1);
    EXPECT_EQ(pal.RadioGroup1->ItemIndex(), 1);
    EXPECT_EQ(pal.WorkScheme[1].Matrix, lib[1].Matrices[1]);
    EXPECT_EQ(state.Sprite.GetPalette(), Dyed(pal.WorkScheme));
    const int afterPick = main.Redraws;
    EXPECT_GT(afterPick, redraws);
    pal.Pickers[1]->ClickItem(1);
    EXPECT_EQ(main.Redraws, afterPick);

    // Shown again, the pickers list the same entries without their index; the caption stays.
    pal.close();
    pal.show();
    EXPECT_EQ(Items(*pal.Pickers[0]), (std::vector<std::string>{"0~63", "0~63", "0~63"}));
    EXPECT_EQ(pal.Pickers[0]->ItemIndex(), -1);
    EXPECT_EQ(pal.windowTitle().toStdString(), "神奇调色板 - " + path);
}

TEST_F(PalFormTest, APickerBeyondTheSegmentListDyesItsLastSegment) {
    const PalLibraryList lib = EqualQuarters(2);
    WriteLibrary(0, "q.wpal", SerializePalLibrary(lib));
    pal.show();
    PickLibraryRow(0);
    pal.Button5Click();
    pal.Button2Click();
    state.DyeScheme = {{0, 99, kIdentityMatrix}, {100, 255, kIdentityMatrix}};
    pal.show();  // two segments again, the library's four pickers stay
    ASSERT_EQ(pal.Pickers[2]->Count(), 2);
    pal.Pickers[2]->ClickItem(1);
    EXPECT_EQ(pal.RadioGroup1->ItemIndex(), 1);
    EXPECT_EQ(pal.WorkScheme[1].Matrix, lib[2].Matrices[1]);
    EXPECT_EQ(pal.WorkScheme[0].Matrix, kIdentityMatrix);
    EXPECT_EQ(state.Sprite.GetPalette(), Dyed(pal.WorkScheme));
}

TEST_F(PalFormTest, OnlyTheFirstFourLibrarySegmentsGetPickersAndAreDyedByTheLoad) {
    PalLibraryList lib;
    for (int i = 0; i < 6; ++i) lib.push_back(PalLib{40 * i, 40 * i + 39, {{200, 0, 0, 0, 200, 0, 0, 0, uint32_t(200 + i)}}});
    lib.push_back(PalLib{240, 255, {}});  // no entries: the neutral matrix
    WriteLibrary(0, "six.wpal", SerializePalLibrary(lib));
    pal.show();
    PickLibraryRow(0);
    pal.Button5Click();

    ASSERT_EQ(pal.WorkScheme.size(), 7u);
    EXPECT_EQ(pal.RadioGroup1->ItemIndex(), 3);
    EXPECT_EQ(pal.WorkScheme[5].Matrix, lib[5].Matrices[0]);
    EXPECT_EQ(pal.WorkScheme[6].Matrix, kIdentityMatrix);
    const DyeSegmentList dyed(pal.WorkScheme.begin(), pal.WorkScheme.begin() + 4);
    EXPECT_EQ(state.Sprite.GetPalette(), Dyed(dyed));
}

TEST_F(PalFormTest, ARefusedOrCancelledLibraryChangesNothing) {
    const std::string good = WriteLibrary(0, "a-good.wpal", SerializePalLibrary(EqualQuarters(2)));
    Bytes truncated = SerializePalLibrary(EqualQuarters(2));
    truncated.resize(truncated.size() - 4);
    WriteLibrary(0, "b-bad-magic.wpal", Bytes{'w', 'p', 'a', 'x', 0, 0, 0, 0});
    WriteLibrary(0, "c-truncated.wpal", truncated);
    pal.show();
    PickLibraryRow(0);
    pal.Button5Click();
    const DyeSegmentList work = pal.WorkScheme;
    const WasPalette colours = state.Sprite.GetPalette();

    for (int row : {1, 2}) {
        SCOPED_TRACE(row);
        dialogs.Errors.clear();
        PickLibraryRow(row);
        pal.Button5->click();
        EXPECT_EQ(dialogs.Errors, std::vector<std::string>{"这可不是有效的调色板配置文件哦！"});
        EXPECT_EQ(state.PalLibrary, EqualQuarters(2));
        EXPECT_EQ(pal.WorkScheme, work);
        EXPECT_EQ(pal.Pickers[0]->Count(), 2);
        EXPECT_EQ(pal.windowTitle().toStdString(), "神奇调色板 - " + good);
        EXPECT_EQ(state.Sprite.GetPalette(), colours);
    }
    dialogs.OnExecute = [this](QDialog&) { wpal.Cancel_ButtonClick(); };
    pal.Button5Click();
    EXPECT_EQ(pal.WorkScheme, work);
}

TEST_F(PalFormTest, AnEmptyLibraryLeavesNoSegmentsAndOkStoresAnEmptyScheme) {
    WriteLibrary(0, "empty.wpal", SerializePalLibrary({}));
    pal.show();
    PickLibraryRow(0);
    pal.Button5Click();
    EXPECT_EQ(pal.RadioGroup1->Count(), 0);
    const int redraws = main.Redraws;
    Drag(1, 10);  // no segment selected: nothing to dye
    EXPECT_EQ(main.Redraws, redraws);
    pal.Button1Click();
    EXPECT_TRUE(state.DyeScheme.empty());
}

class WpalDialogTest : public PalFormTest {};

TEST_F(WpalDialogTest, OkNeedsAPickAndAPickSurvivesTabsAndReopening) {
    const std::string first = WriteLibrary(0, "one.wpal", SerializePalLibrary(EqualQuarters(1)));
    WriteLibrary(0, "notes.txt", Bytes{1});
    WriteLibrary(1, "two.wpal", SerializePalLibrary(EqualQuarters(1)));

    dialogs.OnExecute = [this](QDialog&) {
        wpal.Ok_ButtonClick();  // nothing picked yet: a hint, the dialog stays
        EXPECT_TRUE(wpal.isVisible());
        wpal.Cancel_ButtonClick();
    };
    EXPECT_FALSE(wpal.Execute());
    EXPECT_EQ(dialogs.Infos, std::vector<std::string>{"请先选择你需要的配置文件！"});

    dialogs.OnExecute = [this](QDialog&) {
        ASSERT_EQ(wpal.FileListBox1->count(), 1);  // only the library files
        wpal.FileListBox1->setCurrentRow(0);
        wpal.TabControl1->setCurrentIndex(1);
        EXPECT_EQ(wpal.FileListBox1->item(0)->text(), "two.wpal");
        EXPECT_EQ(wpal.FileListBox1->currentRow(), -1);
        wpal.Ok_ButtonClick();
    };
    EXPECT_TRUE(wpal.Execute());
    EXPECT_EQ(wpal.GetSelectedFile(), first);
    EXPECT_EQ(wpal.Label1->text(), "one.wpal");

    dialogs.OnExecute = [this](QDialog&) { wpal.Ok_ButtonClick(); };
    EXPECT_TRUE(wpal.Execute());  // reopened on the same tab: OK at once returns the same file
    EXPECT_EQ(wpal.GetSelectedFile(), first);
}

TEST_F(WpalDialogTest, AMissingFolderIsReportedAndTheListKeepsItsLines) {
    WriteLibrary(0, "one.wpal", SerializePalLibrary(EqualQuarters(1)));
    dialogs.OnExecute = [this](QDialog&) {
        EXPECT_TRUE(dialogs.Errors.empty());
        wpal.TabControl1->setCurrentIndex(1);  // 大话调色板 does not exist
        EXPECT_EQ(wpal.FileListBox1->count(), 1);
        wpal.Cancel_ButtonClick();
    };
    EXPECT_FALSE(wpal.Execute());
    ASSERT_EQ(dialogs.Errors.size(), 1u);
    EXPECT_NE(dialogs.Errors[0].find("大话调色板"), std::string::npos);

    dialogs.Errors.clear();
    dialogs.OnExecute = nullptr;
    EXPECT_FALSE(wpal.Execute());  // still opens on the missing folder's tab
    EXPECT_EQ(dialogs.Errors.size(), 1u);
}

}  // namespace
