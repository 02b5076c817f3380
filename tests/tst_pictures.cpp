// SPDX-License-Identifier: GPL-3.0-or-later
// The keyboard's marks on the canvas and in pictures of the window: they show for the
// keys that act on the canvas only, leave nothing behind at any zoom, and are never part
// of a copied or saved picture. Saving loses no picture and replaces none unasked.
#include <sys/resource.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <algorithm>
#include <csignal>

#include "lessontest.h"

using lessontest::run;
using replay::Session;

namespace {

// Pixels in the focus frame's and the key mark's colour, in the full repaint the screen
// must equal, marks and all.
int markPixels(Session& session) {
    const QRgb ink =
        lessontest::canvas(session).widget().palette().color(QPalette::Highlight).rgb();
    const QImage shown =
        session.form().window().grab().toImage().convertToFormat(QImage::Format_RGB32);
    int count = 0;
    for (int y = 0; y < shown.height(); ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(shown.constScanLine(y));
        count += int(std::count(row, row + shown.width(), ink));
    }
    return count;
}

bool writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

bool sameFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) && file.readAll() == bytes;
}

QStringList entries(const QString& folder) {
    return QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
}

// A file-size limit for this process while it lives, as a nearly full disk: writes past it
// fail with EFBIG instead of killing the process.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) : oldHandler_(std::signal(SIGXFSZ, SIG_IGN)) {
        getrlimit(RLIMIT_FSIZE, &old_);
        const rlimit limit{bytes, old_.rlim_max};
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &old_);
        std::signal(SIGXFSZ, oldHandler_);
    }

private:
    rlimit old_{};
    void (*oldHandler_)(int);
};

// An environment variable set, or unset when empty, for the guard's life.
class Setting {
public:
    Setting(const char* name, const QByteArray& value)
        : name_(name), wasSet_(qEnvironmentVariableIsSet(name)), old_(qgetenv(name)) {
        value.isEmpty() ? qunsetenv(name) : qputenv(name, value);
    }
    ~Setting() { wasSet_ ? qputenv(name_, old_) : qunsetenv(name_); }

private:
    const char* name_;
    bool wasSet_;
    QByteArray old_;
};

}  // namespace

class TestPictures : public QObject {
    Q_OBJECT
private slots:
    void marksOnlyForCanvasKeys_data() {
        lessontest::columns<QString, QString, bool>({"lesson", "keys", "marked"});
        // clang-format off
        QTest::newRow("copy") << "dorvane" << "Ctrl+C" << false;
        QTest::newRow("save, cancelled") << "dorvane" << "Ctrl+S" << false;
        QTest::newRow("help, zoom, full screen and back") << "skelvin" << "F1 Ctrl++ F11 Escape Ctrl+-" << false;
        QTest::newRow("Return, taken by no lesson") << "dorvane" << "Return" << false;
        QTest::newRow("an arrow") << "dorvane" << "Right" << true;
        QTest::newRow("Space") << "skelvin" << "Space" << true;
        QTest::newRow("Shift and an arrow, the cross") << "quillet" << "Shift+Up" << true;
        QTest::newRow("an arrow, then a copy") << "quillet" << "Left Ctrl+C" << true;
        // clang-format on
    }
    void marksOnlyForCanvasKeys() {
        QFETCH(QString, lesson);
        QFETCH(QString, keys);
        QFETCH(bool, marked);
        Session session(lesson.toStdString());
        run(session, "wait 3000");
        QCOMPARE(markPixels(session), 0);
        for (const QString& key : keys.split(' ')) run(session, ("key " + key).toStdString());
        QCOMPARE(markPixels(session) > 0, marked);
        QVERIFY(lessontest::screenMatchesFullRepaint(session));
    }

    // A figure moved by keys, ring and frame showing, copied and saved: the same picture
    // as the figure moved by the mouse, which shows no marks.
    void picturesLeaveTheMarksOut() {
        Session keys("dorvane");
        Session mouse("dorvane");
        run(keys, "wait 20\nkey Shift+Right\nkey Shift+Right\nkey Space\nkey Shift+Down");
        run(mouse,
            "wait 20\ndown 1 1\nmove 2 1 1\nup 2 1\ndown 2 1\nmove 3 1 1\nup 3 1\n"
            "down 4 5\nmove 4 4 1\nup 4 4");
        QVERIFY(markPixels(keys) > 0);
        const QImage plain = mouse.render();
        run(keys, "key Ctrl+C");
        QCOMPARE(keys.desktop().copied, plain);
        QTemporaryDir folder;
        keys.desktop().nextSaveName = folder.filePath("keys.png");
        run(keys, "key Ctrl+S");
        QCOMPARE(QImage(folder.filePath("keys.png")).convertToFormat(QImage::Format_RGB32),
                 plain.convertToFormat(QImage::Format_RGB32));
        // Taking the picture leaves the marks on the screen.
        QVERIFY(markPixels(keys) > 0);
        QVERIFY(lessontest::screenMatchesFullRepaint(keys));
    }

