// SPDX-License-Identifier: GPL-3.0-or-later
#include "shapedtext.h"

#include <QFontMetricsF>
#include <QGlyphRun>
#include <QPainter>
#include <QTextLayout>
#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>
#include <unordered_map>

namespace forms {

namespace {

// Glyph origins fall on quarter pixels, as in the painter's own glyph cache.
constexpr int kPhases = 4;
// A bound on the kept pictures, far above what the lessons' texts need at one size.
constexpr std::size_t kMostGlyphs = 4096;

// A glyph in one colour, premultiplied; the same laid over the label's ground, ground
// included; and where their top-left pixel lies from the pixel of the glyph's origin.
struct GlyphPicture {
    QImage image;
    QImage overGround;
    QPoint offset;
};

struct GlyphKey {
    std::uint64_t face;
    std::uint64_t ratio;
    std::uint32_t glyph;
    int phase;
    QRgb ink;
    QRgb ground;
    bool operator==(const GlyphKey&) const = default;
};

struct GlyphKeyHash {
    std::size_t operator()(const GlyphKey& key) const {
        std::size_t hash = key.face;
        for (const std::uint64_t part :
             {key.ratio, std::uint64_t(key.glyph), std::uint64_t(key.phase),
              std::uint64_t(key.ink) << 32 | key.ground})
            hash = (hash ^ part) * 0x100000001B3ULL;
        return hash;
    }
};

GlyphFace faceOf(const QRawFont& font) {
    // With no font at all Qt sets text in boxes from a face whose family list is empty,
    // and asking its family name reads past that list: only a face with a font header
    // has a name to ask for.
    const QString family = font.fontTable("head").isEmpty() ? QString() : font.familyName();
    const QString name = family + QChar(0) + font.styleName();
    return {font, (std::uint64_t(qHash(name)) << 32) ^
                      std::uint64_t(qHash(std::bit_cast<std::uint64_t>(font.pixelSize()))) ^
                      (std::uint64_t(font.weight()) << 8) ^ std::uint64_t(font.style())};
}

// Qt's premultiplied byte multiply: each channel times alpha / 255, rounded.
QRgb scaled(QRgb colour, uint alpha) {
    uint redBlue = (colour & 0xff00ff) * alpha;
    redBlue = ((redBlue + ((redBlue >> 8) & 0xff00ff) + 0x800080) >> 8) & 0xff00ff;
    uint alphaGreen = ((colour >> 8) & 0xff00ff) * alpha;
    alphaGreen = (alphaGreen + ((alphaGreen >> 8) & 0xff00ff) + 0x800080) & 0xff00ff00;
    return alphaGreen | redBlue;
}

QRgb over(QRgb top, QRgb under) {
    return top + scaled(under, 255 - qAlpha(top));
}

GlyphPicture renderGlyph(const QRawFont& font, quint32 glyph, double ratio, int phase, QRgb ink,
                         QRgb ground) {
    const QRectF box = font.boundingRect(glyph);
    // Room for the antialiased fringe and for hinting that reaches past the box.
    const QRect area =
        QRectF(box.topLeft() * ratio, box.size() * ratio).toAlignedRect().adjusted(-3, -3, 4, 4);
    QImage canvas(area.size(), QImage::Format_ARGB32_Premultiplied);
    canvas.fill(Qt::transparent);
    {
        QPainter painter(&canvas);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setRenderHint(QPainter::TextAntialiasing);
        painter.translate(-area.left() + double(phase) / kPhases, -area.top());
        painter.scale(ratio, ratio);
        painter.setPen(QColor::fromRgba(qUnpremultiply(ink)));
        QGlyphRun one;
        one.setRawFont(font);
        one.setGlyphIndexes({glyph});
        one.setPositions({QPointF(0, 0)});
        painter.drawGlyphRun(QPointF(0, 0), one);
    }
    // Cropped to the pixels the glyph touches.
    int left = canvas.width(), top = canvas.height(), right = -1, bottom = -1;
    for (int y = 0; y < canvas.height(); ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(canvas.constScanLine(y));
        for (int x = 0; x < canvas.width(); ++x) {
            if (!qAlpha(row[x])) continue;
            left = std::min(left, x);
            right = std::max(right, x);
            top = std::min(top, y);
            bottom = std::max(bottom, y);
        }
    }
    if (right < 0) return {};
    const QRect inked(QPoint(left, top), QPoint(right, bottom));
    const QImage image = canvas.copy(inked);
    QImage overGround = image;
    for (int y = 0; y < overGround.height(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(overGround.scanLine(y));
        for (int x = 0; x < overGround.width(); ++x) row[x] = over(row[x], ground);
    }
    return {image, overGround, area.topLeft() + inked.topLeft()};
}

// A cache of glyph pictures, shared by every line and bounded by kMostGlyphs.
std::unordered_map<GlyphKey, GlyphPicture, GlyphKeyHash>& keptPictures() {
    static std::unordered_map<GlyphKey, GlyphPicture, GlyphKeyHash> pictures;
    return pictures;
}

// The reference holds until the kept pictures are next cleared, which happens only
// between lines.
const GlyphPicture& glyphPicture(const GlyphFace& face, quint32 glyph, double ratio, int phase,
                                 QRgb ink, QRgb ground) {
    auto& pictures = keptPictures();
    const GlyphKey wanted{face.key, std::bit_cast<std::uint64_t>(ratio), glyph, phase, ink, ground};
    if (const auto found = pictures.find(wanted); found != pictures.end()) return found->second;
    return pictures.emplace(wanted, renderGlyph(face.font, glyph, ratio, phase, ink, ground))
        .first->second;
}

// A glyph whose box meets no other glyph's lies on plain ground: its rows are copied.
// Elsewhere, where the label still shows its ground, the glyph's pixel over it is known.
void blend(uchar* bits, qsizetype stride, const QRect& target, const GlyphPicture& picture,
           QPoint placedAt, QRgb ground, bool alone) {
    const qsizetype sourceStride = picture.image.bytesPerLine() / qsizetype(sizeof(QRgb));
    const qsizetype start =
        (target.top() - placedAt.y()) * sourceStride + (target.left() - placedAt.x());
    const QRgb* sourceStart = reinterpret_cast<const QRgb*>(picture.image.constBits()) + start;
    const QRgb* overStart = reinterpret_cast<const QRgb*>(picture.overGround.constBits()) + start;
    for (int y = 0; y < target.height(); ++y) {
        const QRgb* source = sourceStart + y * sourceStride;
        const QRgb* overGround = overStart + y * sourceStride;
        auto* pixel = reinterpret_cast<QRgb*>(bits + (target.top() + y) * stride) + target.left();
        if (alone) {
            std::memcpy(pixel, overGround, std::size_t(target.width()) * sizeof(QRgb));
            continue;
        }
        for (int x = 0; x < target.width(); ++x) {
            if (source[x] == 0) continue;
            pixel[x] = pixel[x] == ground ? overGround[x] : over(source[x], pixel[x]);
        }
    }
}

}  // namespace

namespace {

// Digits and signs take the script of the letters beside them, and some faces give them
// other glyphs there: text with a Latin letter is put together from characters shaped
// after one.
bool hasLetter(const QString& text) {
    return std::any_of(text.begin(), text.end(),
                       [](QChar character) { return character.script() == QChar::Script_Latin; });
}

// A soft hyphen shows only at the end of a line.
constexpr int kSoftHyphen = 0xAD;

}  // namespace

TextShaper::TextShaper(QFont font)
    : font_(std::move(font)),
      learnt_([this] {
          // A cache of what is learnt of each font, by the font's description; an entry
          // outlives its shapers only as an expired pointer, one for each font used.
          static std::unordered_map<QString, std::weak_ptr<Learnt>> known;
          std::weak_ptr<Learnt>& entry =
              known[font_.toString() + u'/' + QString::number(int(font_.hintingPreference()))];
          std::shared_ptr<Learnt> learnt = entry.lock();
          if (!learnt) entry = learnt = std::make_shared<Learnt>();
          return learnt;
      }()),
      face_(learnt_->face),
      contexts_(learnt_->contexts) {}

TextShaper::Shaped TextShaper::shape(const QString& text) {
    Context& context = contexts_[hasLetter(text) ? 1 : 0];
    if (!context.faithful) return shapeWhole(text);
    std::optional<Shaped> put = composed(context, text);
    if (!put) return shapeWhole(text);
    if (context.checked == kChecked) return *std::move(put);
    // A face whose spacing hangs on more than neighbouring pairs shows it in the texts it
    // is given: the first composed ones are shaped whole too, and one that differs sends
    // every later text of its kind to Qt whole.
    ++context.checked;
    Shaped whole = shapeWhole(text);
    bool same = put->advance == whole.advance && put->glyphs.size() == whole.glyphs.size();
    for (std::size_t i = 0; same && i < whole.glyphs.size(); ++i) {
        const Glyph& a = put->glyphs[i];
        const Glyph& b = whole.glyphs[i];
        same = a.index == b.index && a.x == b.x && b.y == 0 &&
               put->faces[a.face].key == whole.faces[b.face].key;
    }
    context.faithful = same;
    return same ? *std::move(put) : whole;
}

std::optional<TextShaper::Shaped> TextShaper::composed(Context& context, const QString& text) {
    Shaped shaped;
    int previous = -1;
    for (const QChar character : text) {
        const int code = character.unicode();
        if (code < kFirst || code >= kFirst + kCount) return std::nullopt;
        const Single& glyph = single(context, code);
        if (!glyph.simple) return std::nullopt;
        if (previous >= 0) {
            const std::optional<double> kerning = pairKerning(context, previous, code);
            if (!kerning) return std::nullopt;
            shaped.advance += *kerning;
        }
        shaped.glyphs.push_back({0, glyph.index, shaped.advance, 0});
        shaped.advance += glyph.advance;
        previous = code;
    }
    if (face_) shaped.faces.push_back(*face_);
    return shaped;
}

// The glyphs of some characters shaped after the context's lead, placed from the lead's
// end; nothing when they do not come one glyph a character from the one face, on the
// baseline.
std::optional<TextShaper::Shaped> TextShaper::shapeAfterLead(const Context& context,
                                                             const QString& text) {
    const QString lead = &context == &contexts_[1] ? QStringLiteral("x") : QString();
    Shaped shaped = shapeWhole(lead + text);
    if (shaped.glyphs.size() != std::size_t(lead.size() + text.size()) || shaped.faces.size() != 1)
        return {};
    if (!face_) face_ = shaped.faces[0];
    if (face_->key != shaped.faces[0].key) return {};
    shaped.glyphs.erase(shaped.glyphs.begin(), shaped.glyphs.begin() + lead.size());
    const double from = shaped.glyphs.front().x;
    for (TextShaper::Glyph& glyph : shaped.glyphs) {
        if (glyph.y != 0) return {};
        glyph.x -= from;
    }
    shaped.advance -= from;
    return shaped;
}

const TextShaper::Single& TextShaper::single(Context& context, int code) {
    std::optional<Single>& known = context.singles[std::size_t(code - kFirst)];
    if (known) return *known;
    known = Single{};
    if (code == kSoftHyphen) return *known;
    if (const std::optional<Shaped> alone = shapeAfterLead(context, QString(QChar(code))))
        *known = {true, alone->glyphs[0].index, alone->advance};
    return *known;
}

std::optional<double> TextShaper::pairKerning(Context& context, int first, int second) {
    const auto [known, added] =
        context.pairs.try_emplace(std::uint32_t(first) << 16 | std::uint32_t(second));
    if (added) {
        const std::optional<Shaped> pair =
            shapeAfterLead(context, QString(QChar(first)) + QChar(second));
        const Single& a = single(context, first);
        const Single& b = single(context, second);
        if (pair && pair->glyphs[0].index == a.index && pair->glyphs[1].index == b.index) {
            const double kerning = pair->glyphs[1].x - a.advance;
            if (pair->advance == a.advance + kerning + b.advance) known->second = kerning;
        }
    }
    return known->second;
}

TextShaper::Shaped TextShaper::shapeWhole(const QString& text) const {
    Shaped shaped;
    QTextLayout layout(text, font_);
    // Kept past endLayout(), the line's shaping serves glyphRuns() too, which would
    // otherwise shape it a second time.
    layout.setCacheEnabled(true);
    QTextOption option;
    option.setWrapMode(QTextOption::NoWrap);
    layout.setTextOption(option);
    layout.beginLayout();
    const QTextLine line = layout.createLine();
    layout.endLayout();
    if (!line.isValid()) return shaped;
    // A line's advance counts a soft hyphen at its end; the font's metrics, which size
    // labels, do not.
    shaped.advance = text.contains(QChar(kSoftHyphen))
                         ? QFontMetricsF(font_).horizontalAdvance(text)
                         : line.horizontalAdvance();
    const double ascent = line.ascent();
    for (const QGlyphRun& run : layout.glyphRuns()) {
        shaped.faces.push_back(faceOf(run.rawFont()));
        const QList<quint32> indexes = run.glyphIndexes();
        const QList<QPointF> positions = run.positions();
        for (qsizetype i = 0; i < indexes.size(); ++i)
            shaped.glyphs.push_back(
                {shaped.faces.size() - 1, indexes[i], positions[i].x(), positions[i].y() - ascent});
    }
    return shaped;
}

ShapedLine::ShapedLine(const QString& text, TextShaper& shaper) : shaped_(shaper.shape(text)) {}

void ShapedLine::draw(QImage& image, double baseline, QColor color, QColor ground) const {
    if (shaped_.glyphs.empty() || image.isNull()) return;
    const double ratio = image.devicePixelRatio();
    const QRgb ink = qPremultiply(color.rgba());
    const QRgb groundPixel = qPremultiply(ground.rgba());
    struct Placed {
        const GlyphPicture* picture;
        QRect box;
    };
    // Cleared before the line, never within it: the glyphs placed below point into them.
    if (keptPictures().size() + shaped_.glyphs.size() > kMostGlyphs) keptPictures().clear();
    std::vector<Placed> placed;
    placed.reserve(shaped_.glyphs.size());
    for (const TextShaper::Glyph& glyph : shaped_.glyphs) {
        const double quarters = std::round(glyph.x * ratio * kPhases);
        const double left = std::floor(quarters / kPhases);
        const int phase = int(quarters - left * kPhases);
        const GlyphPicture& picture =
            glyphPicture(shaped_.faces[glyph.face], glyph.index, ratio, phase, ink, groundPixel);
        if (picture.image.isNull()) continue;
        const QPoint origin(int(left), int(std::lround((baseline + glyph.y) * ratio)));
        placed.push_back({&picture, QRect(origin + picture.offset, picture.image.size())});
    }
    uchar* bits = image.bits();
    const qsizetype stride = image.bytesPerLine();
    for (std::size_t i = 0; i < placed.size(); ++i) {
        const QRect target = placed[i].box.intersected(image.rect());
        if (target.isEmpty()) continue;
        bool alone = true;
        for (std::size_t j = 0; j < placed.size() && alone; ++j)
            alone = j == i || !placed[j].box.intersects(placed[i].box);
        blend(bits, stride, target, *placed[i].picture, placed[i].box.topLeft(), groundPixel,
              alone);
    }
}

}  // namespace forms
