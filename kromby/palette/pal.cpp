#include "kromby/palette/pal.h"

#include <QCloseEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>
#include <QSlider>

#include "kromby/palette/input.h"
#include "kromby/palette/wdialog.h"
#include "kromby/ui/guard.h"
#include "kromby/ui/quiet.h"

namespace {

const char kCaption[] = "神奇调色板";
constexpr int kClientHeight = 241;
// Outer width minus client width of the tool window frame the layout was designed with.
constexpr int kFrameWidth = 8;

QString Q(const std::string& s) { return QString::fromStdString(s); }

// A stored weight reaches its slider as a signed 32-bit number, so 2^31 and above read negative.
int64_t SliderValue(uint32_t entry) { return int32_t(entry); }

}  // namespace

TPalForm::TPalForm(KrombyState& state, MainView& main, kui::Dialogs& dialogs, QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::WindowStaysOnTopHint),
      state_(state),
      main_(main),
      dialogs_(dialogs) {
    setObjectName("PalForm");
    setWindowTitle(kCaption);
    setAttribute(Qt::WA_QuitOnClose, false);
    setFixedSize(kWideWidth - kFrameWidth, kClientHeight);
    move(73, 344);

    RadioGroup1 = new kui::TRadioGroup("分段", this);
    RadioGroup1->setObjectName("RadioGroup1");
    RadioGroup1->setGeometry(8, 8, 361, 97);
    RadioGroup1->ReserveRight(361 - (280 - 8) + 4);  // LoadPP and 自定义 sit inside its right end
    RadioGroup1->OnUserSelect([this] { kui::Guard(dialogs_, this, [this] { RadioGroup1Click(); }); });

    for (int n = 1; n <= 9; ++n) {
        const int row = (n - 1) / 3, col = (n - 1) % 3;
        auto* bar = new QSlider(Qt::Horizontal, this);
        bar->setObjectName(QString("TrackBar%1").arg(n));
        bar->setRange(0, 512);
        bar->setTickPosition(QSlider::NoTicks);
        bar->setGeometry(8 + 120 * col, 112 + 32 * row, 81, 25);
        TrackBars[size_t(n - 1)] = bar;
        kui::OnUser(bar, &QSlider::valueChanged, this, dialogs_, [this, n] { TrackBarChange(n); });

        auto* edit = new QLineEdit(this);
        edit->setObjectName(QString("Edit%1").arg(n));
        edit->setGeometry(88 + 120 * col, 115 + 32 * row, 41, 21);
        Edits[size_t(n - 1)] = edit;
        kui::OnUser(edit, &QLineEdit::returnPressed, this, dialogs_, [this, n] { EditKeyPress(n, '\r'); });
    }

    auto button = [this](const char* name, const char* text, int x, int y, void (TPalForm::*handler)()) {
        auto* b = new QPushButton(QString::fromUtf8(text), this);
        b->setObjectName(name);
        b->setGeometry(x, y, 75, 25);
        b->setAutoDefault(false);
        kui::OnUser(b, &QPushButton::clicked, this, dialogs_, [this, handler] { (this->*handler)(); });
        return b;
    };
    Button1 = button("Button1", "确定", 16, 208, &TPalForm::Button1Click);
    Button2 = button("Button2", "取消", 104, 208, &TPalForm::Button2Click);
    Button3 = button("Button3", "应用", 192, 208, &TPalForm::Button3Click);
    Button4 = button("Button4", "<<", 280, 208, &TPalForm::Button4Click);
    Button5 = button("Button5", "LoadPP", 280, 24, &TPalForm::Button5Click);
    Button6 = button("Button6", "自定义", 280, 64, &TPalForm::Button6Click);

    for (int k = 0; k < 4; ++k) {
        auto* picker = new kui::TRadioGroup(QString("%1号分段").arg(k + 1), this);
        picker->setObjectName(QString("RadioGroup%1").arg(k + 2));
        picker->setGeometry(376 + 136 * k, 8, 129, 225);
        picker->OnUserSelect([this, k] { kui::Guard(dialogs_, this, [this, k] { PickerClick(k); }); });
        Pickers[size_t(k)] = picker;
    }
}

void TPalForm::Attach(TInputForm* inputForm, TWpalDialog* wpalDialog) {
    inputForm_ = inputForm;
    wpalDialog_ = wpalDialog;
}

void TPalForm::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (!event->spontaneous()) kui::Guard(dialogs_, this, [this] { FormShow(); });
}

void TPalForm::closeEvent(QCloseEvent* event) {
    kui::Guard(dialogs_, this, [this] { FormClose(); });
    event->accept();
}

void TPalForm::FormShow() {
    restoreOnClose_ = true;
    if (state_.Sprite.FileName() != lastFileName_) setWindowTitle(QString(kCaption) + " - 默认");
    lastFileName_ = state_.Sprite.FileName();
    savedPalette_ = state_.Sprite.GetPalette();

    WorkScheme.clear();
    RadioGroup1->ClearItems();
    for (const DyeSegment& s : state_.DyeScheme) {
        WorkScheme.push_back(s);
        RadioGroup1->AddItem(Q(SegmentLabel(s.First, s.Last)));
    }
    if (RadioGroup1->Count() == 0) {
        WorkScheme = DefaultScheme();
        RadioGroup1->AddItem("0~255");
    }
    SelectSegment(0);

    for (kui::TRadioGroup* picker : Pickers) picker->ClearItems();
    for (size_t k = 0; k < state_.PalLibrary.size() && k < Pickers.size(); ++k) {
        const PalLib& lib = state_.PalLibrary[k];
        for (size_t j = 0; j < lib.Matrices.size(); ++j) Pickers[k]->AddItem(Q(SegmentLabel(lib.First, lib.Last)));
    }
}

