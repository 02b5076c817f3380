// SPDX-License-Identifier: GPL-3.0-or-later
// Fonts as a lesson names them (face, points, bold, italic), mapped to faces that Debian
// ships: the classic Western serif to Liberation Serif (same metrics, so auto-sized
// labels keep their widths), 宋体 to Noto Serif CJK SC and the other Chinese faces to
// the AR PL families. Sizes are in pixels for 96 dots per inch whatever the screen says,
// so layouts never depend on it.
#pragma once

#include <QFont>
#include <QString>
#include <string>
#include <vector>

namespace forms {

struct FontSpec {
    std::string face = "宋体";
    double points = 9;
    bool bold = false;
    bool italic = false;
};

// Loads the mapped font files into the application, so that the program does not rely
// on the machine's font configuration, and gives the application's own texts (message
// boxes, dialogs) a Chinese face. Call after the application object exists; a second
// call adds nothing.
void installFontMapping();

// The Qt font for a classic font description.
QFont toQFont(const FontSpec& described);

// The pixel height of a classic point size at 96 dots per inch, rounded to whole pixels
// as the classic platform picks them.
int pixelSizeForPoints(double points);

// Where a line of text in this font has its baseline, below the line's top, and how tall
// the line is, in pixels. The Song face is set on its em box, as the classic platform set
// 宋体: its own line spacing is nearly half as tall again, and would push the text down
// out of the labels designed around it.
struct LineBox {
    double ascent;
    double height;
};
LineBox lineBox(const QFont& font);

// How far a line of text in a font advances, in pixels. A lesson that draws its axes
// again at every pointer movement prints the same few numbers each time: the last
// answers are kept, since laying out a text costs more than the rest of printing it.
class TextAdvances {
public:
    double of(const QFont& font, const QString& text);

private:
    struct Known {
        QFont font;
        QString text;
        double advance;
    };
    std::vector<Known> known_;
};

// The serif the formula pictures are set in, at a pixel size and unhinted, so that its
// outlines keep their shapes at every zoom.
QFont pictureSerif(int pixelSize, bool italic);

}  // namespace forms
