// SPDX-License-Identifier: GPL-3.0-or-later
// The top-level window around a lesson's client area, and the teacher's keys on it:
// zoom (Ctrl++ or Ctrl+=, Ctrl+-, Ctrl+0), full screen (F11, left by F11 or Escape),
// start afresh (Ctrl+R), copy or save a picture (Ctrl+C, Ctrl+S) and help (F1). None of
// them reaches the lesson, which neither sees the zoom nor gains a control.
#pragma once

#include <QWidget>
#include <functional>
#include <memory>
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

    // The zoom the lesson is shown at now, in percent: the chosen one in the window, the
    // fitting one at full screen.
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

private:
    void buildForm();
    void layOut();
    // What the keys do on the lesson's canvases.
    std::vector<KeyHelp> canvasKeys() const;

    FormEnvironment& environment_;
    FormFactory makeForm_;
    Desktop& desktop_;
    std::function<void(Form&)> prepare_;
    std::unique_ptr<Form> form_;
    PictureSaver pictureSaver_;
    double windowZoom_;  // the zoom in the window, kept while at full screen
    bool presenting_ = false;
};

}  // namespace forms
