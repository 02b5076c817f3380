// SPDX-License-Identifier: GPL-3.0-or-later
#include <QApplication>
#include <QFontMetricsF>
#include <QGlyphRun>
#include <QPainter>
#include <QTest>
#include <QTextLayout>
#include <random>

#include "fonts.h"
#include "shapedtext.h"

using namespace forms;

namespace {

// The faces and sizes the lessons' labels use.
const FontSpec kLabelFonts[] = {
    {"Times New Roman", 12},
    {"Times New Roman", 15, false, true},
    {"宋体", 9},
    {"宋体", 12, true},
    {"宋体", 21.75},
    {"楷体_GB2312", 14.25, true},
    {"隶书", 21.75, true},
};

// Captions as the lessons write them, pairs that kern or join, and text beyond ASCII.
const char* const kCaptions[] = {"A(1.5,-2)", "O(4,1)", "3.71214221810158", "-0.57735", "AV Wa To",
                                 "fifl ff",   "60.5°",  "tanα = 1.732",     "不存在",   "x₁ = 1",
                                 " 2 ",       ""};

QImage blank(QSize size, double ratio, QColor ground) {
    QImage image(size * ratio, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(ratio);
    image.fill(ground);
    return image;
}

// The box of the pixels that differ from the ground, and how much ink they hold.
std::pair<QRect, double> ink(const QImage& image, QColor ground) {
    QRect box;
    double total = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QRgb pixel = image.pixel(x, y);
            const QRgb plain = ground.rgba();
            const double away =
                std::abs(qRed(pixel) - qRed(plain)) + std::abs(qGreen(pixel) - qGreen(plain)) +
                std::abs(qBlue(pixel) - qBlue(plain)) + std::abs(qAlpha(pixel) - qAlpha(plain));
            if (away == 0) continue;
            box |= QRect(x, y, 1, 1);
            total += away;
        }
    return {box, total};
}

}  // namespace

