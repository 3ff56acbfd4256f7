#include "dravik/core/wfile.h"

#include <zip.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <unordered_map>

#include "kd/file_io.h"

namespace fs = std::filesystem;

namespace dravik {
namespace {

char Lower(char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; }

std::vector<std::string> Components(std::string_view name) {
    std::vector<std::string> parts;
    std::string part;
    auto flush = [&] {
        if (!part.empty() && part != ".") parts.push_back(part);
        part.clear();
    };
    for (char c : name) {
        if (c == '/' || c == '\\') flush();
        else part += c;
    }
    flush();
    return parts;
}

class MemoryReader : public PackageReader {
public:
    explicit MemoryReader(const std::vector<uint8_t>& bytes) : bytes_(bytes) {}
    size_t Read(void* destination, size_t size) override {
        const size_t n = std::min(size, bytes_.size() - pos_);
        if (n) std::memcpy(destination, bytes_.data() + pos_, n);
        pos_ += n;
        return n;
    }

private:
    const std::vector<uint8_t>& bytes_;
    size_t pos_ = 0;
};

class MemoryPackage : public Package {
public:
    explicit MemoryPackage(const std::map<std::string, std::vector<uint8_t>>& files) {
        for (const auto& [name, bytes] : files) {
            const std::string key = NormalisePackageName(name);
            if (!key.empty()) files_.emplace(key, bytes);
        }
    }
    std::unique_ptr<PackageReader> Find(const std::string& name) const override {
        auto it = files_.find(name);
        if (it == files_.end()) return nullptr;
        return std::make_unique<MemoryReader>(it->second);
    }

private:
    std::map<std::string, std::vector<uint8_t>> files_;
};

class StdioReader : public PackageReader {
public:
    explicit StdioReader(std::FILE* file) : file_(file) {}
    ~StdioReader() override { std::fclose(file_); }
    size_t Read(void* destination, size_t size) override {
        return std::fread(destination, 1, size, file_);
    }

private:
    std::FILE* file_;
};

// A directory whose files are the package's files. Each lookup walks the name's components
// on disk, so files added after opening are found too.
class DirectoryPackage : public Package {
public:
    explicit DirectoryPackage(fs::path root) : root_(std::move(root)) {}
    std::unique_ptr<PackageReader> Find(const std::string& name) const override {
        const std::vector<std::string> parts = Components(name);
        const fs::path found = Resolve(root_, parts, 0);
        if (found.empty()) return nullptr;
#ifdef _WIN32
        std::FILE* f = _wfopen(found.c_str(), L"rb");
#else
        std::FILE* f = std::fopen(found.c_str(), "rb");
#endif
        if (!f) return nullptr;
        return std::make_unique<StdioReader>(f);
    }

private:
    // Folders that differ only in case ("mypal" and "Mypal") are all searched, the exact
    // spelling first.
    static fs::path Resolve(const fs::path& at, const std::vector<std::string>& parts, size_t i) {
        std::error_code ec;
        if (i == parts.size()) return fs::is_regular_file(at, ec) ? at : fs::path();
        const fs::path exact = at / kd::PathFromUtf8(parts[i]);
        if (fs::exists(exact, ec)) {
            fs::path found = Resolve(exact, parts, i + 1);
            if (!found.empty()) return found;
        }
        for (fs::directory_iterator it(at, ec), end; !ec && it != end; it.increment(ec)) {
            const std::string entry = kd::PathToUtf8(it->path().filename());
            if (entry != parts[i] && NormalisePackageName(entry) == parts[i]) {
                fs::path found = Resolve(it->path(), parts, i + 1);
                if (!found.empty()) return found;
            }
        }
        return {};
    }