void TPalForm::FormClose() {
    if (state_.Sprite.FileName() != lastFileName_)
        state_.Sprite.ResetPalette();  // another sprite is shown now: the saved colours are not its own
    else if (restoreOnClose_)
        state_.Sprite.SetPalette(savedPalette_);
    main_.EnablePaletteCommand();
}

void TPalForm::RadioGroup1Click() {
    const int k = RadioGroup1->ItemIndex();
    if (k < 0 || size_t(k) >= WorkScheme.size()) return;
    for (int n = 1; n <= 9; ++n) SetTrackBar(n, SliderValue(WorkScheme[size_t(k)].Matrix[size_t(n - 1)]));
    // The boxes show what is stored, also where the slider had to limit it.
    for (int n = 1; n <= 9; ++n) Edits[size_t(n - 1)]->setText(QString::number(WorkScheme[size_t(k)].Matrix[size_t(n - 1)]));
}

void TPalForm::TrackBarChange(int n) {
    const int k = RadioGroup1->ItemIndex();
    if (k < 0 || size_t(k) >= WorkScheme.size()) return;
    const int p = TrackBars[size_t(n - 1)]->value();
    Edits[size_t(n - 1)]->setText(QString::number(p));
    DyeSegment& s = WorkScheme[size_t(k)];
    s.Matrix[size_t(n - 1)] = uint32_t(p);
    state_.Sprite.DyeRange(s.First, s.Last, s.Matrix);
    main_.RedrawView();
}

void TPalForm::EditKeyPress(int n, char key) {
    if (key != '\r') return;
    const int32_t v = StrToInt(Edits[size_t(n - 1)]->text().toStdString());
    SetTrackBar(n, v);  // the slider limits it to 0..512
}

void TPalForm::Button1Click() {
    state_.DyeScheme = WorkScheme;
    restoreOnClose_ = false;
    close();
}

void TPalForm::Button2Click() { close(); }

void TPalForm::Button3Click() {
    state_.DyeScheme = WorkScheme;
    savedPalette_ = state_.Sprite.GetPalette();
}

void TPalForm::Button4Click() {
    if (Button4->text() == "<<") {
        SetOuterWidth(kNarrowWidth);
        Button4->setText(">>");
    } else {
        SetOuterWidth(kWideWidth);
        Button4->setText("<<");
    }
}

void TPalForm::SetOuterWidth(int outer) { setFixedSize(outer - kFrameWidth, kClientHeight); }

void TPalForm::Button5Click() {
    if (!wpalDialog_ || !wpalDialog_->Execute()) return;
    const std::string path = wpalDialog_->GetSelectedFile();
    // The whole file is checked before anything here changes.
    PalLibraryList library = ReadPalLibraryFile(path);
    state_.PalLibrary = std::move(library);

    for (kui::TRadioGroup* picker : Pickers) picker->ClearItems();
    for (size_t k = 0; k < state_.PalLibrary.size() && k < Pickers.size(); ++k) {
        const PalLib& lib = state_.PalLibrary[k];
        for (size_t j = 0; j < lib.Matrices.size(); ++j)
            Pickers[k]->AddItem(QString("[%1]   ").arg(j) + Q(SegmentLabel(lib.First, lib.Last)));
    }

    WorkScheme.clear();
    RadioGroup1->ClearItems();
    for (const PalLib& lib : state_.PalLibrary) {
        WorkScheme.push_back(DyeSegment{lib.First, lib.Last, lib.FirstEntry()});
        RadioGroup1->AddItem(Q(SegmentLabel(lib.First, lib.Last)));
    }

    for (int k = 0; k < int(Pickers.size()); ++k)
        if (Pickers[size_t(k)]->Count() > 0) SelectPickerItem(k, 0);
    setWindowTitle(QString(kCaption) + " - " + Q(path));
}

void TPalForm::Button6Click() {
    if (inputForm_) dialogs_.Execute(*inputForm_);
}

void TPalForm::PickerClick(int k) {
    const int j = Pickers[size_t(k)]->ItemIndex();
    if (j < 0) return;
    SelectSegment(k);
    // The pickers mirror the library, so the entry exists; the check only keeps that promise local.
    if (size_t(k) >= state_.PalLibrary.size() || size_t(j) >= state_.PalLibrary[size_t(k)].Matrices.size()) return;
    const DyeMatrix entry = state_.PalLibrary[size_t(k)].Matrices[size_t(j)];
    for (int t = 1; t <= 9; ++t) SetTrackBar(t, SliderValue(entry[size_t(t - 1)]));
}

void TPalForm::ClearPalLibrary() {
    state_.PalLibrary.clear();
    for (kui::TRadioGroup* picker : Pickers) picker->ClearItems();
}

void TPalForm::ReplaceSegments(const TypedSegments& typed) {
    RadioGroup1->ClearItems();
    WorkScheme = typed.Segments;
    for (const std::string& item : typed.Items) RadioGroup1->AddItem(Q(item));
    ApplyScheme(state_.Sprite, WorkScheme);
    SelectSegment(0);
    ClearPalLibrary();  // its pickers no longer fit the new segments
    main_.RedrawView();
}

void TPalForm::SetTrackBar(int n, int64_t position) {
    kui::SetPosition(*TrackBars[size_t(n - 1)], position, [this, n] { TrackBarChange(n); });
}

void TPalForm::SelectSegment(int index) {
    kui::SelectItem(*RadioGroup1, index, [this] { RadioGroup1Click(); });
}

void TPalForm::SelectPickerItem(int k, int index) {
    kui::SelectItem(*Pickers[size_t(k)], index, [this, k] { PickerClick(k); });
}
