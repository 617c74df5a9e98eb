#include "common/paintbox.h"

#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>

namespace suite {

PaintBox::PaintBox(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
}

QImage& PaintBox::image() {
    const QSize want = size().expandedTo(QSize(1, 1));
    if (image_.size() != want) {
        image_ = QImage(want, QImage::Format_RGB32);
        image_.fill(background);
        dirty_ = true;
    }
    return image_;
}

void PaintBox::invalidate() {
    dirty_ = true;
    update();
}

void PaintBox::paint_now() {
    image();
    image_.fill(background);
    dirty_ = false;
    if (on_paint) on_paint();
    update();
}

void PaintBox::paintEvent(QPaintEvent*) {
    image();
    if (dirty_) paint_now();
    QPainter(this).drawImage(0, 0, image_);
}

void PaintBox::resizeEvent(QResizeEvent*) { dirty_ = true; }

void PaintBox::mousePressEvent(QMouseEvent* e) {
    const QPoint p = e->position().toPoint();
    emit mouse_down(e->button(), e->modifiers(), p.x(), p.y());
}

void PaintBox::mouseMoveEvent(QMouseEvent* e) {
    const QPoint p = e->position().toPoint();
    emit mouse_move(e->buttons(), e->modifiers(), p.x(), p.y());
}

void PaintBox::mouseReleaseEvent(QMouseEvent* e) {
    const QPoint p = e->position().toPoint();
    emit mouse_up(e->button(), e->modifiers(), p.x(), p.y());
}

void PaintBox::wheelEvent(QWheelEvent* e) {
    const QPoint p = e->position().toPoint();
    emit mouse_wheel(e->angleDelta().y(), e->modifiers(), p.x(), p.y());
}

}  // namespace suite
