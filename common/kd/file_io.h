// Whole-file reading and checked writing shared by both programs.
#pragma once

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace kd {

// A failure of the file layer; the message names the path and the system's reason.
class IoError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// Paths travel through the programs as UTF-8 strings; this is the one place they become
// native paths (wide on Windows).
std::filesystem::path PathFromUtf8(std::string_view utf8);
std::string PathToUtf8(const std::filesystem::path& path);

std::vector<uint8_t> ReadWholeFile(const std::filesystem::path& path);
// The same into `out`, reusing its memory; on failure `out` holds no meaningful content.
void ReadWholeFile(const std::filesystem::path& path, std::vector<uint8_t>& out);

// A file being written: every write, the flush and the close are checked, and any failure
// throws IoError naming the path. A file not closed with Close() is closed on destruction
// without further checks (the caller is already unwinding).
class CheckedFile {
  public:
    // Creates or truncates `path`.
    explicit CheckedFile(const std::filesystem::path& path);
    CheckedFile(const std::filesystem::path& path, std::FILE* adopted);
    ~CheckedFile();
    CheckedFile(const CheckedFile&) = delete;
    CheckedFile& operator=(const CheckedFile&) = delete;

    void Write(const void* data, size_t size);
    void Write(std::span<const uint8_t> bytes) { Write(bytes.data(), bytes.size()); }
    // Flushes and closes; with `sync`, also waits until the data reached the disk.
    void Close(bool sync = false);

    const std::filesystem::path& Path() const { return path_; }

  private:
    [[noreturn]] void Fail(const char* what, int err);
    std::filesystem::path path_;
    std::FILE* file_ = nullptr;
};

// Writes one whole file in a single checked write (create or truncate).
void WriteWholeFile(const std::filesystem::path& path, std::span<const uint8_t> bytes);

// Replaces `target` only once its new content is completely on disk: `fill` writes into a
// temporary file in the same folder, which is then renamed over the target (keeping an existing
// target's permissions, following a symbolic link to the file it names). On any failure the
// temporary file is removed, the target is left byte for byte as it was, and IoError is thrown.
void ReplaceFile(const std::filesystem::path& target,
                 const std::function<void(CheckedFile&)>& fill);

}  // namespace kd
