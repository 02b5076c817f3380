// SPDX-License-Identifier: GPL-3.0-or-later
#include "chinesetexts.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>
#include <cstring>

namespace forms {

namespace {

// The words a pupil meets most, fixed here so that they read the same when Qt's own
// Chinese catalogue is missing or words them otherwise ("好" for OK, say).
class EssentialTexts : public QTranslator {
public:
    using QTranslator::QTranslator;

    bool isEmpty() const override { return false; }

    QString translate(const char* context, const char* sourceText, const char*,
                      int) const override {
        if (!context || !sourceText || std::strcmp(context, "QPlatformTheme") != 0) return {};
        static constexpr struct {
            const char* source;
            const char* chinese;
        } kWords[] = {
            {"OK", "确定"},    {"Cancel", "取消"}, {"Save", "保存"}, {"Open", "打开"},
            {"Close", "关闭"}, {"Yes", "是"},      {"No", "否"},     {"Help", "帮助"},
        };
        for (const auto& word : kWords) {
            if (std::strcmp(sourceText, word.source) == 0) return QString::fromUtf8(word.chinese);
        }
        return {};
    }
};

}  // namespace

void installChineseTexts() {
    auto* app = QCoreApplication::instance();
    if (!app || app->property("lessons.chineseTexts").toBool()) return;
    app->setProperty("lessons.chineseTexts", true);
    auto* catalogue = new QTranslator(app);
    if (catalogue->load(QStringLiteral("qtbase_zh_CN"),
                        QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(catalogue);
    else
        delete catalogue;
    // Installed last, so asked first.
    QCoreApplication::installTranslator(new EssentialTexts(app));
}

}  // namespace forms
