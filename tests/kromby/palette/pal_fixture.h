// A magic palette window with its two modal windows on a small loaded sprite, a main window
// stand-in that counts what it is asked, and library folders in a fresh directory.
#pragma once

#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSlider>

#include "kd/file_io.h"
#include "kromby/palette/input.h"
#include "kromby/palette/pal.h"
#include "kromby/palette/wdialog.h"
#include "tests/kromby/sprite/sprite_test_util.h"
#include "tests/kromby/ui/gui_test_util.h"
#include "tests/support/temp_dir.h"

namespace fixture {

struct CountingMainView : MainView {
    int Redraws = 0, Enables = 0;
    void RedrawView() override { ++Redraws; }
    void EnablePaletteCommand() override { ++Enables; }
};

inline Bytes SmallSprite() {
    const std::vector<WasPixel> px{Px(32, 1), Px(32, 200)};
    return SingleFrameFile(Frame::Encode(0, 0, 2, 1, px), DistinctPalette());
}

// The working palette a sprite with `filePalette` has after `segments` were dyed in order.
inline WasPalette Dyed(const DyeSegmentList& segments, const WasPalette* start = nullptr) {
    TWasFile ref = LoadBytes(SmallSprite());
    if (start) ref.SetPalette(*start);
    ApplyScheme(ref, segments);
    return ref.GetPalette();
}

inline PalLibraryList EqualQuarters(int entries) {
    PalLibraryList lib;
    for (int i = 0; i < 4; ++i) {
        PalLib seg{64 * i, 64 * i + 63, {}};
        for (int j = 0; j < entries; ++j)
            seg.Matrices.push_back(DyeMatrix{uint32_t(100 + 10 * i + j), 0, 0, 0, 256, 0, 0, 0, uint32_t(50 + j)});
        lib.push_back(seg);
    }
    return lib;
}

class PalFormTest : public QtTest {
protected:
    PalFormTest() {
        state.Sprite.LoadFromMemory(SmallSprite(), "hero.was");
        state.DyeScheme = DefaultScheme();
        pal.Attach(&input, &wpal);
    }

    std::array<int, 9> Sliders() const {
        std::array<int, 9> v{};
        for (size_t i = 0; i < 9; ++i) v[i] = pal.TrackBars[i]->value();
        return v;
    }
    std::vector<std::string> EditTexts() const {
        std::vector<std::string> v;
        for (QLineEdit* e : pal.Edits) v.push_back(e->text().toStdString());
        return v;
    }
    std::vector<std::string> Items(const kui::TRadioGroup& g) const {
        std::vector<std::string> v;
        for (const QString& s : g.Items()) v.push_back(s.toStdString());
        return v;
    }
    // The user drags slider n (1..9) to `value`.
    void Drag(int n, int value) { pal.TrackBars[size_t(n - 1)]->setValue(value); }

    // Writes a library file into tab `tab`'s folder and returns its full path.
    std::string WriteLibrary(int tab, const std::string& name, const Bytes& bytes) {
        const std::string folder = wpal.LibraryFolders()[size_t(tab)];
        std::filesystem::create_directories(kd::PathFromUtf8(folder));
        const std::string path = kd::PathToUtf8(kd::PathFromUtf8(folder) / kd::PathFromUtf8(name));
        kd::WriteWholeFile(kd::PathFromUtf8(path), bytes);
        return path;
    }
    // The next library dialog picks line `row` of the first tab and confirms.
    void PickLibraryRow(int row) {
        dialogs.OnExecute = [this, row](QDialog&) {
            wpal.FileListBox1->setCurrentRow(row);
            wpal.Ok_ButtonClick();
        };
    }

    TempDir dir;
    KrombyState state;
    CountingMainView main;
    ScriptedDialogs dialogs;
    TPalForm pal{state, main, dialogs};
    TInputForm input{pal, dialogs, &pal};
    TWpalDialog wpal{dir.Path(), dialogs, &pal};
};

}  // namespace fixture
