// SPDX-License-Identifier: GPL-3.0-or-later
#include "lessonapp.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QFileInfo>
#include <QFontDatabase>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

#include "chinesetexts.h"
#include "clocks.h"
#include "desktop.h"
#include "excerpt.h"
#include "lessoninfo.h"
#include "zoom.h"

namespace forms {

namespace {

// Qt's own options, which the application object takes off the command line: those
// followed by a value (the X11 ones among them), and those standing alone.
constexpr const char* kQtOptionsWithValue[] = {
    "platform",    "platformpluginpath", "platformtheme", "plugin", "qwindowgeometry",
    "qwindowicon", "qwindowtitle",       "session",       "style",  "stylesheet",
    "display",     "geometry",           "title",         "icon",   "name",
    "visual"};
constexpr const char* kQtFlags[] = {"reverse", "testability", "widgetcount",
                                    "sync",    "nograb",      "dograb"};

// The arguments without Qt's own options, which are left in place for the application.
QStringList withoutQtOptions(const QStringList& arguments) {
    const auto isOneOf = [](QStringView word, const auto& names) {
        for (const char* name : names)
            if (word == QLatin1String(name)) return true;
        return false;
    };
    QStringList kept;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& argument = arguments[i];
        // Qt reads its options with one dash or two.
        QStringView word(argument);
        if (i == 0 || !word.startsWith(u'-')) {
            kept << argument;
            continue;
        }
        word = word.mid(word.startsWith(u"--") ? 2 : 1);
        if (isOneOf(word, kQtOptionsWithValue))
            ++i;  // its value, if there is one
        else if (!isOneOf(word, kQtFlags) && !word.startsWith(u"style=") &&
                 !word.startsWith(u"stylesheet=") && !word.startsWith(u"qmljsdebugger="))
            kept << argument;
    }
    return kept;
}

}  // namespace

std::variant<StartOptions, StartExit> parseStartOptions(const QStringList& givenArguments) {
    const QStringList arguments = withoutQtOptions(givenArguments);
    const QString program =
        arguments.isEmpty() ? QStringLiteral("lesson") : QFileInfo(arguments.first()).fileName();
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("平面解析几何课件"));
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")},
                                  QStringLiteral("显示本说明。"));
    const QCommandLineOption version({QStringLiteral("v"), QStringLiteral("version")},
                                     QStringLiteral("显示版本和许可证。"));
    const QCommandLineOption zoom(
        QStringLiteral("zoom"),
        QStringLiteral("以 PERCENT% 的大小打开窗口（50 到 400，默认 100）。"),
        QStringLiteral("PERCENT"));
    const QCommandLineOption fullScreen(QStringLiteral("fullscreen"),
                                        QStringLiteral("以全屏打开（F11 或 Esc 回到窗口）。"));
    parser.addOptions({help, version, zoom, fullScreen});
    if (!parser.parse(arguments)) {
        // The parser's own text would quote an unknown option whole, however long.
        const std::string problem =
            parser.unknownOptionNames().isEmpty()
                ? parser.errorText().toStdString()
                : "未知的选项 \"" + excerpt(parser.unknownOptionNames().first().toStdString()) +
                      "\"";
        return StartExit{2, program.toStdString() + ": " + problem + "\n用法见 " +
                                program.toStdString() + " --help\n"};
    }
    if (!parser.positionalArguments().isEmpty())
        return StartExit{2, program.toStdString() + ": 多余的参数 " +
                                excerpt(parser.positionalArguments().first().toStdString()) + "\n"};
    if (parser.isSet(help)) {
        parser.setApplicationDescription(QStringLiteral("平面解析几何课件\n\n") +
                                         QString::fromStdString(LessonWindow::helpText("按键")));
        return StartExit{0, parser.helpText().toStdString()};
    }
    if (parser.isSet(version))
        return StartExit{0, program.toStdString() + " " + kLessonsVersion + "\n许可证 " +
                                kLessonsLicence + "\n"};
    StartOptions options;
    options.fullScreen = parser.isSet(fullScreen);
    if (parser.isSet(zoom)) {
        QString text = parser.value(zoom).trimmed();
        if (text.endsWith(QLatin1Char('%'))) text.chop(1);
        bool ok = false;
        const double percent = text.toDouble(&ok);
        if (!ok || !(percent >= kMinZoomPercent && percent <= kMaxZoomPercent))
            return StartExit{2, program.toStdString() + ": 无效的缩放比例 \"" +
                                    excerpt(parser.value(zoom).toStdString()) +
                                    "\"：--zoom 取 50 到 400 之间的百分数\n"};
        options.zoomPercent = percent;
    }
    return options;
}

