// SPDX-License-Identifier: GPL-3.0-or-later
// The keyboard's way to a clickable image. A classic image has no window and cannot take
// focus, so a borderless widget lies over it: it is in the window's tab order, draws a
// focus frame around the picture and clicks it on Space or Enter. The mouse passes
// through it to the image as before.
#pragma once

#include <QWidget>

namespace forms {

class Image;

class ImageKeyTarget : public QWidget {
    Q_OBJECT
public:
    ImageKeyTarget(Image& image, QWidget& window);

    Image& image() const { return image_; }
    // Follows the image's place and visibility on the window.
    void follow();

protected:
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    Image& image_;
};

}  // namespace forms
