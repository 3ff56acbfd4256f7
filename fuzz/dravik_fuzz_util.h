// Shared by the extractor's fuzz targets: a scratch folder that lives for the process.
#pragma once

#include <unistd.h>

#include <filesystem>
#include <string>

namespace dravik_fuzz {

struct Scratch {
    std::filesystem::path dir;
    ~Scratch() {
        std::error_code ec;
        std::filesystem::remove_all(dir, ec);
    }
};

inline const std::filesystem::path& ScratchDir() {
    static const Scratch scratch{[] {
        std::error_code ec;
        std::filesystem::path base = "/dev/shm";
        if (!std::filesystem::is_directory(base, ec)) base = std::filesystem::temp_directory_path();
        auto d = base / ("dravik-fuzz-" + std::to_string(::getpid()));
        std::filesystem::create_directories(d);
        return d;
    }()};
    return scratch.dir;
}

}  // namespace dravik_fuzz
