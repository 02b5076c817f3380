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
#include <bitset>
#include <cstdint>
#include <optional>
#include <vector>

namespace forms {

// A font as the glyphs of a line refer to it.
struct GlyphFace {
    QRawFont font;
    std::uint64_t key = 0;
};

// The shaping of one font, kept for the texts of one label. Printable ASCII text is put
// together from the shaping of its single characters wherever shaping each pair of
// neighbours alone shows neither kerning nor ligatures, which is so for the numbers and
// coordinates the lessons write; anything else is shaped whole. A font whose spacing
// depends on more than the pair (the Song face spaces digits and brackets otherwise
// after a Latin letter) is always shaped whole: a few probes at first use tell.
class TextShaper {
public:
    explicit TextShaper(QFont font) : font_(std::move(font)) {}
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
    static constexpr int kFirst = 0x20;
    static constexpr int kCount = 0x7F - kFirst;

    std::optional<Shaped> composed(const QString& text);
    bool composesFaithfully();
    const Single& single(int code);
    bool pairJoinsPlainly(int first, int second);
    Shaped shapeWhole(const QString& text) const;

    QFont font_;
    std::optional<bool> faithful_;
    std::optional<GlyphFace> face_;  // the face every simple character comes from
    std::array<std::optional<Single>, kCount> singles_;
    std::bitset<kCount * kCount> pairsKnown_;
    std::bitset<kCount * kCount> pairsPlain_;
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