namespace {

const char* programName(const char* path) {
    if (const char* slash = std::strrchr(path, '/')) return slash + 1;
    return path;
}

// The device pixel ratios the lessons are drawn at. Below 1 a window is drawn magnified,
// clipped and noisy; far above 8 a full-screen window's images no longer fit in memory.
constexpr double kLeastRatio = 1;
constexpr double kGreatestRatio = 8;

// A scale factor Qt would use: a positive number (infinity included), else nothing.
std::optional<double> scaleFactor(QStringView text) {
    bool isNumber = false;
    const double value = text.toDouble(&isNumber);
    if (!isNumber || !(value > 0)) return std::nullopt;
    return value;
}

QString shortest(double value) {
    return QString::number(value, 'g', 15);
}

// Qt multiplies three factors into a screen's device pixel ratio: QT_SCALE_FACTOR, the
// screen's own from QT_SCREEN_SCALE_FACTORS ("2;1.5" or "name=2;...") and the one its
// dots per inch give, which QT_FONT_DPI sets (in 96ths, never below 1). Each is brought
// into the range the lessons are drawn at, whichever variable asks for too much or too
// little, with a word on standard error.
void settleDevicePixelRatio(const char* program) {
    const auto say = [program](const char* variable, const QString& was, const QString& now) {
        std::fprintf(stderr,
                     "%s: %s=%s: the lessons are drawn at device pixel ratios from 1 to 8; "
                     "using %s\n",
                     program, variable, excerpt(was.toStdString()).c_str(), qPrintable(now));
    };
    double ratio = 1;
    if (qEnvironmentVariableIsSet("QT_SCALE_FACTOR")) {
        const QString text = qEnvironmentVariable("QT_SCALE_FACTOR");
        const std::optional<double> asked = scaleFactor(text);
        const double settled = std::clamp(asked.value_or(1.0), kLeastRatio, kGreatestRatio);
        if (!asked || settled != *asked) {
            say("QT_SCALE_FACTOR", text, shortest(settled));
            qputenv("QT_SCALE_FACTOR", shortest(settled).toLatin1());
        }
        ratio = settled;
    }
    bool isWhole = false;
    const int dotsPerInch = qEnvironmentVariableIntValue("QT_FONT_DPI", &isWhole);
    if (isWhole && dotsPerInch > 96) {
        const int settled = std::min(dotsPerInch, int(kGreatestRatio / ratio * 96));
        if (settled != dotsPerInch) {
            say("QT_FONT_DPI", qEnvironmentVariable("QT_FONT_DPI"), QString::number(settled));
            qputenv("QT_FONT_DPI", QByteArray::number(settled));
        }
        ratio *= std::max(1, settled) / 96.0;
    }
    if (!qEnvironmentVariableIsSet("QT_SCREEN_SCALE_FACTORS")) return;
    const QString text = qEnvironmentVariable("QT_SCREEN_SCALE_FACTORS");
    QStringList screens;
    bool changed = false;
    for (const QString& screen : text.split(u';')) {
        const qsizetype equals = screen.lastIndexOf(u'=');
        const QString name = equals > 0 ? screen.left(equals + 1) : QString();
        const std::optional<double> asked = scaleFactor(QStringView(screen).mid(name.size()));
        const double settled =
            std::clamp(ratio * asked.value_or(1.0), kLeastRatio, kGreatestRatio) / ratio;
        changed = changed || !asked || settled != *asked;
        screens << name + shortest(settled);
    }
    if (!changed) return;
    say("QT_SCREEN_SCALE_FACTORS", text, screens.join(u';'));
    qputenv("QT_SCREEN_SCALE_FACTORS", screens.join(u';').toUtf8());
}

// Qt ends the program with an abort when it can open no platform (no display, no
// plugin). While the application is made its messages are held back; the fatal one is
// turned into one line of ours and exit status 1, and the others are passed on after.
// A message handler is a bare function, so what it needs is kept beside it; set only while
// the application is made.
struct HeldMessage {
    QtMsgType type;
    const char* category;
    QString text;
};
QtMessageHandler passOn = nullptr;
std::vector<HeldMessage>* held = nullptr;
const char* startingProgram = "lesson";

void holdWhileStarting(QtMsgType type, const QMessageLogContext& context, const QString& text) {
    if (type != QtFatalMsg) {
        held->push_back({type, context.category, text});
        return;
    }
    QString where = qEnvironmentVariable("QT_QPA_PLATFORM");
    if (!where.isEmpty())
        where.prepend(QStringLiteral("QT_QPA_PLATFORM="));
    else if (qEnvironmentVariableIsSet("DISPLAY"))
        where = QStringLiteral("DISPLAY=") + qEnvironmentVariable("DISPLAY");
    else
        where = QStringLiteral("DISPLAY is not set");
    std::fflush(stdout);
    std::fprintf(stderr,
                 "%s: 无法打开显示，课件需要图形桌面 / cannot open a display (%s): the lesson "
                 "needs a graphical desktop\n",
                 startingProgram, excerpt(where.toStdString()).c_str());
    std::_Exit(1);
}

std::unique_ptr<QApplication> openDisplay(int& argc, char** argv, const char* program) {
    std::vector<HeldMessage> messages;
    held = &messages;
    startingProgram = program;
    passOn = qInstallMessageHandler(holdWhileStarting);
    auto app = std::make_unique<QApplication>(argc, argv);
    qInstallMessageHandler(passOn);
    held = nullptr;
    for (const HeldMessage& message : messages)
        passOn(message.type, QMessageLogContext(nullptr, 0, nullptr, message.category),
               message.text);
    return app;
}

}  // namespace

