// SPDX-License-Identifier: GPL-3.0-or-later
#include "lessonapp.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QFileInfo>
#include <cstdio>
#include <cstring>

#include "chinesetexts.h"
#include "clocks.h"
#include "desktop.h"
#include "lessoninfo.h"
#include "zoom.h"

namespace forms {

std::variant<StartOptions, StartExit> parseStartOptions(const QStringList& arguments) {
    const QString program =
        arguments.isEmpty() ? QStringLiteral("lesson") : QFileInfo(arguments.first()).fileName();
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("平面解析几何课件"));
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")},
                                  QStringLiteral("显示本说明。"));
    const QCommandLineOption version({QStringLiteral("v"), QStringLiteral("version")},
                                     QStringLiteral("显示版本和许可证。"));
    const QCommandLineOption zoom(QStringLiteral("zoom"),
                                  QStringLiteral("以 PERCENT% 的大小打开窗口（50 到 400，默认 100）。"),
                                  QStringLiteral("PERCENT"));
    const QCommandLineOption fullScreen(QStringLiteral("fullscreen"),
                                        QStringLiteral("以全屏打开（F11 或 Esc 回到窗口）。"));
    parser.addOptions({help, version, zoom, fullScreen});
    if (!parser.parse(arguments))
        return StartExit{2, program.toStdString() + ": " + parser.errorText().toStdString() +
                                "\n用法见 " + program.toStdString() + " --help\n"};
    if (!parser.positionalArguments().isEmpty())
        return StartExit{2, program.toStdString() + ": 多余的参数 " +
                                parser.positionalArguments().first().toStdString() + "\n"};
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
                                    parser.value(zoom).toStdString() +
                                    "\"：--zoom 取 50 到 400 之间的百分数\n"};
        options.zoomPercent = percent;
    }
    return options;
}

namespace {

// Below a device pixel ratio of 1 the window is drawn magnified, clipped and noisy, so a
// scale factor that asks for one is refused, and the window shows at the screen's own.
void refuseScalesBelowOne(const char* program) {
    const QByteArray factor = qgetenv("QT_SCALE_FACTOR");
    bool isNumber = false;
    const double value = factor.toDouble(&isNumber);
    if (!isNumber || value >= 1) return;
    if (const char* slash = std::strrchr(program, '/')) program = slash + 1;
    std::fprintf(stderr, "%s: QT_SCALE_FACTOR=%s ignored: the lessons cannot be drawn below 1\n",
                 program, factor.constData());
    qunsetenv("QT_SCALE_FACTOR");
}

}  // namespace

int runLesson(int argc, char** argv, const FormFactory& makeForm) {
    refuseScalesBelowOne(argc > 0 ? argv[0] : "lesson");
    QApplication app(argc, argv);
    installChineseTexts();
    const auto parsed = parseStartOptions(QCoreApplication::arguments());
    if (const auto* exit = std::get_if<StartExit>(&parsed)) {
        std::fputs(exit->text.c_str(), exit->status == 0 ? stdout : stderr);
        return exit->status;
    }
    const StartOptions& options = std::get<StartOptions>(parsed);
    installFontMapping();
    RealTimeDriver timers;
    ModalMessagePresenter messages;
    SystemDesktop desktop;
    FormEnvironment environment{timers, messages};
    LessonWindow window(environment, makeForm, desktop, options.zoomPercent);
    if (options.fullScreen)
        window.setPresenting(true);
    else
        window.show();
    return app.exec();
}

}  // namespace forms
