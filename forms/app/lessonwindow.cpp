// SPDX-License-Identifier: GPL-3.0-or-later
#include "lessonwindow.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QPainter>
#include <QScreen>
#include <QStyle>
#include <QTimer>
#include <QWindow>
#include <algorithm>
#include <cmath>
#include <utility>

#include "canvasview.h"
#include "desktop.h"
#include "lessoninfo.h"
#include "repaintareas.h"
#include "zoom.h"

namespace forms {

namespace {

// Wayland leaves a window's place to the compositor: a client can neither ask for one nor
// learn where it is.
bool platformPlacesWindows() {
    return !QGuiApplication::platformName().startsWith(QLatin1String("wayland"));
}

// A Wayland compositor answers the end of full screen with a size of its own, the last one
// it configured: the full screen's. A size asked for before that answer is overridden by it.
bool leavingAwaitsAnswer() {
    return !platformPlacesWindows();
}

}  // namespace

LessonWindow::LessonWindow(FormEnvironment& environment, FormFactory factory, Desktop& desktop,
                           double zoomPercent, std::function<void(Form&)> prepare)
    : environment_(environment),
      makeForm_(std::move(factory)),
      desktop_(desktop),
      prepare_(std::move(prepare)),
      pictureSaver_(desktop, environment.messages),
      windowZoom_(zoomPercent / 100) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    settle_.setSingleShot(true);
    settle_.setInterval(200);
    connect(&settle_, &QTimer::timeout, this, [this] {
        if (returnTo_ && !presenting_ && platformPlacesWindows()) move(*returnTo_);
        returnTo_.reset();
        keepOnScreen();
        placing_ = false;
    });
    buildForm();
}

LessonWindow::~LessonWindow() = default;

void LessonWindow::buildForm() {
    form_ = makeForm_(environment_);
    if (prepare_) prepare_(*form_);
    QWidget& client = form_->window();
    setWindowTitle(client.windowTitle());
    if (!client.windowIcon().isNull()) setWindowIcon(client.windowIcon());
    // The window, not the client area inside it, opens where the design puts it, also at
    // (0, 0): a window never moved is placed by its client area, its title bar off the screen.
    if (!isVisible() && platformPlacesWindows()) move(client.pos());
    if (!isVisible()) normalPlace_ = client.pos();
    client.setParent(this);
    form_->load();
    layOut();
    client.show();
}

void LessonWindow::layOut() {
    QWidget& client = form_->window();
    if (presenting_) {
        // Within the screen as well as the window: a window manager may leave a full-screen
        // window at its old size for a while when the screen shrinks.
        QRect area = rect();
        if (screen())
            area &= QRect(mapFromGlobal(screen()->geometry().topLeft()), screen()->size());
        if (area.isEmpty()) area = rect();
        form_->setZoom(fittingZoom(form_->designSize(), area.size()));
        client.move(area.left() + (area.width() - client.width()) / 2,
                    area.top() + (area.height() - client.height()) / 2);
        update();
        return;
    }
    form_->setZoom(windowedZoom());
    const QSize zoomed = client.minimumSize();
    if (form_->isResizable()) {
        setMinimumSize(zoomed);
        setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
        resize(zoomed);
        client.setGeometry(rect());
    } else {
        setFixedSize(zoomed);
        // Limits that did not change resize nothing, and a window system may have sized the
        // window past them (the full screen's size handed back).
        resize(zoomed);
        client.move(0, 0);
    }
}

double LessonWindow::windowedZoom() const {
    const std::optional<QRect> area = desktop_.windowArea(*this);
    if (!area) return windowZoom_;
    const QSize room = area->size().shrunkBy(frameMarginsOrGuess());
    // Whole percents, so that the fitting zoom reads like a chosen one.
    const double fits = std::floor(fittingZoom(form_->designSize(), room) * 100 + 1e-9) / 100;
    return std::min(windowZoom_, std::max(fits, kMinZoomPercent / 100));
}

QMargins LessonWindow::frameMarginsOrGuess() const {
    if (const QWindow* handle = windowHandle()) {
        const QMargins frame = handle->frameMargins();
        if (!frame.isNull()) return frame;
    }
    // Before the window manager has framed the window: a title bar and thin borders.
    const int border = 4;
    return {border, style()->pixelMetric(QStyle::PM_TitleBarHeight) + border, border, border};
}

