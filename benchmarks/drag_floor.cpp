// SPDX-License-Identifier: GPL-3.0-or-later
// drag-floor [--zoom PERCENT] [--fullscreen]
// The least a Qt Widgets program does for a drag: one widget of dorvane's client size, one
// segment whose free end follows the pointer while the left button is held, and a repaint
// of only the rectangle the segment covered before and after. drag-cpu-benchmark measures
// the lessons against it.
#include <QApplication>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QScreen>
#include <QWidget>
#include <algorithm>

namespace {

const QSizeF kClient(524, 492);
// The other end, from the pressed one, as dorvane's B lies from its A.
const QPointF kOtherEnd(99, -132);

class Segment : public QWidget {
public:
    explicit Segment(double zoom) : zoom_(zoom) {
        setAttribute(Qt::WA_OpaquePaintEvent);
        resize((kClient * zoom).toSize());
    }
    void setZoom(double zoom) { zoom_ = zoom; }

protected:
    void mousePressEvent(QMouseEvent* event) override {
        update(covered());
        end_ = event->position();
        fixed_ = end_ + kOtherEnd * zoom_;
        update(covered());
    }
    void mouseMoveEvent(QMouseEvent* event) override {
        if (!(event->buttons() & Qt::LeftButton)) return;
        update(covered());
        end_ = event->position();
        update(covered());
    }
    void paintEvent(QPaintEvent* event) override {
        QPainter painter(this);
        painter.fillRect(event->rect(), QColor(0xF0, 0xF0, 0xF0));
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(QPen(Qt::black, zoom_));
        painter.drawLine(fixed_, end_);
    }

private:
    QRect covered() const {
        const double reach = zoom_ + 2;
        return QRectF(fixed_, end_)
            .normalized()
            .adjusted(-reach, -reach, reach, reach)
            .toAlignedRect();
    }

    double zoom_;
    QPointF fixed_{230, 109};
    QPointF end_{131, 241};
};

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    const qsizetype zoomAt = arguments.indexOf("--zoom");
    const double zoom = zoomAt > 0 ? arguments.value(zoomAt + 1).toDouble() / 100 : 1;
    Segment segment(zoom > 0 ? zoom : 1);
    if (arguments.contains("--fullscreen")) {
        const QSize screen = segment.screen()->geometry().size();
        segment.setZoom(
            std::min(screen.width() / kClient.width(), screen.height() / kClient.height()));
        segment.showFullScreen();
    } else {
        segment.show();
    }
    return app.exec();
}
