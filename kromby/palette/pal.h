// The magic palette window: edits a working copy of the dye scheme segment by segment, with the
// sprite re-dyed live on every slider move.
#pragma once

#include <array>
#include <string>

#include <QWidget>

#include "kromby/palette/kromby_state.h"
#include "kromby/palette/main_view.h"
#include "kromby/scheme/segment_text.h"
#include "kromby/ui/dialogs.h"
#include "kromby/ui/radio_group.h"

class QLineEdit;
class QPushButton;
class QSlider;
class TInputForm;
class TWpalDialog;

class TPalForm : public QWidget {
public:
    static constexpr int kNarrowWidth = 381;  // outer widths of "<<" and ">>"
    static constexpr int kWideWidth = 927;

    TPalForm(KrombyState& state, MainView& main, kui::Dialogs& dialogs, QWidget* parent = nullptr);
    // The two windows this one opens modally; both are created after it.
    void Attach(TInputForm* inputForm, TWpalDialog* wpalDialog);

    // Handlers. The nine sliders, nine edit boxes and four pickers each share one body.
    void FormShow();
    void FormClose();
    void RadioGroup1Click();
    void TrackBar1Change() { TrackBarChange(1); }
    void TrackBar2Change() { TrackBarChange(2); }
    void TrackBar3Change() { TrackBarChange(3); }
    void TrackBar4Change() { TrackBarChange(4); }
    void TrackBar5Change() { TrackBarChange(5); }
    void TrackBar6Change() { TrackBarChange(6); }
    void TrackBar7Change() { TrackBarChange(7); }
    void TrackBar8Change() { TrackBarChange(8); }
    void TrackBar9Change() { TrackBarChange(9); }
    void Edit1KeyPress(char key) { EditKeyPress(1, key); }
    void Edit2KeyPress(char key) { EditKeyPress(2, key); }
    void Edit3KeyPress(char key) { EditKeyPress(3, key); }
    void Edit4KeyPress(char key) { EditKeyPress(4, key); }
    void Edit5KeyPress(char key) { EditKeyPress(5, key); }
    void Edit6KeyPress(char key) { EditKeyPress(6, key); }
    void Edit7KeyPress(char key) { EditKeyPress(7, key); }
    void Edit8KeyPress(char key) { EditKeyPress(8, key); }
    void Edit9KeyPress(char key) { EditKeyPress(9, key); }
    void Button1Click();  // 确定
    void Button2Click();  // 取消
    void Button3Click();  // 应用
    void Button4Click();  // << / >>
    void Button5Click();  // LoadPP
    void Button6Click();  // 自定义
    void RadioGroup2Click() { PickerClick(0); }
    void RadioGroup3Click() { PickerClick(1); }
    void RadioGroup4Click() { PickerClick(2); }
    void RadioGroup5Click() { PickerClick(3); }

    void TrackBarChange(int n);            // n = 1..9
    void EditKeyPress(int n, char key);    // n = 1..9
    void PickerClick(int k);               // library segment k = 0..3
    void ClearPalLibrary();

    // Custom segmentation's hand-over: new segments (already checked) replace the working ones.
    void ReplaceSegments(const TypedSegments& typed);

    // Components, named as the window's designer named them.
    kui::TRadioGroup* RadioGroup1;
    std::array<QSlider*, 9> TrackBars{};     // TrackBar1..9
    std::array<QLineEdit*, 9> Edits{};       // Edit1..9
    std::array<kui::TRadioGroup*, 4> Pickers{};  // RadioGroup2..5
    QPushButton *Button1, *Button2, *Button3, *Button4, *Button5, *Button6;

    DyeSegmentList WorkScheme;

    const WasPalette& SavedPalette() const { return savedPalette_; }
    const std::string& LastFileName() const { return lastFileName_; }
    bool RestoreOnClose() const { return restoreOnClose_; }

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    // The event rule's code-side setters.
    void SetTrackBar(int n, int64_t position);
    void SelectSegment(int index);
    void SelectPickerItem(int k, int index);
    void SetOuterWidth(int outer);

    KrombyState& state_;
    MainView& main_;
    kui::Dialogs& dialogs_;
    TInputForm* inputForm_ = nullptr;
    TWpalDialog* wpalDialog_ = nullptr;

    WasPalette savedPalette_{};
    std::string lastFileName_;
    bool restoreOnClose_ = false;
};