void LessonWindow::keepOnScreen() {
    if (presenting_ || keepingOnScreen_ || !isVisible()) return;
    keepingOnScreen_ = true;
    if (windowedZoom() != form_->zoom()) layOut();
    const std::optional<QRect> area = desktop_.windowArea(*this);
    if (area && platformPlacesWindows()) {
        // The size just asked for counts, though the window system may not have granted it.
        const QRect frame = geometry().marginsAdded(frameMarginsOrGuess());
        const auto within = [](int start, int length, int first, int room) {
            return std::max(first, std::min(start, first + room - length));
        };
        const QPoint to(within(frame.left(), frame.width(), area->left(), area->width()),
                        within(frame.top(), frame.height(), area->top(), area->height()));
        if (to != frame.topLeft()) move(pos() + (to - frame.topLeft()));
    }
    keepingOnScreen_ = false;
}

void LessonWindow::settleOnScreen() {
    // Once the window system has answered, not before: until then the window's place is
    // the one it had (after full screen, the screen's corner) and its frame may be unknown.
    placing_ = true;
    settle_.start();
}

void LessonWindow::setZoomPercent(double percent) {
    windowZoom_ = percent / 100;
    if (!presenting_) {
        layOut();
        keepOnScreen();
        settleOnScreen();
    }
}

void LessonWindow::zoomIn() {
    setZoomPercent(zoomStepAbove(zoomPercent()));
}

void LessonWindow::zoomOut() {
    setZoomPercent(zoomStepBelow(zoomPercent()));
}

void LessonWindow::setPresenting(bool presenting) {
    if (presenting_ == presenting) return;
    presenting_ = presenting;
    if (presenting) {
        if (isVisible()) normalPlace_ = pos();
        setMinimumSize(0, 0);
        setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
        // The window system sizes the window, and the resize lays the lesson out. Setting
        // the screen's geometry here instead would be remembered by the window manager as
        // the window's own place (its title bar off the screen after leaving), and on
        // Wayland a buffer of that size arrives before the full-screen one, which the
        // lesson then never paints.
        showFullScreen();
        if (screen())
            screenResized_ = connect(screen(), &QScreen::geometryChanged, this, [this] {
                if (presenting_) layOut();
            });
        layOut();
        return;
    }
    disconnect(screenResized_);
    showNormal();
    // Sizing the window asks for its size at the full-screen corner, and a window manager
    // grants that place; the window goes back to its own once it has answered.
    returnTo_ = normalPlace_;
    layOutWindowed();
    settleOnScreen();
}

void LessonWindow::layOutWindowed() {
    if (leavingAwaitsAnswer())
        awaitingWindowed_ = true;
    else
        layOut();
}

void LessonWindow::restart() {
    // The old lesson goes first, so that its timers are gone before the new one starts.
    form_.reset();
    buildForm();
}

QImage LessonWindow::picture() {
    RepaintBatch::tellNow();
    const QList<CanvasView*> canvases = form_->window().findChildren<CanvasView*>();
    for (CanvasView* canvas : canvases) canvas->setKeyMarksPainted(false);
    const QImage image = form_->window().grab().toImage();
    for (CanvasView* canvas : canvases) canvas->setKeyMarksPainted(true);
    return image;
}

void LessonWindow::copyPicture() {
    desktop_.copyImage(picture());
}

void LessonWindow::savePicture() {
    pictureSaver_.save(*this, picture());
}

namespace {

// The keys of the window itself, after those of the canvas.
const std::vector<KeyHelp>& windowKeys() {
    static const std::vector<KeyHelp> keys{
        {"Tab, Shift+Tab", "移到下一个、上一个控件"},
        {"空格键或回车键", "按下有焦点的按钮"},
        {"Ctrl++ 或 Ctrl+=", "放大"},
        {"Ctrl+-", "缩小"},
        {"Ctrl+0", "原大 (100%)"},
        {"F11", "全屏；F11 或 Esc 回到窗口"},
        {"Ctrl+R", "重新开始"},
        {"Ctrl+C", "复制窗口图片"},
        {"Ctrl+S", "把窗口图片保存为 PNG 文件"},
        {"F1", "本帮助"},
    };
    return keys;
}

std::string versionLines(const std::string& lineBreak) {
    return "版本 " + std::string(kLessonsVersion) + lineBreak + "许可证 " +
           std::string(kLessonsLicence);
}

// Columns on a terminal: an ideograph or a full-width sign takes two.
int terminalWidth(const std::string& text) {
    int width = 0;
    for (const char32_t c : QString::fromStdString(text).toUcs4()) width += c >= 0x1100 ? 2 : 1;
    return width;
}

}  // namespace

std::string LessonWindow::helpText(const std::string& caption,
                                   const std::vector<KeyHelp>& canvasKeys) {
    int keysWidth = 0;
    for (const auto* keys : {&canvasKeys, &windowKeys()})
        for (const KeyHelp& row : *keys) keysWidth = std::max(keysWidth, terminalWidth(row.keys));
    const auto lines = [&](const std::vector<KeyHelp>& keys) {
        std::string text;
        for (const KeyHelp& row : keys)
            text += "  " + row.keys +
                    std::string(size_t(keysWidth - terminalWidth(row.keys) + 2), ' ') + row.effect +
                    "\n";
        return text;
    };
    std::string text = caption + "\n\n";
    if (!canvasKeys.empty()) text += "坐标平面上：\n" + lines(canvasKeys) + "\n";
    return text + lines(windowKeys()) + "\n" + versionLines("\n");
}

