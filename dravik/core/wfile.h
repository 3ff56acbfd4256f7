// Palette packages: named files read from ZIP archives or plain directories.
//
// A name is matched ignoring ASCII letter case and treating "/" and "\" alike, so the
// extractor's "mypal/equip\25_3.pal" finds mypal/equip/25_3.pal. A name that would climb out
// of its package ("..") is never found.
#pragma once

#include <cstdint>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace dravik {

// One file of a package, read front to back.
class PackageReader {
public:
    virtual ~PackageReader() = default;
    // Up to `size` bytes; fewer only at the end of the file or on a damaged archive.
    virtual size_t Read(void* destination, size_t size) = 0;
};

class Package {
public:
    virtual ~Package() = default;
    // `name` is already normalised (see NormalisePackageName); null when absent.
    virtual std::unique_ptr<PackageReader> Find(const std::string& name) const = 0;
};

// Lower-case ASCII, "\" as "/", empty and "." components dropped. Empty when the name has
// no components or climbs with "..".
std::string NormalisePackageName(std::string_view name);

// A package held in memory, for tests and fuzzing: name -> contents.
std::unique_ptr<Package> MakeMemoryPackage(const std::map<std::string, std::vector<uint8_t>>& files);

// The set of open packages (the library state behind OpenDataFile and CloseAllDataFile).
class WPackages {
public:
    // Opens a ZIP archive or a directory. A relative name is taken from `baseDir` (the game
    // directory). 0 on success; opening a package that is already open succeeds and changes
    // nothing, not even its rank.
    uint32_t OpenDataFile(std::string_view name, const std::filesystem::path& baseDir);
    uint32_t CloseAllDataFile();
    // Adds a package made elsewhere (a memory package); `identity` plays the part of the path.
    void Add(const std::string& identity, std::unique_ptr<Package> package);

    // The package opened last that holds `name` wins.
    std::unique_ptr<PackageReader> Find(std::string_view name) const;
    size_t Count() const { return open_.size(); }

private:
    std::vector<std::pair<std::string, std::unique_ptr<Package>>> open_;
};

// One file being read from the open packages.
class WFile {
public:
    explicit WFile(const WPackages& packages) : packages_(packages) {}

    // 0 when the name was found; reading then starts at its first byte.
    uint32_t Open(std::string_view name);
    // Reads `count` bytes (none when negative); bytes past the end of the file leave the
    // destination as it was. `got`, when given, receives the count actually read. 0 when all
    // were read.
    uint32_t Read(void* destination, int32_t count, int32_t* got);
    // Moves on by `count` bytes; a negative count does not move.
    void Skip(int32_t count);

private:
    const WPackages& packages_;
    std::unique_ptr<PackageReader> reader_;
};

}  // namespace dravik