int runLesson(int argc, char** argv, const FormFactory& makeForm) {
    const char* program = programName(argc > 0 ? argv[0] : "lesson");
    // The lesson's own options are read before anything needs a display, so that help,
    // version and a bad value answer on any terminal.
    QStringList arguments;
    for (int i = 0; i < argc; ++i) arguments << QString::fromLocal8Bit(argv[i]);
    if (std::holds_alternative<StartExit>(parseStartOptions(arguments))) {
        // Read again with Qt's Chinese catalogue, which words the parser's own texts.
        std::vector<char*> copy(argv, argv + argc);
        int coreArgc = argc;
        QCoreApplication core(coreArgc, copy.data());
        installChineseTexts();
        const StartExit exit = std::get<StartExit>(parseStartOptions(arguments));
        std::FILE* stream = exit.status == 0 ? stdout : stderr;
        std::fputs(exit.text.c_str(), stream);
        return std::fflush(stream) == 0 && !std::ferror(stream) ? exit.status
                                                                : std::max(exit.status, 1);
    }
    const StartOptions options = std::get<StartOptions>(parseStartOptions(arguments));
    settleDevicePixelRatio(program);
    const std::unique_ptr<QApplication> app = openDisplay(argc, argv, program);
    installChineseTexts();
    installFontMapping();
    // Without any font Qt sets text in empty boxes from a face with no name, and not one
    // word of the lesson could be read.
    if (QFontDatabase::families().isEmpty()) {
        std::fprintf(stderr,
                     "%s: 找不到可用的字体 / no usable font: install fonts-noto-cjk and "
                     "fonts-liberation\n",
                     program);
        return 1;
    }
    RealTimeDriver timers;
    ModalMessagePresenter messages;
    SystemDesktop desktop;
    FormEnvironment environment{timers, messages};
    LessonWindow window(environment, makeForm, desktop, options.zoomPercent);
    if (options.fullScreen)
        window.setPresenting(true);
    else
        window.show();
    return app->exec();
}

}  // namespace forms
