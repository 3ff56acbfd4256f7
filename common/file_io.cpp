#include "kd/file_io.h"

#include <cerrno>
#include <cstring>
#include <random>
#include <system_error>

#ifndef _WIN32
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace fs = std::filesystem;

namespace kd {
namespace {

std::string Quoted(const fs::path& path) {
    return "\"" + PathToUtf8(path) + "\"";
}

[[noreturn]] void Throw(const char* what, const fs::path& path, int err) {
    throw IoError(std::string(what) + " " + Quoted(path) + ": " +
                  std::generic_category().message(err));
}

std::FILE* OpenFile(const fs::path& path, const char* mode) {
#ifdef _WIN32
    std::wstring wmode(mode, mode + std::strlen(mode));
    return _wfopen(path.c_str(), wmode.c_str());
#else
    return std::fopen(path.c_str(), mode);
#endif
}

}  // namespace

fs::path PathFromUtf8(std::string_view utf8) {
    return fs::path(std::u8string(utf8.begin(), utf8.end()));
}

std::string PathToUtf8(const fs::path& path) {
    std::u8string s = path.u8string();
    return std::string(s.begin(), s.end());
}

std::vector<uint8_t> ReadWholeFile(const fs::path& path) {
    std::vector<uint8_t> data;
    ReadWholeFile(path, data);
    return data;
}

void ReadWholeFile(const fs::path& path, std::vector<uint8_t>& data) {
    std::FILE* f = OpenFile(path, "rb");
    if (!f) Throw("Cannot open", path, errno);
    // One status call on the open file; the buffer keeps its memory and is only resized, so a
    // file of the size read last time costs no clearing.
#ifdef _WIN32
    struct _stat64 st {};
    const bool known = _fstat64(_fileno(f), &st) == 0;
    const bool directory = known && (st.st_mode & _S_IFMT) == _S_IFDIR;
    const bool regular = known && (st.st_mode & _S_IFMT) == _S_IFREG;
#else
    struct stat st {};
    const bool known = fstat(fileno(f), &st) == 0;
    const bool directory = known && S_ISDIR(st.st_mode);
    const bool regular = known && S_ISREG(st.st_mode);
#endif
    if (directory) {
        std::fclose(f);
        Throw("Cannot read", path, EISDIR);
    }
    data.resize(regular ? size_t(st.st_size) : 0);
    // Read what the size promised, then whatever a growing or special file still has.
    size_t got = std::fread(data.data(), 1, data.size(), f);
    data.resize(got);
    uint8_t chunk[65536];
    while (!std::ferror(f) && !std::feof(f)) {
        size_t n = std::fread(chunk, 1, sizeof chunk, f);
        data.insert(data.end(), chunk, chunk + n);
    }
    const int err = std::ferror(f) ? (errno ? errno : EIO) : 0;
    std::fclose(f);
    if (err) Throw("Cannot read", path, err);
}

CheckedFile::CheckedFile(const fs::path& path) : path_(path) {
    file_ = OpenFile(path, "wb");
    if (!file_) Throw("Cannot create", path, errno);
}

CheckedFile::CheckedFile(const fs::path& path, std::FILE* adopted) : path_(path), file_(adopted) {}

CheckedFile::~CheckedFile() {
    if (file_) std::fclose(file_);
}

void CheckedFile::Fail(const char* what, int err) {
    if (file_) std::fclose(file_);
    file_ = nullptr;
    Throw(what, path_, err ? err : EIO);
}

void CheckedFile::Write(const void* data, size_t size) {
    if (size == 0) return;
    if (std::fwrite(data, 1, size, file_) != size) Fail("Cannot write", errno);
}

void CheckedFile::Close(bool sync) {
    if (std::fflush(file_) != 0) Fail("Cannot write", errno);
#ifndef _WIN32
    if (sync && ::fsync(fileno(file_)) != 0) Fail("Cannot write", errno);
#else
    (void)sync;
#endif
    std::FILE* f = file_;
    file_ = nullptr;
    if (std::fclose(f) != 0) Throw("Cannot close", path_, errno ? errno : EIO);
}

void WriteWholeFile(const fs::path& path, std::span<const uint8_t> bytes) {
    CheckedFile file(path);
    file.Write(bytes);
    file.Close();
}

void ReplaceFile(const fs::path& target, const std::function<void(CheckedFile&)>& fill) {
    std::error_code ec;
    fs::path dest = target;
    // Saving through a link updates the file it names instead of replacing the link.
    if (fs::is_symlink(dest, ec)) {
        fs::path resolved = fs::weakly_canonical(dest, ec);
        if (!ec) dest = resolved;
    }
    fs::path dir = dest.parent_path();
    std::string base = dest.filename().string();

    std::random_device rd;
    fs::path temp;
    std::FILE* f = nullptr;
    for (int attempt = 0; attempt < 16 && !f; ++attempt) {
        temp = dir / ("." + base + ".tmp-" + std::to_string(rd() % 1000000000u));
        f = OpenFile(temp, "wbx");  // exclusive: never clobber someone else's file
        if (!f && errno != EEXIST) Throw("Cannot create", temp, errno);
    }
    if (!f) Throw("Cannot create", temp, EEXIST);

    try {
        CheckedFile file(temp, f);
#ifndef _WIN32
        struct stat st;
        mode_t mode;
        if (::stat(dest.c_str(), &st) == 0) {
            mode = st.st_mode & 07777;
        } else {
            mode_t mask = ::umask(0);
            ::umask(mask);
            mode = 0666 & ~mask;
        }
        if (::fchmod(fileno(f), mode) != 0) Throw("Cannot set permissions of", temp, errno);
#endif
        fill(file);
        file.Close(/*sync=*/true);
        fs::rename(temp, dest, ec);
        if (ec) Throw("Cannot replace", dest, ec.value());
    } catch (...) {
        fs::remove(temp, ec);
        throw;
    }
}

}  // namespace kd
