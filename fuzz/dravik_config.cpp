// config.ini reading: any text gives between 1 and 64 package names.
#include <cstdint>
#include <string_view>

#include "dravik/core/config.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const auto names =
        dravik::PackageNamesFromConfig(std::string_view(reinterpret_cast<const char*>(data), size));
    if (names.empty() || names.size() > size_t(dravik::kMaxPackages)) __builtin_trap();
    return 0;
}
