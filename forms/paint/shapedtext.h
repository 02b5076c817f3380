// SPDX-License-Identifier: GPL-3.0-or-later
// One line of a label's text, shaped once when it is set and drawn from glyph pictures
// kept per font, glyph, pixel ratio and quarter-pixel phase. A label's caption changes at
// every drag step; drawing it through the painter shaped it a second time, and above a
// few dozen pixels, where Qt keeps no glyph images of its own, filled every glyph's
// outline afresh, which at full screen on a large monitor took most of a step.
#pragma once

#include <QFont>
#include <QImage>
#include <QRawFont>
#include <QString>
#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <unordered_map>
#include <vector>

namespace forms {

// A font as the glyphs of a line refer to it.
struct GlyphFace {
    QRawFont font;
    std::uint64_t key = 0;
};

// The shaping of one font, kept for the texts of one label. Printable Latin-1 text is put
// together from the shaping of its single characters and the kerning of each pair of
// neighbours wherever shaping the pair alone keeps their glyphs (no ligature), which is so
// for the numbers and coordinates the lessons write; anything else is shaped whole by Qt.
// Qt shapes a caption in some 40 K instructions, and a drag changes several captions at
// every step: put together, a dorvane drag step with its repaint costs 352 K instructions
// instead of 519 K (32 % less), a quillet pointer step 302 K instead of 366 K (17 % less)
// (callgrind on lesson-benchmark's drag, offscreen at 100 %, 500 steps less 100).
class TextShaper {
public:
    explicit TextShaper(QFont font);
    const QFont& font() const { return font_; }

    struct Glyph {
        std::size_t face;
        quint32 index;
        double x;
        double y;  // from the baseline, downwards
    };
    struct Shaped {
        std::vector<GlyphFace> faces;
        std::vector<Glyph> glyphs;
        double advance = 0;
    };
    Shaped shape(const QString& text);

private:
    struct Single {
        bool simple = false;
        quint32 index = 0;
        double advance = 0;
    };
    // Latin-1's printable characters and its signs (the degree, the squares) are put together.
    static constexpr int kFirst = 0x20;
    static constexpr int kCount = 0x100 - kFirst;

    // How many composed texts of each kind are also shaped whole, to find a face that
    // spaces text by more than pairs.
    static constexpr int kChecked = 8;

    // Text without Latin letters, and text with them.
    struct Context {
        bool faithful = true;
        int checked = 0;
        std::array<std::optional<Single>, kCount> singles;
        // By pair: nothing where shaping changes the glyphs, else their kerning.
        std::unordered_map<std::uint32_t, std::optional<double>> pairs;
    };

    std::optional<Shaped> composed(Context& context, const QString& text);
    const Single& single(Context& context, int code);
    // How far a pair of characters is kerned, or nothing when shaping changes its glyphs.
    std::optional<double> pairKerning(Context& context, int first, int second);
    std::optional<Shaped> shapeAfterLead(const Context& context, const QString& text);
    Shaped shapeWhole(const QString& text) const;

    struct Learnt {
        std::optional<GlyphFace> face;  // the face every simple character comes from
        std::array<Context, 2> contexts;
    };

    QFont font_;
    // What is learnt of a font is shared by the shapers of the same font while any lives:
    // a label's first captions would otherwise shape every pair of characters anew, as
    // each of the formula row's labels did.
    std::shared_ptr<Learnt> learnt_;
    std::optional<GlyphFace>& face_;
    std::array<Context, 2>& contexts_;
};

class ShapedLine {
public:
    ShapedLine() = default;
    ShapedLine(const QString& text, TextShaper& shaper);

    // The distance from the start to where the next text would follow, as the font's
    // metrics measure it.
    double advance() const { return shaped_.advance; }

    // Draws the line onto a premultiplied image from x = 0 with its baseline at the given
    // height, both in the image's logical pixels; the image's pixel ratio sizes the glyphs.
    // The ground is the colour the image was filled with (transparent, or a back colour).
    void draw(QImage& image, double baseline, QColor color, QColor ground) const;

private:
    TextShaper::Shaped shaped_;
};

}  // namespace forms
