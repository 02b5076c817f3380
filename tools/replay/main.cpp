// SPDX-License-Identifier: GPL-3.0-or-later
// lesson-replay [--png FILE] [--scale N] LESSON [SCRIPT]
// Runs a lesson headless on a virtual clock, driven by script lines from SCRIPT or
// standard input, and prints its state as JSON. Exit status: 0 done, 1 an output could
// not be written, 2 a usage, script or reading error.
#include <fcntl.h>
#include <unistd.h>

#include <QApplication>
#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "fonts.h"
#include "pngfile.h"
#include "session.h"

namespace {

constexpr size_t kLongestLine = 1 << 20;
constexpr double kSmallestScale = 1;
constexpr double kLargestScale = 8;

constexpr const char* kUsage =
    "usage: lesson-replay [--png FILE] [--scale N] LESSON [SCRIPT]\n"
    "       lesson-replay -h | --help\n"
    "LESSON is dorvane, skelvin or quillet; the script is read from SCRIPT or standard\n"
    "input. N is the device pixel ratio, a decimal from 1 to 8 such as 1.5 (default 1).\n";

struct Options {
    std::string png;
    std::string scale = "1";
    std::string lesson;
    std::optional<std::string> script;
    bool help = false;
};

int usageError(const std::string& problem) {
    std::cerr << "lesson-replay: " << problem << "\n" << kUsage;
    return 2;
}

int outputError(const std::string& problem) {
    std::cerr << "lesson-replay: " << problem << "\n";
    return 1;
}

// A plain decimal such as 2 or 1.25: no sign, blanks, exponent or hexadecimal.
std::optional<double> plainDecimal(const std::string& text) {
    const size_t point = text.find('.');
    const bool digitsOnly = text.find_first_not_of("0123456789.") == std::string::npos;
    if (text.empty() || !digitsOnly || point == 0 || point + 1 == text.size() ||
        text.find('.', point + 1) != std::string::npos)
        return std::nullopt;
    double value = 0;
    std::from_chars(text.data(), text.data() + text.size(), value, std::chars_format::fixed);
    return value;
}

// Returns an exit status when the arguments end the run before it starts.
std::optional<int> parse(int argc, char** argv, Options& options) {
    std::vector<std::string> positional;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "-h" || arg == "--help") {
            options.help = true;
        } else if (arg == "--png" || arg == "--scale") {
            if (i + 1 == argc) return usageError(arg + " needs a value");
            (arg == "--png" ? options.png : options.scale) = argv[++i];
            if (arg == "--png" && options.png.empty()) return usageError("--png needs a file name");
        } else if (arg.size() > 1 && arg.front() == '-') {
            return usageError("unknown option " + replay::excerpt(arg));
        } else {
            positional.push_back(arg);
        }
    }
    if (options.help) {
        std::cout << kUsage << std::flush;
        return std::cout ? 0 : outputError("cannot write standard output");
    }
    const std::optional<double> ratio = plainDecimal(options.scale);
    if (!ratio || *ratio < kSmallestScale || *ratio > kLargestScale)
        return usageError("--scale takes a decimal from 1 to 8, not \"" +
                          replay::excerpt(options.scale) + "\"");
    if (positional.empty()) return usageError("no lesson named");
    if (positional.size() > 2) return usageError("too many arguments");
    options.lesson = positional[0];
    if (positional.size() == 2) options.script = positional[1];
    return std::nullopt;
}

// A standard stream that was closed when the program started gets a stand-in that fails
// every use: otherwise the next file opened would take its number, and the state meant
// for standard output would be written into it.
void keepStandardStreamsApart() {
    for (int fd = 0; fd <= 2; ++fd) {
        if (fcntl(fd, F_GETFD) == -1 && errno == EBADF)
            open("/dev/null", fd == 0 ? O_WRONLY : O_RDONLY);
    }
}

enum class LineRead { Line, End, TooLong, Failed };

// One line without its newline, of at most kLongestLine bytes.
LineRead readLine(std::FILE* in, std::string& line) {
    line.clear();
    for (int c; (c = std::getc(in)) != EOF;) {
        if (c == '\n') return LineRead::Line;
        if (line.size() == kLongestLine) return LineRead::TooLong;
        line += char(c);
    }
    if (std::ferror(in)) return LineRead::Failed;
    return line.empty() ? LineRead::End : LineRead::Line;
}

bool print(const std::string& text) {
    std::cout << text << std::flush;
    return bool(std::cout);
}

}  // namespace

int main(int argc, char** argv) {
    keepStandardStreamsApart();
    Options options;
    if (const auto status = parse(argc, argv, options)) return *status;

    // Headless, and at exactly the requested device pixel ratio whatever the machine says.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("QT_SCALE_FACTOR", QByteArray::fromStdString(options.scale));
    // No screen reader listens to a headless run; do not look for one on the session bus.
    if (qEnvironmentVariableIsEmpty("QT_ACCESSIBILITY")) qputenv("QT_ACCESSIBILITY", "0");
    int qtArgc = 1;
    QApplication app(qtArgc, argv);
    forms::installFontMapping();

    const std::string scriptName = options.script.value_or("standard input");
    std::FILE* script = options.script ? std::fopen(options.script->c_str(), "rb") : stdin;
    if (!script) {
        std::cerr << "lesson-replay: cannot read " << scriptName << ": " << std::strerror(errno)
                  << "\n";
        return 2;
    }
    struct Closer {
        std::FILE* file;
        ~Closer() {
            if (file != stdin) std::fclose(file);
        }
    } closer{script};

    try {
        replay::Session session(options.lesson);
        std::string line;
        for (int number = 1;; ++number) {
            const LineRead read = readLine(script, line);
            if (read == LineRead::End) break;
            if (read == LineRead::Failed) {
                std::cerr << "lesson-replay: cannot read " << scriptName << ": "
                          << std::strerror(errno) << "\n";
                return 2;
            }
            if (read == LineRead::TooLong) {
                std::cerr << "lesson-replay: line " << number << ": longer than " << kLongestLine
                          << " bytes: " << replay::excerpt(line) << "\n";
                return 2;
            }
            if (!line.empty() && line.back() == '\r') line.pop_back();
            std::optional<std::string> error;
            try {
                error = session.run(line);
            } catch (const replay::OutputError& failure) {
                return outputError("line " + std::to_string(number) + ": " + failure.what());
            }
            if (!print(session.takeOutput())) return outputError("cannot write standard output");
            if (error) {
                std::cerr << "lesson-replay: line " << number << ": " << *error << "\n";
                return 2;
            }
        }
        if (!session.stateWasPrinted() && !print(session.takeState() + "\n"))
            return outputError("cannot write standard output");
        if (!options.png.empty()) {
            if (const auto failure =
                    forms::writePng(session.render(), QString::fromStdString(options.png)))
                return outputError("cannot write " + replay::excerpt(options.png) + ": " +
                                   *failure);
        }
    } catch (const std::invalid_argument& error) {
        std::cerr << "lesson-replay: " << error.what() << "\n";
        return 2;
    }
    return 0;
}