    fs::path root_;
};

struct ZipCloser {
    void operator()(zip_t* z) const { zip_discard(z); }
};

class ZipReader : public PackageReader {
public:
    ZipReader(std::shared_ptr<zip_t> archive, zip_file_t* file)
        : archive_(std::move(archive)), file_(file) {}
    ~ZipReader() override { zip_fclose(file_); }
    size_t Read(void* destination, size_t size) override {
        size_t total = 0;
        auto* out = static_cast<uint8_t*>(destination);
        while (total < size && !failed_) {
            const zip_int64_t n = zip_fread(file_, out + total, size - total);
            if (n <= 0) {
                failed_ = true;  // end of entry, or a damaged one: no more bytes either way
                break;
            }
            total += size_t(n);
        }
        return total;
    }

private:
    std::shared_ptr<zip_t> archive_;  // keeps the archive alive while one of its files is read
    zip_file_t* file_;
    bool failed_ = false;
};

class ZipPackage : public Package {
public:
    explicit ZipPackage(zip_t* archive) : archive_(archive, ZipCloser()) {
        const zip_int64_t count = zip_get_num_entries(archive, 0);
        for (zip_int64_t i = 0; i < count; ++i) {
            const char* raw = zip_get_name(archive, zip_uint64_t(i), ZIP_FL_ENC_GUESS);
            if (!raw) continue;
            const std::string_view name(raw);
            if (name.empty() || name.back() == '/' || name.back() == '\\') continue;  // folders
            const std::string key = NormalisePackageName(name);
            // Two entries equal but for case: the first one in the archive wins.
            if (!key.empty()) index_.emplace(key, zip_uint64_t(i));
        }
    }
    std::unique_ptr<PackageReader> Find(const std::string& name) const override {
        auto it = index_.find(name);
        if (it == index_.end()) return nullptr;
        zip_file_t* file = zip_fopen_index(archive_.get(), it->second, 0);
        if (!file) return nullptr;
        return std::make_unique<ZipReader>(archive_, file);
    }

private:
    std::shared_ptr<zip_t> archive_;
    std::unordered_map<std::string, zip_uint64_t> index_;
};

}  // namespace

std::string NormalisePackageName(std::string_view name) {
    std::string out;
    for (std::string& part : Components(name)) {
        if (part == "..") return {};
        if (!out.empty()) out += '/';
        for (char c : part) out += Lower(c);
    }
    return out;
}

std::unique_ptr<Package> MakeMemoryPackage(const std::map<std::string, std::vector<uint8_t>>& files) {
    return std::make_unique<MemoryPackage>(files);
}

uint32_t WPackages::OpenDataFile(std::string_view name, const fs::path& baseDir) {
    if (name.empty()) return 1;
    fs::path path = kd::PathFromUtf8(name);
    if (path.is_relative()) path = baseDir / path;
    std::error_code ec;
    fs::path canonical = fs::weakly_canonical(path, ec);
    if (ec) canonical = path.lexically_normal();
    const std::string identity = kd::PathToUtf8(canonical);
    for (const auto& open : open_)
        if (open.first == identity) return 0;

    if (fs::is_directory(canonical, ec)) {
        open_.emplace_back(identity, std::make_unique<DirectoryPackage>(canonical));
        return 0;
    }
    if (!fs::is_regular_file(canonical, ec)) return 2;
    int error = 0;
    zip_t* archive = zip_open(kd::PathToUtf8(canonical).c_str(), ZIP_RDONLY, &error);
    if (!archive) return 3;
    open_.emplace_back(identity, std::make_unique<ZipPackage>(archive));
    return 0;
}

uint32_t WPackages::CloseAllDataFile() {
    open_.clear();
    return 0;
}

void WPackages::Add(const std::string& identity, std::unique_ptr<Package> package) {
    for (const auto& open : open_)
        if (open.first == identity) return;
    open_.emplace_back(identity, std::move(package));
}

std::unique_ptr<PackageReader> WPackages::Find(std::string_view name) const {
    const std::string key = NormalisePackageName(name);
    if (key.empty()) return nullptr;
    for (auto it = open_.rbegin(); it != open_.rend(); ++it)
        if (auto reader = it->second->Find(key)) return reader;
    return nullptr;
}

uint32_t WFile::Open(std::string_view name) {
    reader_ = packages_.Find(name);
    return reader_ ? 0 : 1;
}

uint32_t WFile::Read(void* destination, int32_t count, int32_t* got) {
    size_t n = 0;
    if (reader_ && count > 0) n = reader_->Read(destination, size_t(count));
    if (got) *got = int32_t(n);
    return count <= 0 || n == size_t(count) ? 0 : 1;
}

void WFile::Skip(int32_t count) {
    uint8_t scratch[4096];
    while (reader_ && count > 0) {
        const size_t want = std::min(size_t(count), sizeof scratch);
        const size_t n = reader_->Read(scratch, want);
        if (n == 0) break;
        count -= int32_t(n);
    }
}

}  // namespace dravik
