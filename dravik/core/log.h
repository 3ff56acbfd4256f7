// The extractor's log: every step of a run leaves one line, "[LOG] ..." or "[ERROR] ...".
#pragma once

#include <cstdio>
#include <filesystem>
#include <string>
#include <string_view>

namespace dravik {

// printf into a std::string; for messages that carry paths of any length.
std::string Format(const char* format, ...)
#if defined(__GNUC__)
    __attribute__((format(printf, 1, 2)))
#endif
    ;

class Log {
public:
    Log() = default;
    ~Log();
    Log(const Log&) = delete;
    Log& operator=(const Log&) = delete;

    // Re-creates the file at `path`. On failure the log stays closed and lines are dropped.
    bool Open(const std::filesystem::path& path);
    // Writes to a stream the log does not own (standard output for the command-line tool).
    void Attach(std::FILE* stream);
    void Close();
    void Flush();
    bool IsOpen() const { return file_ != nullptr; }

    void LogInfo(std::string_view message);
    void LogError(std::string_view message);

    // Error lines asked for since the log was made, whether or not a file took them; a run
    // that logged errors must not look like a clean one.
    int ErrorCount() const { return errors_; }

private:
    void Write(std::string_view tag, std::string_view message);

    std::FILE* file_ = nullptr;
    bool owned_ = false;
    int errors_ = 0;
};

}  // namespace dravik
