// Extracting a cache of 20,000 images of 100 x 100 pixels, against writing the same number of
// files of the same sizes with plain fwrite. Both sides run in every iteration, in alternating
// order, each into a new empty folder; the folders are removed outside the timed parts.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <random>

#include "dravik/core/cache.h"
#include "dravik/core/workspace.h"
#include "tests/support/cache_builder.h"
#include "tests/support/cache_package.h"

using namespace fixture;
namespace fs = std::filesystem;

namespace {

constexpr int kEntries = 200, kColumns = 10, kRows = 10;  // 20,000 images
constexpr int kSide = 100;

// A sprite-like image: transparent surround, a body shaded by a smooth gradient (literal
// runs) with flat bands (repeat runs), a partly transparent rim and a soft shadow.
CacheImage SpriteImage(int seed) {
    std::mt19937 rng{uint32_t(seed)};
    std::vector<CachePixel> px(kSide * kSide);
    const double r = 38 + int(rng() % 8);
    const int band = 20 + int(rng() % 30);
    for (int y = 0; y < kSide; ++y)
        for (int x = 0; x < kSide; ++x) {
            const double d = std::hypot(x - 50.0, (y - 45.0) * 1.2);
            CachePixel& p = px[size_t(y * kSide + x)];
            if (d < r - 2) {
                const bool flat = y > band && y < band + 12;
                p = {32, uint8_t(flat ? 200 : 1 + int(d * 3 + x) % 190)};
            } else if (d < r) {
                p = {uint8_t(8 + int((r - d) * 10)), uint8_t(1 + int(d) % 190)};
            } else if (std::hypot((x - 50.0) / 2.0, y - 92.0) < 5) {
                p = {12, 0};
            }
        }
    return CacheImage::Encode(kSide, kSide, px);
}

// DRAVIK_BENCH_DIR chooses the file system (default: the temporary folder).
fs::path BenchDir() {
    const char* dir = std::getenv("DRAVIK_BENCH_DIR");
    return dir && *dir ? fs::path(dir) : fs::temp_directory_path();
}

struct Fixture {
    fs::path root = BenchDir() / ("dravik-bench-" + std::to_string(std::random_device()()));
    Fixture() {
        std::vector<CacheImage> images;
        for (int i = 0; i < 16; ++i) images.push_back(SpriteImage(i));
        std::vector<CacheEntry> entries;
        for (int e = 0; e < kEntries; ++e) {
            CacheEntry entry{WeaponInfo(e % 4), kColumns, kRows, {}, {}};
            for (int c = 0; c < kColumns * kRows; ++c) entry.Cells.push_back(images[size_t((e + c) % 16)]);
            entries.push_back(std::move(entry));
        }
        WriteCache(root / "game", BuildCache(entries));
        std::vector<PalColour> colours(256);
        for (int i = 0; i < 256; ++i) colours[size_t(i)] = {uint8_t(i), uint8_t(255 - i), uint8_t(i * 3)};
        std::map<std::string, Bytes> pals;
        for (int w = 0; w < 4; ++w) pals["mypal/weapon/" + std::to_string(w) + ".pal"] = BuildPal(colours);
        WriteZipPackage(root / "game" / "mypal.wdf", pals);
    }
    ~Fixture() {
        std::error_code ec;
        fs::remove_all(root, ec);
    }
};

double Seconds(std::chrono::steady_clock::duration d) { return std::chrono::duration<double>(d).count(); }

void BM_ExtractVersusFwrite(benchmark::State& state) {
    Fixture fx;
    dravik::Workspace ws;
    ws.packages.OpenDataFile("mypal.wdf", fx.root / "game");
    ws.log.Open(fx.root / "log.txt");
    const size_t fileSize = 18 + kSide * kSide * 4;
    std::vector<uint8_t> bytes(fileSize, 0x5A);
    const int images = kEntries * kColumns * kRows;

    double extractTotal = 0, fwriteTotal = 0;
    int run = 0;
    for (auto _ : state) {
        double extract = 0, plain = 0;
        auto doExtract = [&] {
            const fs::path out = fx.root / ("x" + std::to_string(run));
            ws.exportDir = out.string() + "/";
            fs::create_directories(out);
            const int before = ws.imagesWritten;
            const auto t0 = std::chrono::steady_clock::now();
            dravik::ExtractCache(ws, fx.root / "game/v3d_cache/v3d.hdr", fx.root / "game/v3d_cache/v3d.dat", {});
            ws.log.Flush();
            extract = Seconds(std::chrono::steady_clock::now() - t0);
            if (ws.imagesWritten - before != images) state.SkipWithError("not every image was written");
            fs::remove_all(out);
        };
        auto doFwrite = [&] {
            const fs::path out = fx.root / ("f" + std::to_string(run));
            fs::create_directories(out);
            char name[64];
            const auto t0 = std::chrono::steady_clock::now();
            for (int i = 0; i < images; ++i) {
                std::snprintf(name, sizeof name, "/%.8d_%.4d_%.4d.tga", i / 100, i / 10 % 10, i % 10);
                std::FILE* f = std::fopen((out.string() + name).c_str(), "wb");
                if (!f || std::fwrite(bytes.data(), 1, bytes.size(), f) != bytes.size()) state.SkipWithError("fwrite failed");
                if (f) std::fclose(f);
            }
            plain = Seconds(std::chrono::steady_clock::now() - t0);
            fs::remove_all(out);
        };
        if (run % 2 == 0) {
            doExtract();
            doFwrite();
        } else {
            doFwrite();
            doExtract();
        }
        ++run;
        state.SetIterationTime(extract);
        extractTotal += extract;
        fwriteTotal += plain;
    }
    state.counters["extract_images_per_s"] = images * run / extractTotal;
    state.counters["fwrite_files_per_s"] = images * run / fwriteTotal;
    state.counters["ratio"] = fwriteTotal / extractTotal;
}

// Decoding alone, beside a memcpy of the decoded bytes: what the extractor adds per image
// before any file is touched.
void BM_DecodeVersusMemcpy(benchmark::State& state) {
    std::vector<Bytes> bodies;
    for (int i = 0; i < 16; ++i) bodies.push_back(SpriteImage(i).Body());
    dravik::EntryPalette palette{};
    for (int i = 0; i < 256; ++i) palette[size_t(i)] = uint16_t(i * 257);
    dravik::GrowBuffer rows(2048), pixels(65536);
    std::vector<uint8_t> from(kSide * kSide * 4, 1), to(kSide * kSide * 4);
    double decode = 0, copy = 0;
    size_t n = 0;
    for (auto _ : state) {
        const Bytes& body = bodies[n++ % bodies.size()];
        dravik::ImageHeader header;
        const auto t0 = std::chrono::steady_clock::now();
        auto error = dravik::DecodeImage(body, palette, rows, pixels, dravik::kDefaultMaxPixels, header);
        const auto t1 = std::chrono::steady_clock::now();
        std::memcpy(to.data(), from.data(), to.size());
        benchmark::DoNotOptimize(to.data());
        const auto t2 = std::chrono::steady_clock::now();
        if (error) state.SkipWithError(error->c_str());
        decode += Seconds(t1 - t0);
        copy += Seconds(t2 - t1);
        state.SetIterationTime(Seconds(t1 - t0));
    }
    state.counters["decode_us_per_image"] = decode / double(n) * 1e6;
    state.counters["memcpy_us_per_image"] = copy / double(n) * 1e6;
}

BENCHMARK(BM_DecodeVersusMemcpy)->UseManualTime();
BENCHMARK(BM_ExtractVersusFwrite)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(6);

}  // namespace

BENCHMARK_MAIN();
