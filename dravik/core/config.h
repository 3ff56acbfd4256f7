// config.ini: which palette packages a run opens.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace dravik {

struct Workspace;

constexpr int kMaxPackages = 64;
constexpr const char kDefaultPackage[] = "mypal.wdf";

// The package names of section [wdf]: "num" names (at most 64) taken from name0, name1, ...,
// an absent name giving an empty one; "mypal.wdf" alone when "num" is missing or not above 0.
// Section and key names ignore case and the first of repeated keys counts, as the platform's
// profile functions had it.
std::vector<std::string> PackageNamesFromConfig(std::string_view text);
// The same from a file; a missing or unreadable file is an empty configuration.
std::vector<std::string> ReadPackageConfig(const std::filesystem::path& path);

// Opens the configured packages, relative names taken from `gameDir`; every failure is an
// error line. With `changed`, closes all open packages first and says so in the log.
void OpenPalettePackages(Workspace& ws, const std::filesystem::path& configPath,
                         const std::filesystem::path& gameDir, bool changed);

}  // namespace dravik
