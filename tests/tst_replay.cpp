// SPDX-License-Identifier: GPL-3.0-or-later
// The lesson-replay tool as a script author uses it: its exit status, its messages and
// the JSON it prints.
#include <fcntl.h>
#include <sys/resource.h>
#include <unistd.h>

#include <QDir>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>

namespace {

// How the child process is set up; a full disk is a file-size limit, never a device.
enum Setup { Plain, SmallFileLimit, OutputFull, LessonAtHalfScale };

}  // namespace

class TestReplay : public QObject {
    Q_OBJECT
private slots:
    void printsTheStateOnceAtTheEnd() {
        const Run run = replay({"dorvane"}, "# the plane appears at the first tick\n\nwait 20\n");
        QCOMPARE(run.status, 0);
        QCOMPARE(run.out.count('\n'), 1);
        const QJsonObject state = lastState(run.out);
        QCOMPARE(state["lesson"].toString(), QString("dorvane"));
        const QJsonObject controls = state["controls"].toObject();
        QCOMPARE(controls["Line1"].toObject()["X2"].toDouble(), 4.0);
        QCOMPARE(controls["Label10"].toObject()["Caption"].toString(), QString("5"));
        QCOMPARE(controls["Timer1"].toObject()["Enabled"].toBool(), false);
        QCOMPARE(controls["Picture1"].toObject()["ScaleHeight"].toDouble(), -11.0);
        QVERIFY(state["vars"].toObject().contains("stepCount"));
        const QJsonObject xAxis = state["drawn"].toArray()[0].toObject();
        QCOMPARE(xAxis["op"].toString(), QString("Line"));
        QCOMPARE(float(xAxis["x1"].toDouble()), -1.8f);
        QCOMPARE(xAxis["width"].toInt(), 2);
        QCOMPARE(xAxis["persistent"].toBool(), true);
        // Singles print as their shortest decimal: -1.8, not -1.79999995.
        QVERIFY(run.out.contains("\"x1\":-1.8,"));
    }
    void malformedLinesStopWithTheirNumber_data() {
        QTest::addColumn<QByteArray>("badLine");
        QTest::newRow("unknown command") << QByteArray("jump 1 2");
        QTest::newRow("not a number") << QByteArray("move 1 two");
        QTest::newRow("not a position") << QByteArray("move nan inf");
        QTest::newRow("beyond the single range") << QByteArray("down 1e39 0");
        QTest::newRow("negative wait") << QByteArray("wait -5");
        QTest::newRow("unknown control") << QByteArray("click Command9");
        QTest::newRow("state with an argument") << QByteArray("state now");
        QTest::newRow("no such key") << QByteArray("key Shift+Sideways");
        QTest::newRow("two keys at once") << QByteArray("key Tab,Tab");
    }
    void malformedLinesStopWithTheirNumber() {
        QFETCH(QByteArray, badLine);
        const Run run = replay({"dorvane"}, "wait 20\n# fine so far\n" + badLine + "\nstate\n");
        QCOMPARE(run.status, 2);
        QVERIFY2(run.err.contains("line 3"), run.err.constData());
        QVERIFY(run.out.isEmpty());
    }
    void recordsMessagesAndDrawing() {
        const Run run = replay({"dorvane"}, "wait 20\nstate\nclick Image2\nclick Image2\nstate\n");
        QCOMPARE(run.status, 0);
        const QJsonObject state = lastState(run.out);
        const QJsonArray messages = state["messages"].toArray();
        QCOMPARE(messages.size(), 2);
        QCOMPARE(messages[0].toObject()["title"].toString(), QString("提示"));
        QCOMPARE(messages[0].toObject()["icon"].toString(), QString("none"));
        QCOMPARE(messages[0].toObject()["buttons"].toArray(), QJsonArray{QString("确定")});
        QVERIFY(state["drawn"].toArray().isEmpty());
    }
    void readsTheScriptFromAFile() {
        QTemporaryDir dir;
        QFile script(dir.filePath("script.txt"));
        QVERIFY(script.open(QIODevice::WriteOnly));
        script.write("wait 20\r\nclick Command2\r\n");
        script.close();
        const Run run = replay({"dorvane", script.fileName()});
        QCOMPARE(run.status, 0);
        QVERIFY(lastState(run.out)["controls"].toObject()["Label4"].toObject()["Visible"].toBool());
    }
    // The script alone decides what is painted, never the machine's speed: keys that
    // come faster than the screen refreshes are each painted, as when every step is
    // photographed. (Read from a file, a script's keys come fastest.)
    void picturesDependOnTheScriptAlone() {
        QTemporaryDir dir;
        const QByteArray keys = "wait 20\ndown -1.95 1\nkey Shift+Left\nkey Left\nkey Shift+Left\n";
        QByteArray photographed = keys;
        photographed.replace("\nkey", "\npng " + dir.filePath("step.png").toUtf8() + "\nkey");
        QByteArray pictures[2];
        for (int run = 0; run < 2; ++run) {
            QFile script(dir.filePath("script"));
            QVERIFY(script.open(QIODevice::WriteOnly) &&
                    script.write(run ? photographed : keys) > 0);
            script.close();
            QCOMPARE(
                replay({"--png", dir.filePath("end.png"), "dorvane", script.fileName()}).status, 0);
            QFile end(dir.filePath("end.png"));
            QVERIFY(end.open(QIODevice::ReadOnly));
            pictures[run] = end.readAll();
        }
        QVERIFY(pictures[0] == pictures[1]);
    }
    // "@" stands for a scratch directory holding kept.png and sub/.
    void hostileRunsEndCleanly_data() {
        struct Row {
            const char* name;
            QStringList arguments;
            QByteArray script;
            Setup setup;
            int status;
            QByteArray says;
        };
        const QByteArray mebibyte(1 << 20, 'x'), endless("wait 9223372036854775807\n");
        const QStringList dorvane{"dorvane"}, skelvin{"skelvin"};
        const Row rows[] = {
            {"a wait of 2^63-1 ms", skelvin, endless, Plain, 2, "line 1: a wait longer"},
            {"waits overflowing a sum", skelvin, "wait 10\n" + endless, Plain, 2, "line 2: a wait"},
            {"a day's wait runs", skelvin, "wait 86400000\n", Plain, 0, "skelvin"},
            {"no newline, endless", {"dorvane", "/dev/zero"}, {}, Plain, 2, "line 1: longer than"},
            {"a line of 1 MiB and a byte", dorvane, "wait 20\n#" + mebibyte, Plain, 2,
             "line 2: longer than 1048576 bytes: #xxx"},
            {"a line of 1 MiB", dorvane, "#" + mebibyte.chopped(1) + "\n", Plain, 0, "dorvane"},
            {"a long command quoted", dorvane, QByteArray(5000, 'z'), Plain, 2, "command zzz"},
            {"--png, disk full",
             {"--png", "@/kept.png", "dorvane"},
             {},
             SmallFileLimit,
             1,
             "@/kept"},
            {"png line, disk full", dorvane, "wait 20\npng @/new.png", SmallFileLimit, 1,
             "line 2: cannot write @/new.png"},
            {"--png onto a directory", {"--png", "@/sub", "dorvane"}, {}, Plain, 1, "directory"},
            {"--png to a pipe, in place", {"--png", "/dev/stdout", "dorvane"}, {}, Plain, 0, "PNG"},
            {"standard output full", dorvane, {}, OutputFull, 1, "cannot write standard output"},
            {"script a directory", {"dorvane", "@/sub"}, {}, Plain, 2, "cannot read @/sub"},
            {"script unreadable", {"dorvane", "/proc/self/mem"}, {}, Plain, 2, "cannot read /proc"},
            {"--scale in hexadecimal",
             {"--scale", "0x2", "dorvane"},
             {},
             Plain,
             2,
             "--scale takes"},
            {"--scale below 1", {"--scale", "0.75", "dorvane"}, {}, Plain, 2, "from 1 to 8"},
            {"--png without a name", {"--png", "", "dorvane"}, {}, Plain, 2, "--png needs"},
            {"--help", {"dorvane", "--help"}, {}, Plain, 0, "usage: lesson-replay"},
            {"unknown option", {"-x", "dorvane"}, {}, Plain, 2, "unknown option -x"},
            {"unknown lesson", {"nosuchlesson"}, {}, Plain, 2, "unknown lesson"},
            {"no lesson", {}, {}, Plain, 2, {}},
            {"script missing", {"dorvane", "@/missing.txt"}, {}, Plain, 2, "@/missing.txt"},
            {"a lesson at scale 0.5",
             {},
             {},
             LessonAtHalfScale,
             0,
             "QT_SCALE_FACTOR=0.5: the lessons are drawn"},
        };
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QByteArray>("script");
        QTest::addColumn<int>("setup");
        QTest::addColumn<int>("status");
        QTest::addColumn<QByteArray>("says");
        for (const Row& row : rows)
            QTest::newRow(row.name)
                << row.arguments << row.script << int(row.setup) << row.status << row.says;
    }
    void hostileRunsEndCleanly() {
        QFETCH(QStringList, arguments);
        QFETCH(QByteArray, script);
        QFETCH(int, setup);
        QFETCH(QByteArray, says);
        QTemporaryDir dir;
        QFile kept(dir.filePath("kept.png"));
        QVERIFY(kept.open(QIODevice::WriteOnly) && kept.write("kept") == 4);
        kept.close();
        QVERIFY(QDir(dir.path()).mkdir("sub"));
        arguments.replaceInStrings("@", dir.path());
        script.replace('@', dir.path().toUtf8());
        says.replace('@', dir.path().toUtf8());

        const Run run = replay(arguments, script, Setup(setup));
        QTEST(run.status, "status");
        QVERIFY2((run.out + run.err).contains(says), run.err.left(300).constData());
        // Messages quote at most 80 characters of a line; a failed output leaves no file
        // behind and the one that was there as it was.
        QVERIFY(run.err.size() < 400);
        QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
                 (QStringList{"kept.png", "sub"}));
        QVERIFY(kept.open(QIODevice::ReadOnly));
        QCOMPARE(kept.readAll(), QByteArray("kept"));
    }
    // Each key is followed by a state line; the field of the start-up state comes first.
    void keysMoveFocusAndZoom_data() {
        QTest::addColumn<QString>("lesson");
        QTest::addColumn<QString>("field");
        QTest::addColumn<QStringList>("keys");
        QTest::addColumn<QStringList>("values");
        QTest::newRow("dorvane: canvas, buttons, emblem, and round")
            << "dorvane"
            << "focus" << QStringList{"Tab", "Tab", "Tab", "Tab", "Shift+Tab"}
            << QStringList{"Picture1", "Command1", "Command2", "Image2", "Picture1", "Image2"};
        QTest::newRow("skelvin: the hidden button is passed over")
            << "skelvin"
            << "focus" << QStringList{"Tab", "Tab", "Shift+Tab"}
            << QStringList{"Picture1", "Image2", "Picture1", "Image2"};
        // Full screen fits dorvane's 524 px width into the offscreen screen's 800.
        QTest::newRow("zoom steps, full screen and back; a fresh start keeps the zoom")
            << "dorvane"
            << "zoom" << QStringList{"Ctrl++", "Ctrl+=", "Ctrl+-", "Ctrl+0", "Ctrl++",
                                     "F11",    "Escape", "F11",    "F11",    "Ctrl+R"}
            << QStringList{"100",     "125", "150",     "125", "100", "125",
                           "152.672", "125", "152.672", "125", "125"};
    }
    void keysMoveFocusAndZoom() {
        QFETCH(QString, lesson);
        QFETCH(QString, field);
        QFETCH(QStringList, keys);
        QByteArray script = "wait 20\nstate\n";
        for (const QString& key : keys) script += "key " + key.toUtf8() + "\nstate\n";
        const Run run = replay({lesson}, script);
        QCOMPARE(run.status, 0);
        QStringList seen;
        for (const QByteArray& line : run.out.trimmed().split('\n')) {
            const QJsonValue value = QJsonDocument::fromJson(line).object()[field];
            seen << (value.isDouble() ? QString::number(value.toDouble()) : value.toString());
        }
        QTEST(seen, "values");
    }
    // A key on a control ends in the same state as the mouse's way to the same effect.
    void keysDoWhatTheMouseDoes_data() {
        QTest::addColumn<QString>("lesson");
        QTest::addColumn<QByteArray>("keys");
        QTest::addColumn<QByteArray>("mouse");
        QTest::newRow("Space on the canvas at start-up reveals no formula")
            << "dorvane" << QByteArray("key Space\nkey Return") << QByteArray();
        QTest::newRow("Space on the demonstration button")
            << "dorvane" << QByteArray("key Tab\nkey Space\nwait 2000")
            << QByteArray("click Command1\nwait 2000");
        QTest::newRow("Enter on the emblem opens the hint")
            << "dorvane" << QByteArray("key Shift+Tab\nkey Return") << QByteArray("click Image2");
        QTest::newRow("Enter on the demonstration button")
            << "dorvane" << QByteArray("key Tab\nkey Return\nwait 2000")
            << QByteArray("click Command1\nwait 2000");
        QTest::newRow("keypad Enter on the sliver shows the formula")
            << "dorvane" << QByteArray("key Tab\nkey Tab\nkey Num+Enter")
            << QByteArray("click Command2");
        QTest::newRow("skelvin: keypad Enter on the emblem opens the hint")
            << "skelvin" << QByteArray("key Tab\nkey Num+Enter") << QByteArray("click Image2");
        QTest::newRow("Shift+Right drags A a whole unit")
            << "dorvane" << QByteArray("key Shift+Right")
            << QByteArray("down 1 1\nmove 2 1 1\nup 2 1");
        QTest::newRow("Space selects B, Up steps it a tenth")
            << "dorvane" << QByteArray("key Space\nkey Up")
            << QByteArray("down 4 5\nmove 4 5.1 1\nup 4 5.1");
        QTest::newRow("a step during the demonstration")
            << "dorvane" << QByteArray("click Command1\nwait 500\nkey Shift+Down\nwait 2000")
            << QByteArray("click Command1\nwait 500\ndown 1 1\nmove 1 0 1\nup 1 0\nwait 2000");
        QTest::newRow("no step over the canvas's left edge")
            << "dorvane" << QByteArray("down -1.95 1\nkey Shift+Left\nkey Left\nkey Shift+Left")
            << QByteArray("down -1.95 1\ndown -1.95 1\nmove -2 1 1\nup -2 1");
        QTest::newRow("skelvin: Space twice, and a step lands on the tenth")
            << "skelvin" << QByteArray("down 1.234 1\nkey Space\nkey Space\nkey Left")
            << QByteArray("down 1.234 1\ndown 1.234 1\nmove 1.2 1 1\nup 1.2 1");
        QTest::newRow("quillet: the pointer starts on the initial line")
            << "quillet" << QByteArray("key Right\nkey Shift+Up\nkey Up")
            << QByteArray("move 4.5 2\nmove 4.5 2.1\nmove 4.5 2.5");
        QTest::newRow("Ctrl+R starts skelvin afresh, its construction too")
            << "skelvin"
            << QByteArray("down 4 5\nmove 7 0.5 1\nup 7 0.5\nstate\nkey Ctrl+R\nwait 3000\nstate")
            << QByteArray("wait 3000");
        QTest::newRow("quillet: the pointer goes on from the mouse")
            << "quillet" << QByteArray("move 3 1\nkey Left\nkey Shift+Down")
            << QByteArray("move 3 1\nmove 2.5 1\nmove 2.5 0.9");
    }
    void keysDoWhatTheMouseDoes() {
        QFETCH(QString, lesson);
        QFETCH(QByteArray, keys);
        QFETCH(QByteArray, mouse);
        const auto settled = [&](const QByteArray& script) {
            const Run run = replay({lesson}, "wait 20\n" + script + "\n");
            QJsonObject state = lastState(run.out);
            state.remove("focus");
            return state;
        };
        QCOMPARE(settled(keys), settled(mouse));
    }

