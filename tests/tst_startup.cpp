// SPDX-License-Identifier: GPL-3.0-or-later
// The programs as a user starts them: help, version and a bad option answer without a
// display; a run without one, or without any font, ends with a message instead of a
// crash; device pixel ratios out of range are brought back into it with a word; the
// tools read their options strictly and never pass a run that ran nothing.
#include <QProcess>
#include <QTest>

namespace {

struct Row {
    const char* name;
    const char* program;
    QStringList arguments;
    QStringList environment;  // NAME=value to set, -NAME to remove
    int status;
    QByteArray says;  // on standard output or error
};

const QString kOverlong(120000, QLatin1Char('9'));

}  // namespace

class TestStartup : public QObject {
    Q_OBJECT
private slots:
    void startsOrSaysWhyNot_data() {
        const QStringList noDisplay{"-DISPLAY", "-WAYLAND_DISPLAY", "-QT_QPA_PLATFORM"};
        // Offscreen, ending at the first paint.
        const QStringList painted{"QT_QPA_PLATFORM=offscreen", "LESSONS_STARTUP_PROBE=1"};
        // clang-format off
        const Row rows[] = {
            {"help without a display", DORVANE_PATH, {"--help"}, noDisplay, 0, "--fullscreen"},
            {"version without a display", SKELVIN_PATH, {"--version"}, noDisplay, 0, "GPL-3.0"},
            {"bad zoom without a display", QUILLET_PATH, {"--zoom", "49"}, noDisplay, 2, "--zoom"},
            {"unknown option without a display", DORVANE_PATH, {"--bogus"}, noDisplay, 2, "bogus"},
            {"overlong zoom quoted short", DORVANE_PATH, {"--zoom", kOverlong}, noDisplay, 2, QByteArray(80, '9') + "..."},
            {"a run without a display", DORVANE_PATH, {}, noDisplay, 1, "cannot open a display"},
            {"Qt's own option left to Qt", DORVANE_PATH, {"-platform", "offscreen"}, noDisplay + QStringList{"LESSONS_STARTUP_PROBE=1"}, 0, "first-paint-ns"},
            {"no font at all", DORVANE_PATH, {}, {"QT_QPA_PLATFORM=minimal"}, 1, "no usable font"},
            {"scale factor 60", QUILLET_PATH, {}, painted + QStringList{"QT_SCALE_FACTOR=60"}, 0, "QT_SCALE_FACTOR=60: the lessons are drawn at device pixel ratios from 1 to 8; using 8"},
            {"scale factor inf", SKELVIN_PATH, {}, painted + QStringList{"QT_SCALE_FACTOR=inf"}, 0, "using 8"},
            {"screen factor 0.5", DORVANE_PATH, {}, painted + QStringList{"QT_SCREEN_SCALE_FACTORS=0.5"}, 0, "using 1"},
            {"scale and screen factors multiplied", DORVANE_PATH, {}, painted + QStringList{"QT_SCALE_FACTOR=4", "QT_SCREEN_SCALE_FACTORS=a=3;b=1"}, 0, "QT_SCREEN_SCALE_FACTORS=a=3;b=1: the lessons are drawn at device pixel ratios from 1 to 8; using a=2;b=1"},
            {"font dpi of ratio 10", DORVANE_PATH, {}, painted + QStringList{"QT_FONT_DPI=960"}, 0, "using 768"},
            {"fuzz help", LESSON_FUZZ_PATH, {"--help"}, {}, 0, "usage: lesson-fuzz"},
            {"fuzz unknown option", LESSON_FUZZ_PATH, {"--bogus"}, {}, 2, "unknown option --bogus"},
            {"fuzz seconds without a value", LESSON_FUZZ_PATH, {"--seconds"}, {}, 2, "--seconds needs a value"},
            {"fuzz seconds abc", LESSON_FUZZ_PATH, {"--seconds", "abc"}, {}, 2, "not \"abc\""},
            {"fuzz seconds nan", LESSON_FUZZ_PATH, {"--seconds", "nan"}, {}, 2, "not \"nan\""},
            {"fuzz seconds -5", LESSON_FUZZ_PATH, {"--seconds", "-5"}, {}, 2, "not \"-5\""},
            {"fuzz overlong seconds", LESSON_FUZZ_PATH, {"--seconds", kOverlong}, {}, 2, QByteArray(80, '9') + "..."},
            {"fuzz seed too large", LESSON_FUZZ_PATH, {"--seed", "4294967296"}, {}, 2, "--seed"},
            {"fuzz unknown lesson", LESSON_FUZZ_PATH, {"nosuch"}, {}, 2, "unknown lesson nosuch"},
            {"fuzz script of two lessons", LESSON_FUZZ_PATH, {"--script", "dorvane", "skelvin"}, {}, 2, "--script takes one lesson"},
            {"fuzz script of no events", LESSON_FUZZ_PATH, {"--script", "--events", "0", "quillet"}, {}, 2, "--events takes"},
            // Every event the seed throws is a line the replay reads; its texts reach the boxes.
            {"fuzz script replayed", "/bin/bash", {"-c", "set -o pipefail; \"$0\" --script --events 600 --seed 7 quillet | \"$1\" quillet", LESSON_FUZZ_PATH, LESSON_REPLAY_PATH}, {}, 0, "数据输入有误"},
            {"soak help", LESSON_SOAK_PATH, {"--help"}, {}, 0, "usage: lesson-soak"},
            {"soak unknown option", LESSON_SOAK_PATH, {"--quick", "--bogus"}, {}, 2, "unknown option --bogus"},
        };
        // clang-format on
        QTest::addColumn<QString>("program");
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QStringList>("environment");
        QTest::addColumn<int>("status");
        QTest::addColumn<QByteArray>("says");
        for (const Row& row : rows)
            QTest::newRow(row.name) << QString::fromUtf8(row.program) << row.arguments
                                    << row.environment << row.status << row.says;
    }
    void startsOrSaysWhyNot() {
        QFETCH(QString, program);
        QFETCH(QStringList, arguments);
        QFETCH(QStringList, environment);
        QFETCH(int, status);
        QFETCH(QByteArray, says);
        QProcessEnvironment settings = QProcessEnvironment::systemEnvironment();
        for (const QString& setting : environment) {
            if (setting.startsWith(u'-'))
                settings.remove(setting.mid(1));
            else
                settings.insert(setting.section(u'=', 0, 0), setting.section(u'=', 1));
        }
        QProcess process;
        process.setProcessEnvironment(settings);
        process.start(program, arguments);
        QVERIFY(process.waitForFinished(120000));
        const QByteArray out = process.readAllStandardOutput();
        const QByteArray err = process.readAllStandardError();
        QCOMPARE(process.exitStatus(), QProcess::NormalExit);  // no crash, no abort
        QVERIFY2(process.exitCode() == status, err.constData());
        QVERIFY2((status == 0 ? out + err : err).contains(says),
                 (out + err).left(2000).constData());
        // Nothing is echoed whole: a message quotes at most 80 characters of a value.
        QVERIFY(err.size() < 2000);
        if (status != 0) QVERIFY(!out.contains("passed"));
    }
};

QTEST_GUILESS_MAIN(TestStartup)
#include "tst_startup.moc"
