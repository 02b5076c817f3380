// The lesson-replay tool as a script author uses it: its exit status, its messages and
// the JSON it prints.
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

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
    }
    void malformedLinesStopWithTheirNumber() {
        QFETCH(QByteArray, badLine);
        const Run run = replay({"dorvane"}, "wait 20\n# fine so far\n" + badLine + "\nstate\n");
        QCOMPARE(run.status, 2);
        QVERIFY2(run.err.contains("line 3"), run.err.constData());
        QVERIFY(run.out.isEmpty());
    }
    void unknownLessonIsRefused() {
        const Run run = replay({"nosuchlesson"}, "");
        QCOMPARE(run.status, 2);
        QVERIFY(run.err.contains("unknown lesson"));
        QCOMPARE(replay({}).status, 2);
    }
    void recordsMessagesAndDrawing() {
        const Run run = replay({"dorvane"}, "wait 20\nstate\nclick Image2\nclick Image2\nstate\n");
        QCOMPARE(run.status, 0);
        const QJsonObject state = lastState(run.out);
        const QJsonArray messages = state["messages"].toArray();
        QCOMPARE(messages.size(), 2);
        QCOMPARE(messages[0].toObject()["title"].toString(), QString("提示"));
        QCOMPARE(messages[0].toObject()["icon"].toString(), QString("none"));
        QVERIFY(state["drawn"].toArray().isEmpty());

        const QJsonArray drawn = lastState(replay({"dorvane"}, "wait 20\n").out)["drawn"].toArray();
        const QJsonObject xAxis = drawn[0].toObject();
        QCOMPARE(xAxis["op"].toString(), QString("Line"));
        QCOMPARE(float(xAxis["x1"].toDouble()), -1.8f);
        QCOMPARE(xAxis["width"].toInt(), 2);
        QCOMPARE(xAxis["persistent"].toBool(), true);
        // Singles print as their shortest decimal: -1.8, not -1.79999995.
        QVERIFY(run.out.contains("\"x1\":-1.8,"));
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
        QCOMPARE(replay({"dorvane", dir.filePath("missing.txt")}).status, 2);
    }

private:
    struct Run {
        int status;
        QByteArray out;
        QByteArray err;
    };
    Run replay(const QStringList& arguments, const QByteArray& script = {}) {
        QProcess process;
        process.start(QStringLiteral(LESSON_REPLAY_PATH), arguments);
        process.write(script);
        process.closeWriteChannel();
        process.waitForFinished(60000);
        return {process.exitCode(), process.readAllStandardOutput(), process.readAllStandardError()};
    }
    QJsonObject lastState(const QByteArray& out) {
        const QList<QByteArray> lines = out.trimmed().split('\n');
        return QJsonDocument::fromJson(lines.last()).object();
    }
};

QTEST_GUILESS_MAIN(TestReplay)
#include "tst_replay.moc"
