// A slider move in the magic palette window: DyeRange of a 256-entry segment plus RedrawView of
// the 640 x 480 view, driven through the real slider and windows. Beside it, each half on its own
// and a memcpy of the view surface's bytes as the baseline of the same run.
#include <benchmark/benchmark.h>

#include <cstring>
#include <random>

#include <QApplication>
#include <QSlider>
#include <QTimer>

#include "kromby/app/main_form.h"
#include "kromby/palette/pal.h"
#include "kromby/ui/dialogs.h"
#include "tests/support/was_builder.h"

namespace {

constexpr int kDirections = 8, kFrames = 10, kSide = 120;

// Opaque shaded blobs with a soft edge, over a transparent margin: roughly a character sprite.
fixture::Bytes BenchSprite() {
    std::mt19937 rng(7);
    fixture::Sprite s;
    s.Header.Directions = kDirections;
    s.Header.FramesPerDirection = kFrames;
    for (auto& e : s.Palette) e = uint16_t(rng());
    for (int i = 0; i < kDirections * kFrames; ++i) {
        std::vector<WasPixel> px(size_t(kSide) * kSide);
        for (int y = 0; y < kSide; ++y)
            for (int x = 0; x < kSide; ++x) {
                const int dx = x - kSide / 2, dy = y - kSide / 2, d2 = dx * dx + dy * dy;
                if (d2 < 40 * 40) px[size_t(y * kSide + x)] = WasPixel{32, uint8_t(rng())};
                else if (d2 < 44 * 44) px[size_t(y * kSide + x)] = WasPixel{uint8_t(8 + rng() % 16), uint8_t(rng())};
            }
        s.Frames.push_back(fixture::Frame::Encode(kSide / 2, kSide - 10, kSide, kSide, px));
    }
    return s.Build();
}

class SilentDialogs : public kui::Dialogs {
public:
    std::optional<std::string> OpenFile(QWidget*, const std::vector<kui::FileFilter>&) override { return {}; }
    std::optional<std::string> SaveFile(QWidget*, const std::vector<kui::FileFilter>&, const std::string&) override {
        return {};
    }
    void Information(QWidget*, const std::string&) override {}
    bool Question(QWidget*, const std::string&, const std::string&) override { return false; }
    void Error(QWidget*, const std::string& text) override { errors.push_back(text); }
    bool Execute(QDialog&) override { return false; }
    void OpenUrl(QWidget*, const std::string&) override {}
    std::vector<std::string> errors;
};

struct Windows {
    KrombyState state;
    SilentDialogs dialogs;
    TMainForm main{state, dialogs, {}};
    TPalForm pal{state, main, dialogs, &main};
    Windows() {
        state.Sprite.LoadFromMemory(BenchSprite(), "bench.was");
        state.DyeScheme = DefaultScheme();
        main.Timer1->stop();
        main.Timer1Timer();
        pal.show();  // segment 0..255 selected
    }
};

void BM_SliderMove(benchmark::State& st) {
    Windows w;
    QSlider& slider = *w.pal.TrackBars[0];
    int v = 256;
    for (auto _ : st) {
        v = v == 256 ? 300 : 256;
        slider.setValue(v);  // the user's move: signal, guard, TrackBar1Change
        benchmark::DoNotOptimize(w.main.ViewSurface().constBits());
    }
    if (!w.dialogs.errors.empty()) st.SkipWithError(w.dialogs.errors.front().c_str());
}
BENCHMARK(BM_SliderMove)->Unit(benchmark::kMicrosecond);

void BM_DyeRange256(benchmark::State& st) {
    Windows w;
    DyeMatrix m = kIdentityMatrix;
    for (auto _ : st) {
        m[0] = m[0] == 256 ? 300 : 256;
        w.state.Sprite.DyeRange(0, 255, m);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_DyeRange256)->Unit(benchmark::kMicrosecond);

void BM_RedrawView(benchmark::State& st) {
    Windows w;
    for (auto _ : st) {
        w.main.RedrawView();
        benchmark::DoNotOptimize(w.main.ViewSurface().constBits());
    }
}
BENCHMARK(BM_RedrawView)->Unit(benchmark::kMicrosecond);

// Baseline: copying the view surface's bytes once.
void BM_MemcpyViewSurface(benchmark::State& st) {
    std::vector<uint8_t> a(640 * 480 * 3, 1), b(a.size());
    for (auto _ : st) {
        std::memcpy(b.data(), a.data(), a.size());
        benchmark::DoNotOptimize(b.data());
        benchmark::ClobberMemory();
    }
    st.SetBytesProcessed(int64_t(st.iterations()) * int64_t(a.size()));
}
BENCHMARK(BM_MemcpyViewSurface)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
