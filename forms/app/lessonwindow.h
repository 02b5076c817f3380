// SPDX-License-Identifier: GPL-3.0-or-later
// The top-level window around a lesson's client area, and the teacher's keys on it:
// zoom (Ctrl++ or Ctrl+=, Ctrl+-, Ctrl+0), full screen (F11, left by F11 or Escape),
// start afresh (Ctrl+R), copy or save a picture (Ctrl+C, Ctrl+S) and help (F1). None of
// them reaches the lesson, which neither sees the zoom nor gains a control.
#pragma once

#include <QTimer>
#include <QWidget>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "form.h"
#include "picturesaver.h"

namespace forms {

class Desktop;

using FormFactory = std::function<std::unique_ptr<Form>(FormEnvironment&)>;

class LessonWindow : public QWidget {
    Q_OBJECT
public:
    // Makes the lesson, lets prepare see it (before Form_Load), runs Form_Load.
    LessonWindow(FormEnvironment& environment, FormFactory factory, Desktop& desktop,
                 double zoomPercent = 100, std::function<void(Form&)> prepare = {});
    ~LessonWindow() override;

    Form& form() const { return *form_; }

    // The zoom the lesson is shown at now, in percent: in the window the chosen one or, if
    // the window would not fit the desktop's area with it, the largest that does; at full
    // screen the one that fills the screen.
    double zoomPercent() const { return form_->zoom() * 100; }
    void setZoomPercent(double percent);
    void zoomIn();
    void zoomOut();

    bool isPresenting() const { return presenting_; }
    // Full screen: the lesson at the largest zoom that fits, centred on its back colour.
    void setPresenting(bool presenting);

    // Starts the lesson afresh as at launch; zoom and full screen stay.
    void restart();
    // The client area as shown, at the current zoom and pixel ratio, without the marks of
    // the keyboard (the focus frame, the ring, the cross): they are no part of the lesson.
    QImage picture();
    void copyPicture();
    // Asks for a file, and before replacing one, and writes the picture there whole or not
    // at all.
    void savePicture();
    void showHelp();

    // The help as plain text in two columns, the canvas's keys first, for a terminal.
    static std::string helpText(const std::string& caption,
                                const std::vector<KeyHelp>& canvasKeys = {});
    // The same as a table for the help box.
    static std::string helpTable(const std::string& caption,
                                 const std::vector<KeyHelp>& canvasKeys = {});

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void buildForm();
    void layOut();
    // What the keys do on the lesson's canvases.
    std::vector<KeyHelp> canvasKeys() const;
    // The zoom in the window: the one asked for, at most the largest that fits.
    double windowedZoom() const;
    // The window's frame, or a likely one while the window system has not told it yet.
    QMargins frameMarginsOrGuess() const;
    // Shrinks the window to fit the desktop's area and moves it wholly onto it: now, and
    // once more when the window system has settled what was asked of it.
    void keepOnScreen();
    void settleOnScreen();
    // Lays the window out for its own size once full screen has ended: now, or where the
    // window system answers later, when its size arrives.
    void layOutWindowed();

    FormEnvironment& environment_;
    FormFactory makeForm_;
    Desktop& desktop_;
    std::function<void(Form&)> prepare_;
    std::unique_ptr<Form> form_;
    PictureSaver pictureSaver_;
    // The zoom asked for in the window, kept while at full screen; what is shown may be less
    // (windowedZoom), so a larger screen or a known frame can give more of it later.
    double windowZoom_;
    bool presenting_ = false;
    bool keepingOnScreen_ = false;
    bool placing_ = false;  // the window's own change of size or place awaits its answer
    // Full screen left, and the compositor's size for the window not yet in.
    bool awaitingWindowed_ = false;
    QPoint normalPlace_;  // the framed window's place before full screen
    std::optional<QPoint> returnTo_;
    QTimer settle_;
    QMetaObject::Connection screenResized_;
};

}  // namespace forms
