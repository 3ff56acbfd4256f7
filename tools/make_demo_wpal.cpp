// Writes the demo palette libraries into the two library folders beside the programs. Their
// segments follow the demo sprite's palette ranges (skin, armour, cape, plume, shadow), so each
// picker recolours one part of the knight.
#include <cstdio>
#include <exception>
#include <filesystem>

#include "kd/file_io.h"
#include "kromby/scheme/pal_library.h"

namespace {

// Matrices in 256ths: rows are output red, green, blue.
constexpr DyeMatrix kKeep = kIdentityMatrix;
constexpr DyeMatrix kRedToBlue{0, 0, 256, 0, 256, 0, 256, 0, 0};   // swap red and blue
constexpr DyeMatrix kRedToGreen{0, 128, 0, 512, 0, 0, 0, 0, 256};  // red cape -> green
constexpr DyeMatrix kGold{320, 0, 0, 0, 280, 0, 0, 0, 96};
constexpr DyeMatrix kShadowed{160, 0, 0, 0, 160, 0, 0, 0, 160};
constexpr DyeMatrix kGrey{86, 43, 86, 171, 86, 171, 86, 43, 86};  // channel units differ
constexpr DyeMatrix kFrost{128, 0, 0, 0, 320, 0, 64, 0, 420};
constexpr DyeMatrix kEmber{420, 64, 0, 0, 200, 0, 0, 0, 64};
constexpr DyeMatrix kViolet{256, 0, 0, 0, 64, 0, 256, 0, 256};

PalLibraryList Knight(std::initializer_list<DyeMatrix> cape,
                      std::initializer_list<DyeMatrix> armour) {
    return {
        PalLib{0, 47, {kKeep, kShadowed, kGold}},  // index 0 stays with the skin: it is never drawn
        PalLib{48, 111, armour},
        PalLib{112, 175, cape},
        PalLib{176, 239, {kKeep, kFrost, kEmber, kViolet}},
        PalLib{240, 255, {kKeep, kShadowed}},
    };
}

PalLibraryList Quarters(std::initializer_list<DyeMatrix> entries) {
    PalLibraryList lib;
    for (int q = 0; q < 4; ++q) lib.push_back(PalLib{64 * q, 64 * q + 63, entries});
    return lib;
}

void Write(const std::filesystem::path& file, const PalLibraryList& lib) {
    std::filesystem::create_directories(file.parent_path());
    kd::WriteWholeFile(file, SerializePalLibrary(lib));
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make-demo-wpal BIN_DIR\n");
        return 2;
    }
    try {
        const std::filesystem::path bin = kd::PathFromUtf8(argv[1]);
        const std::filesystem::path first = bin / kd::PathFromUtf8("梦幻调色板");
        const std::filesystem::path second = bin / kd::PathFromUtf8("大话调色板");
        Write(first / kd::PathFromUtf8("骑士-冰与火.wpal"),
              Knight({kKeep, kRedToBlue, kRedToGreen, kViolet}, {kKeep, kGold, kFrost}));
        Write(first / kd::PathFromUtf8("骑士-暗夜.wpal"),
              Knight({kShadowed, kGrey, kRedToBlue}, {kShadowed, kGrey, kEmber}));
        Write(second / kd::PathFromUtf8("四等分-基础.wpal"), Quarters({kKeep, kRedToBlue, kGrey}));
        Write(second / kd::PathFromUtf8("四等分-冷暖.wpal"),
              Quarters({kFrost, kEmber, kGold, kKeep}));
    } catch (const std::exception& e) {
        std::fprintf(stderr, "make-demo-wpal: %s\n", e.what());
        return 1;
    }
    return 0;
}