    // Key steps move the mark, Space moves it to the other point, a press hides it: after
    // each the screen equals a full repaint, at zooms where the ring's outer pixels once
    // stayed behind.
    void marksLeaveNothingBehind_data() {
        lessontest::columns<QString, double>({"lesson", "zoom"});
        for (const char* lesson : {"dorvane", "skelvin", "quillet"})
            for (const double zoom : {100.0, 219.0, 400.0})
                QTest::addRow("%s at %g %%", lesson, zoom) << lesson << zoom;
    }
    void marksLeaveNothingBehind() {
        QFETCH(QString, lesson);
        QFETCH(double, zoom);
        Session session(lesson.toStdString());
        session.window().setZoomPercent(zoom);
        QCOMPARE(session.window().zoomPercent(), zoom);
        run(session, "wait 3000");
        for (const char* key : {"Right", "Shift+Up", "Space", "Shift+Left", "Down", "Space"}) {
            run(session, std::string("key ") + key);
            QVERIFY2(lessontest::screenMatchesFullRepaint(session), key);
        }
        QVERIFY(markPixels(session) > 0);
        QWidget& canvas = lessontest::canvas(session).widget();
        QTest::mousePress(&canvas, Qt::LeftButton, {}, canvas.rect().center());
        QTest::mouseRelease(&canvas, Qt::LeftButton, {}, canvas.rect().center());
        QCOMPARE(markPixels(session), 0);
        QVERIFY(lessontest::screenMatchesFullRepaint(session));
    }

    // A nearly full disk: the write fails, the teacher is told, and the folder holds what
    // it held before, an older picture of that name unchanged.
    void fullDiskLosesNothing_data() {
        QTest::addColumn<bool>("older");
        QTest::newRow("a new file") << false;
        QTest::newRow("over an older picture") << true;
    }
    void fullDiskLosesNothing() {
        QFETCH(bool, older);
        Session session("dorvane");
        run(session, "wait 20");
        QTemporaryDir folder;
        const QString target = folder.filePath("图.png");
        const QByteArray before(100, 'x');
        QVERIFY(!older || writeFile(target, before));
        session.messageBoxes().answer = true;
        session.desktop().nextSaveName = target;
        {
            // Past the older file, well short of the picture.
            const FileSizeLimit limit(4096);
            run(session, "key Ctrl+S");
        }
        QCOMPARE(session.messages().size(), size_t(older ? 2 : 1));
        QCOMPARE(session.messages().back().title, std::string("保存图片"));
        QVERIFY(session.messages().back().text.starts_with("无法保存图片"));
        QCOMPARE(entries(folder.path()), older ? QStringList{"图.png"} : QStringList{});
        if (older) QVERIFY(sameFile(target, before));
    }

    // The question is asked about the name the file gets, typed with ".png" or without.
    void replacingIsAsked_data() {
        lessontest::columns<QString, bool, bool>({"typed", "exists", "replace"});
        QTest::newRow("typed without .png, replaced") << "图" << true << true;
        QTest::newRow("typed without .png, kept") << "图" << true << false;
        QTest::newRow("typed with .png, kept") << "图.png" << true << false;
        QTest::newRow("a new name: nothing asked") << "图" << false << false;
    }
    void replacingIsAsked() {
        QFETCH(QString, typed);
        QFETCH(bool, exists);
        QFETCH(bool, replace);
        Session session("quillet");
        QTemporaryDir folder;
        const QString target = folder.filePath("图.png");
        const QByteArray before(100, 'x');
        QVERIFY(!exists || writeFile(target, before));
        session.messageBoxes().answer = replace;
        session.desktop().nextSaveName = folder.filePath(typed);
        run(session, "key Ctrl+S");
        QCOMPARE(entries(folder.path()), QStringList{"图.png"});
        QCOMPARE(sameFile(target, before), exists && !replace);
        if (!exists) {
            QVERIFY(session.messages().empty());
            return;
        }
        QCOMPARE(session.messages().size(), size_t(1));
        const forms::Message& question = session.messages()[0];
        QVERIFY(question.text.find("“图.png”") != std::string::npos);
        QVERIFY(std::ranges::count(question.buttons, "替换") == 1);
        QVERIFY(std::ranges::count(question.buttons, "取消") == 1);
        // Declined, the dialog comes back at that name; cancelled there, nothing happens.
        const std::vector<QString> expected =
            replace ? std::vector<QString>{session.desktop().proposals[0]}
                    : std::vector<QString>{session.desktop().proposals[0], target};
        QCOMPARE(session.desktop().proposals, expected);
    }

    // The dialog opens in a folder that is there: the last one chosen, else the pictures
    // folder, else home, never a "Pictures" taken for a file name.
    void dialogStartsInAFolderThatIsThere() {
        Session session("dorvane");
        QTemporaryDir home;
        const Setting homeSetting("HOME", QFile::encodeName(home.path()));
        const Setting configSetting("XDG_CONFIG_HOME", {});
        QStringList started;
        const auto save = [&](const QString& name) {
            session.desktop().nextSaveName = name.isEmpty() ? std::optional<QString>() : name;
            run(session, "key Ctrl+S");
            started << session.desktop().proposals.back();
        };
        save({});
        QVERIFY(QDir(home.path()).mkdir("Pictures") && QDir(home.path()).mkdir("lesson"));
        save(home.filePath("lesson/a"));
        save({});
        QVERIFY(QDir(home.filePath("lesson")).removeRecursively());
        save({});
        QCOMPARE(started, QStringList({home.path(), home.filePath("Pictures"),
                                       home.filePath("lesson"), home.filePath("Pictures")}));
    }
};

QTEST_MAIN(TestPictures)
#include "tst_pictures.moc"
