#include "dravik/core/log.h"

#include <cstdarg>

#include "kd/file_io.h"

namespace dravik {

std::string Format(const char* format, ...) {
    char small[256];
    va_list args;
    va_start(args, format);
    const int n = std::vsnprintf(small, sizeof small, format, args);
    va_end(args);
    if (n < 0) return {};
    if (size_t(n) < sizeof small) return std::string(small, size_t(n));
    std::string text(size_t(n), '\0');
    va_start(args, format);
    std::vsnprintf(text.data(), text.size() + 1, format, args);
    va_end(args);
    return text;
}

Log::~Log() { Close(); }

bool Log::Open(const std::filesystem::path& path) {
    Close();
#ifdef _WIN32
    file_ = _wfopen(path.c_str(), L"wb");
#else
    file_ = std::fopen(path.c_str(), "wb");
#endif
    owned_ = file_ != nullptr;
    return owned_;
}

void Log::Attach(std::FILE* stream) {
    Close();
    file_ = stream;
    owned_ = false;
}

void Log::Close() {
    if (file_ && owned_) std::fclose(file_);
    else if (file_) std::fflush(file_);
    file_ = nullptr;
    owned_ = false;
}

void Log::Flush() {
    if (file_) std::fflush(file_);
}

void Log::LogInfo(std::string_view message) { Write("[LOG] ", message); }

void Log::LogError(std::string_view message) {
    ++errors_;
    Write("[ERROR] ", message);
}

void Log::Write(std::string_view tag, std::string_view message) {
    if (!file_) return;
    // The file is opened in binary mode so that the line end is CR LF on every platform, as
    // the text-mode stream of the original platform wrote it.
    std::fwrite(tag.data(), 1, tag.size(), file_);
    std::fwrite(message.data(), 1, message.size(), file_);
    std::fwrite("\r\n", 1, 2, file_);
}

}  // namespace dravik
