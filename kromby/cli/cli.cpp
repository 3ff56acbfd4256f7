#include "kromby/cli/cli.h"

#include <cstdio>
#include <exception>
#include <optional>

#include "kromby/scheme/scheme_file.h"

namespace {

const char kUsage[] =
    "Usage:\n"
    "  kromby-cli export FILE [--scheme S.wsln]    write every frame as FILE-base + DFFF.tga\n"
    "  kromby-cli save FILE OUT [--scheme S.wsln]  write the sprite, recoloured, to OUT\n"
    "  kromby-cli info FILE                        show the header, counts and frame sizes\n"
    "  kromby-cli --help | --version\n"
    "A scheme's segments are applied in order to the sprite's palette before writing.\n";

struct UsageError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

struct Command {
    std::string verb;
    std::vector<std::string> files;
    std::optional<std::string> scheme;
};

Command Parse(const std::vector<std::string>& args) {
    Command cmd;
    for (size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--scheme") {
            if (i + 1 == args.size()) throw UsageError("--scheme needs a file");
            cmd.scheme = args[++i];
        } else if (cmd.verb.empty()) {
            cmd.verb = args[i];
        } else {
            cmd.files.push_back(args[i]);
        }
    }
    const size_t want = cmd.verb == "save" ? 2 : 1;
    if (cmd.verb != "export" && cmd.verb != "save" && cmd.verb != "info")
        throw UsageError(cmd.verb.empty() ? "no command given"
                                          : "unknown command '" + cmd.verb + "'");
    if (cmd.files.size() != want)
        throw UsageError("'" + cmd.verb + "' takes " + (want == 2 ? "FILE and OUT" : "one FILE"));
    if (cmd.verb == "info" && cmd.scheme) throw UsageError("'info' takes no scheme");
    return cmd;
}

void Info(const TWasFile& was, std::ostream& out) {
    const WasHeader& h = was.Header();
    char line[200];
    out << "File:        " << was.FileName() << "\n";
    std::snprintf(
        line, sizeof line,
        "Header size: %u (%zu extra bytes)\nDirections:  %u\nFrames:      %u per direction\n"
        "Canvas:      %u x %u, hot spot (%d, %d)\nBody:        %zu bytes\n",
        h.HeaderSize, was.ExtraHeader().size(), h.Directions, h.FramesPerDirection, h.Width,
        h.Height, h.KeyX, h.KeyY, was.Body().size());
    out << line << "frame  dir   no   width  height    keyX    keyY\n";
    const auto& frames = was.Frames();
    for (size_t i = 0; i < frames.size(); ++i) {
        const TWasImage& f = frames[i];
        std::snprintf(line, sizeof line, "%5zu  %3zX  %3zu  %6d  %6d  %6d  %6d\n", i,
                      i / h.FramesPerDirection, i % h.FramesPerDirection, f.Width, f.Height, f.KeyX,
                      f.KeyY);
        out << line;
    }
}

}  // namespace

int KrombyCli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    if (!args.empty() && (args[0] == "--help" || args[0] == "-h")) {
        out << kUsage;
        return 0;
    }
    if (!args.empty() && args[0] == "--version") {
        out << "kromby-cli " KROMBY_VERSION "\n";
        return 0;
    }
    try {
        const Command cmd = Parse(args);
        TWasFile was;
        was.LoadFromFile(cmd.files[0]);
        if (cmd.scheme) ApplyScheme(was, ReadSchemeFile(*cmd.scheme));
        if (cmd.verb == "info") {
            Info(was, out);
        } else if (cmd.verb == "save") {
            was.SaveToFile(cmd.files[1]);
        } else {
            was.ExportTGA();
            out << "Exported " << was.Frames().size() << " frames as "
                << TgaFileName(was.FileName(), was.FrameCount(), 0) << " ...\n";
        }
        return 0;
    } catch (const UsageError& e) {
        err << "kromby-cli: " << e.what() << "\n" << kUsage;
    } catch (const std::exception& e) {
        err << "kromby-cli: " << e.what() << "\n";
    }
    return 1;
}