// The same rows as a table, whose columns line up whatever the face.
std::string LessonWindow::helpTable(const std::string& caption,
                                    const std::vector<KeyHelp>& canvasKeys) {
    const auto escaped = [](const std::string& text) {
        return QString::fromStdString(text).toHtmlEscaped().toStdString();
    };
    const auto rows = [&](const std::vector<KeyHelp>& keys) {
        std::string html;
        for (const KeyHelp& row : keys)
            html += "<tr><td style=\"padding-right: 16px\">" + escaped(row.keys) + "</td><td>" +
                    escaped(row.effect) + "</td></tr>";
        return html;
    };
    std::string html = "<p><b>" + escaped(caption) + "</b></p><table>";
    if (!canvasKeys.empty())
        html += "<tr><td colspan=\"2\">坐标平面上：</td></tr>" + rows(canvasKeys) +
                "<tr><td colspan=\"2\">&nbsp;</td></tr>";
    return html + rows(windowKeys()) + "</table><p>" + versionLines("<br>") + "</p>";
}

std::vector<KeyHelp> LessonWindow::canvasKeys() const {
    std::vector<KeyHelp> keys;
    for (const Control* control : form_->controls())
        if (const auto* canvas = dynamic_cast<const Canvas*>(control))
            keys.insert(keys.end(), canvas->keyHelp.begin(), canvas->keyHelp.end());
    return keys;
}

void LessonWindow::showHelp() {
    // At full screen or zoomed in front of a class, the box is as large as the lesson.
    environment_.messages.present(*this, {.text = helpTable(form_->caption(), canvasKeys()),
                                          .title = "帮助",
                                          .zoom = form_->zoom()});
}

void LessonWindow::keyPressEvent(QKeyEvent* event) {
    // Shift and the keypad do not matter: Ctrl++ is Ctrl+Shift+= on many keyboards.
    const Qt::KeyboardModifiers modifiers =
        event->modifiers() & ~(Qt::ShiftModifier | Qt::KeypadModifier);
    const int key = event->key();
    if (modifiers == Qt::ControlModifier) {
        switch (key) {
            case Qt::Key_Plus:
            case Qt::Key_Equal:
                if (!presenting_) zoomIn();
                return;
            case Qt::Key_Minus:
                if (!presenting_) zoomOut();
                return;
            case Qt::Key_0:
                if (!presenting_) setZoomPercent(100);
                return;
            case Qt::Key_R:
                restart();
                return;
            case Qt::Key_C:
                copyPicture();
                return;
            case Qt::Key_S:
                savePicture();
                return;
            default:
                break;
        }
    } else if (modifiers == Qt::NoModifier) {
        switch (key) {
            case Qt::Key_F11:
                setPresenting(!presenting_);
                return;
            case Qt::Key_Escape:
                if (presenting_) {
                    setPresenting(false);
                    return;
                }
                break;
            case Qt::Key_F1:
                showHelp();
                return;
            default:
                break;
        }
    }
    QWidget::keyPressEvent(event);
}

void LessonWindow::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    if (presenting_) {
        layOut();
        return;
    }
    if (std::exchange(awaitingWindowed_, false)) {
        // The answer to leaving full screen: the window asks for its own size again, and all
        // of it is painted afresh, since the buffer it had was the full screen's.
        layOut();
        update();
    } else if (form_->isResizable()) {
        form_->window().setGeometry(rect());
    }
    if (placing_) settle_.start();
}

void LessonWindow::paintEvent(QPaintEvent* event) {
    QPainter(this).fillRect(event->rect(), toQColor(form_->backColor()));
}

void LessonWindow::moveEvent(QMoveEvent* event) {
    QWidget::moveEvent(event);
    // Full screen is laid out within the screen, so where the window lies counts too.
    if (presenting_) layOut();
    // Still answering what the window asked for; a teacher's own move is left alone.
    if (placing_) settle_.start();
}

void LessonWindow::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (!presenting_) settleOnScreen();
}

void LessonWindow::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    // The window manager may end full screen by itself.
    if (event->type() == QEvent::WindowStateChange && presenting_ &&
        !(windowState() & Qt::WindowFullScreen) && isVisible()) {
        presenting_ = false;
        disconnect(screenResized_);
        layOutWindowed();
        settleOnScreen();
    }
}

}  // namespace forms
