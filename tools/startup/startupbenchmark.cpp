// SPDX-License-Identifier: GPL-3.0-or-later
// startup-benchmark [ROUNDS]: launches each lesson and the minimal Qt window in turn
// (needs a display, e.g. Xvfb), and prints the median time from launch to the first
// painted window and the median peak memory, beside their budgets.
#include <QCoreApplication>
#include <QProcess>
#include <QProcessEnvironment>
#include <algorithm>
#include <cstdio>
#include <ctime>
#include <map>
#include <string>
#include <vector>

namespace {

struct Program {
    const char* name;
    const char* path;
};

constexpr Program kPrograms[] = {
    {"minimal Qt window", MINIMAL_WINDOW_PATH},
    {"dorvane", DORVANE_PATH},
    {"skelvin", SKELVIN_PATH},
    {"quillet", QUILLET_PATH},
};

constexpr double kStartupBudget = 1.3;  // times the minimal window
constexpr double kMemoryBudgetMib = 45;

long long monotonicNs() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<long long>(now.tv_sec) * 1000000000LL + now.tv_nsec;
}

struct Sample {
    double milliseconds;
    double peakMib;
};

bool launch(const Program& program, Sample& sample) {
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("LESSONS_STARTUP_PROBE"), QStringLiteral("1"));
    process.setProcessEnvironment(environment);
    const long long start = monotonicNs();
    process.start(QString::fromUtf8(program.path), {});
    if (!process.waitForFinished(30000)) {
        process.kill();
        process.waitForFinished();
        return false;
    }
    long long paintedNs = 0;
    long long peakKib = 0;
    const QByteArray out = process.readAllStandardOutput();
    if (std::sscanf(out.constData(), "first-paint-ns %lld peak-kib %lld", &paintedNs, &peakKib) !=
        2)
        return false;
    sample = {double(paintedNs - start) / 1e6, double(peakKib) / 1024};
    return true;
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 15;
    std::map<std::string, std::vector<Sample>> samples;
    for (int round = 0; round < rounds; ++round) {
        for (const Program& program : kPrograms) {
            if (*program.path == '\0') continue;
            Sample sample{};
            if (!launch(program, sample)) {
                std::fprintf(stderr, "startup-benchmark: %s did not report its first paint\n",
                             program.name);
                return 1;
            }
            samples[program.name].push_back(sample);
        }
    }

    const auto medianOf = [&](const char* name, auto field) {
        std::vector<double> values;
        for (const Sample& sample : samples[name]) values.push_back(sample.*field);
        return median(values);
    };
    const double baseline = medianOf(kPrograms[0].name, &Sample::milliseconds);
    bool allMet = true;
    std::printf("Start-up to first painted window, median of %d launches each\n", rounds);
    std::printf("%-18s %10s %8s %8s %10s %8s\n", "program", "ms", "ratio", "budget", "peak MiB",
                "budget");
    for (const Program& program : kPrograms) {
        if (*program.path == '\0') continue;
        const double ms = medianOf(program.name, &Sample::milliseconds);
        const double mib = medianOf(program.name, &Sample::peakMib);
        const bool isBaseline = &program == &kPrograms[0];
        const bool met = (isBaseline || ms <= baseline * kStartupBudget) && mib <= kMemoryBudgetMib;
        allMet = allMet && met;
        std::printf("%-18s %10.1f %7.2fx %7.1fx %10.1f %8.0f %s\n", program.name, ms, ms / baseline,
                    kStartupBudget, mib, kMemoryBudgetMib, met ? "" : "MISSED");
    }
    return allMet ? 0 : 3;
}