class TestShapedText : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { installFontMapping(); }

    // Put together from single characters and kerned pairs or shaped whole, the glyphs and
    // their places are those Qt's own layout gives, and the advance is what the font
    // metrics measure; the random texts draw on all of Latin-1.
    void shapingMatchesQt_data() {
        QTest::addColumn<int>("font");
        for (int i = 0; i < int(std::size(kLabelFonts)); ++i)
            QTest::addRow("%s %g", kLabelFonts[i].face.c_str(), kLabelFonts[i].points) << i;
    }
    void shapingMatchesQt() {
        QFETCH(int, font);
        const QFont qfont = toQFont(kLabelFonts[font]);
        TextShaper shaper(qfont);
        QStringList texts;
        for (const char* caption : kCaptions) texts << QString::fromUtf8(caption);
        std::mt19937 random(20261207);
        for (int n = 0; n < 300; ++n) {
            QString text;
            for (std::size_t length = 1 + random() % 12; text.size() < qsizetype(length);)
                text += QChar(char16_t(random() % 3 ? 0x20 + random() % 95 : 0xA0 + random() % 96));
            texts << text;
        }
        for (const QString& text : texts) {
            QTextLayout layout(text, qfont);
            layout.beginLayout();
            layout.createLine();
            layout.endLayout();
            std::vector<std::pair<quint32, double>> expected;
            for (const QGlyphRun& run : layout.glyphRuns())
                for (qsizetype i = 0; i < run.glyphIndexes().size(); ++i)
                    expected.emplace_back(run.glyphIndexes()[i], run.positions()[i].x());
            const TextShaper::Shaped shaped = shaper.shape(text);
            std::vector<std::pair<quint32, double>> got;
            for (const TextShaper::Glyph& glyph : shaped.glyphs)
                got.emplace_back(glyph.index, glyph.x);
            QVERIFY2(got == expected, qPrintable(text));
            QCOMPARE(shaped.advance, QFontMetricsF(qfont).horizontalAdvance(text));
        }
    }

    // The kept glyph pictures put the same ink in the same place as the painter's text,
    // on clear ground and on a back colour, where neighbours overlap, and at sizes above
    // those Qt keeps glyph images for.
    void drawnLikeThePainter_data() {
        QTest::addColumn<int>("font");
        QTest::addColumn<QString>("text");
        QTest::addColumn<double>("ratio");
        QTest::addColumn<QColor>("ground");
        QTest::newRow("coordinates") << 2 << "A(2.3,1.7)" << 1.0 << QColor(Qt::transparent);
        QTest::newRow("formula, zoomed") << 0 << "3.71214221810158" << 2.5 << QColor(Qt::white);
        QTest::newRow("overlapping italics") << 1 << "fff AVA" << 1.0 << QColor(Qt::white);
        QTest::newRow("Chinese") << 6 << "倾斜角与斜率" << 1.0 << QColor(Qt::transparent);
        QTest::newRow("above the glyph cache") << 0 << "1.7+3.3" << 4.39 << QColor(Qt::yellow);
    }
    void drawnLikeThePainter() {
        QFETCH(int, font);
        QFETCH(QString, text);
        QFETCH(double, ratio);
        QFETCH(QColor, ground);
        const QFont qfont = toQFont(kLabelFonts[font]);
        TextShaper shaper(qfont);
        const ShapedLine line(text, shaper);
        const LineBox box = lineBox(qfont);
        const QSize size(int(std::ceil(line.advance())) + 4, int(std::ceil(box.height)));
        const QColor colour(Qt::red);

        QImage kept = blank(size, ratio, ground);
        line.draw(kept, box.ascent, colour, ground);
        QImage painted = blank(size, ratio, ground);
        {
            QPainter painter(&painted);
            painter.setRenderHint(QPainter::TextAntialiasing);
            painter.setFont(qfont);
            painter.setPen(colour);
            painter.drawText(QPointF(0, box.ascent), text);
        }
        const auto [keptBox, keptInk] = ink(kept, ground);
        const auto [paintedBox, paintedInk] = ink(painted, ground);
        QVERIFY(!paintedBox.isEmpty());
        const QMargins apart(std::abs(keptBox.left() - paintedBox.left()),
                             std::abs(keptBox.top() - paintedBox.top()),
                             std::abs(keptBox.right() - paintedBox.right()),
                             std::abs(keptBox.bottom() - paintedBox.bottom()));
        QVERIFY2(apart.left() <= 1 && apart.top() <= 1 && apart.right() <= 1 && apart.bottom() <= 1,
                 qPrintable(QString("%1,%2 %3x%4 against %5,%6 %7x%8")
                                .arg(keptBox.x())
                                .arg(keptBox.y())
                                .arg(keptBox.width())
                                .arg(keptBox.height())
                                .arg(paintedBox.x())
                                .arg(paintedBox.y())
                                .arg(paintedBox.width())
                                .arg(paintedBox.height())));
        QVERIFY2(std::abs(keptInk - paintedInk) <= 0.04 * paintedInk,
                 qPrintable(QString("ink %1 against %2").arg(keptInk).arg(paintedInk)));
    }

    // The kept pictures are bounded: lines at hundreds of sizes go past the bound, which
    // must never drop the pictures of the line being drawn (the sanitizers would tell).
    void keptPicturesStayBounded() {
        TextShaper shaper(toQFont(kLabelFonts[0]));
        const ShapedLine line("0123456789.-", shaper);
        for (int size = 0; size < 400; ++size) {
            QImage image = blank(QSize(80, 20), 1 + size / 100.0, Qt::transparent);
            line.draw(image, 15, Qt::black, Qt::transparent);
            QVERIFY(!ink(image, Qt::transparent).first.isEmpty());
        }
    }
};

QTEST_MAIN(TestShapedText)
#include "tst_shapedtext.moc"
