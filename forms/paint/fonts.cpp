// SPDX-License-Identifier: GPL-3.0-or-later
#include "fonts.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetricsF>
#include <QStandardPaths>
#include <cmath>
#include <utility>

namespace forms {

namespace {

struct FaceMapping {
    const char* classic;
    const char* family;
    bool forceBold;
};

constexpr const char* kSongFamily = "Noto Serif CJK SC";
// Both Song faces put the top of the ideographic em box at 0.88 em above the baseline.
constexpr double kSongEmAscent = 0.88;

// 隶书 has no Debian counterpart; a bold Kai keeps its heavy brush look. UMing, the
// second family of every font, stands in for the Song face where it is not installed.
constexpr FaceMapping kMappings[] = {
    {"Times New Roman", "Liberation Serif", false},
    {"宋体", kSongFamily, false},
    {"楷体_GB2312", "AR PL UKai CN", false},
    {"隶书", "AR PL UKai CN", true},
};

constexpr const char* kFontFiles[] = {
    "truetype/liberation/LiberationSerif-Regular.ttf",
    "truetype/liberation/LiberationSerif-Bold.ttf",
    "truetype/liberation/LiberationSerif-Italic.ttf",
    "truetype/liberation/LiberationSerif-BoldItalic.ttf",
    "opentype/noto/NotoSerifCJK-Regular.ttc",
    "opentype/noto/NotoSerifCJK-Bold.ttc",
    "truetype/arphic/uming.ttc",
    "truetype/arphic/ukai.ttc",
};

const FaceMapping* mappingFor(const std::string& face) {
    for (const auto& mapping : kMappings) {
        if (face == mapping.classic) return &mapping;
    }
    return nullptr;
}

void setDialogFace() {
    // Text that no lesson sets in a face of its own (message boxes, the help, the file
    // dialog). Left to the desktop's face, its Chinese goes to whatever fontconfig ranks
    // first for the locale: AR PL UMing under C or en_US, Traditional forms under zh_TW.
    // Qt consults fontconfig before any later family of a font, so the CJK sans comes
    // first, Latin letters included; they are a plain sans like the desktop's. Where it
    // is missing the lessons' Song face stands in, then the desktop's face and UMing.
    QFont font = QGuiApplication::font();
    QStringList families{QStringLiteral("Noto Sans CJK SC"), QString::fromLatin1(kSongFamily)};
    // The desktop's face is often an alias such as "Sans Serif", which Qt resolves only
    // when it is the one family asked for.
    families << QFontInfo(font).family() << QStringLiteral("AR PL UMing CN");
    font.setFamilies(families);
    QApplication::setFont(font);
}

}  // namespace

void installFontMapping() {
    static bool installed = false;
    if (std::exchange(installed, true)) return;
    QStringList dataDirs = QStandardPaths::standardLocations(QStandardPaths::GenericDataLocation);
    dataDirs << QStringLiteral("/usr/share") << QStringLiteral("/usr/local/share");
    for (const char* file : kFontFiles) {
        for (const QString& dir : dataDirs) {
            const QString path = QDir(dir).filePath(QStringLiteral("fonts/") + QLatin1String(file));
            if (QFileInfo::exists(path)) {
                QFontDatabase::addApplicationFont(path);
                break;
            }
        }
    }
    setDialogFace();
}

int pixelSizeForPoints(double points) {
    return std::max(1, static_cast<int>(std::lround(points * 96.0 / 72.0)));
}

QFont toQFont(const FontSpec& described) {
    QFont font;
    const FaceMapping* mapping = mappingFor(described.face);
    font.setFamilies({QString::fromUtf8(mapping ? mapping->family : described.face.c_str()),
                      QStringLiteral("AR PL UMing CN")});
    font.setPixelSize(pixelSizeForPoints(described.points));
    font.setBold(described.bold || (mapping && mapping->forceBold));
    font.setItalic(described.italic);
    // Unhinted advances are the same at every device pixel ratio, so an auto-sized
    // label has one width whether the window is drawn at scale 1 or 2.
    font.setHintingPreference(QFont::PreferNoHinting);
    return font;
}

LineBox lineBox(const QFont& font) {
    if (font.family() == QLatin1String(kSongFamily)) {
        const double em = font.pixelSize();
        return {kSongEmAscent * em, em};
    }
    const QFontMetricsF metrics(font);
    return {metrics.ascent(), metrics.height()};
}

double TextAdvances::of(const QFont& font, const QString& text) {
    static constexpr std::size_t kMostKnown = 64;
    for (const Known& entry : known_)
        if (entry.text == text && entry.font == font) return entry.advance;
    if (known_.size() == kMostKnown) known_.erase(known_.begin());
    known_.push_back({font, text, QFontMetricsF(font).horizontalAdvance(text)});
    return known_.back().advance;
}

QFont pictureSerif(int pixelSize, bool italic) {
    QFont font(QStringLiteral("Liberation Serif"));
    font.setPixelSize(pixelSize);
    font.setItalic(italic);
    font.setHintingPreference(QFont::PreferNoHinting);
    return font;
}

}  // namespace forms