private:
    struct Run {
        int status;
        QByteArray out;
        QByteArray err;
    };
    Run replay(const QStringList& arguments, const QByteArray& script = {}, Setup setup = Plain) {
        QProcess process;
        process.setChildProcessModifier([setup] {
            if (setup == SmallFileLimit) {
                const rlimit limit{2048, 2048};
                setrlimit(RLIMIT_FSIZE, &limit);
                std::signal(SIGXFSZ, SIG_IGN);
            } else if (setup == OutputFull) {
                dup2(open("/dev/full", O_WRONLY), STDOUT_FILENO);
            }
        });
        if (setup == LessonAtHalfScale) {
            QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
            environment.insert("QT_SCALE_FACTOR", "0.5");
            environment.insert("LESSONS_STARTUP_PROBE", "1");
            process.setProcessEnvironment(environment);
        }
        process.start(setup == LessonAtHalfScale ? QStringLiteral(DORVANE_PATH)
                                                 : QStringLiteral(LESSON_REPLAY_PATH),
                      arguments);
        process.write(script);
        process.closeWriteChannel();
        process.waitForFinished(60000);
        return {process.exitCode(), process.readAllStandardOutput(),
                process.readAllStandardError()};
    }
    QJsonObject lastState(const QByteArray& out) {
        const QList<QByteArray> lines = out.trimmed().split('\n');
        return QJsonDocument::fromJson(lines.last()).object();
    }
};

QTEST_GUILESS_MAIN(TestReplay)
#include "tst_replay.moc"
