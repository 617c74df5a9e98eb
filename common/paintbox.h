// PaintBox: a plot area that keeps its picture in an image.
//
// Handlers draw into image() at any time (exclusive-or cursors and rubber
// bands included) and call update(); the widget shows the image. The whole
// picture is drawn by `on_paint` (the window's PaintBox1Paint) when the
// box is first shown, when its size changes and after invalidate().
//
//   box->on_paint = [this] { QPainter p(&box->image()); draw_response(p, ...); };
//   QPainter p(&box->image());
//   p.setCompositionMode(QPainter::RasterOp_SourceXorDestination);  // a cursor
//   ...; box->update();
#pragma once

#include <QColor>
#include <QImage>
#include <QWidget>
#include <functional>

namespace suite {

class PaintBox : public QWidget {
    Q_OBJECT
public:
    explicit PaintBox(QWidget* parent = nullptr);

    // The picture, always of the widget's size.
    QImage& image();
    // Draws the whole picture anew at the next paint event.
    void invalidate();
    // Draws the whole picture anew at once (fresh image of the background).
    void paint_now();

    std::function<void()> on_paint;
    QColor background = Qt::white;

signals:
    void mouse_down(Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y);
    void mouse_move(Qt::MouseButtons buttons, Qt::KeyboardModifiers shift, int x, int y);
    void mouse_up(Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y);
    void mouse_wheel(int delta, Qt::KeyboardModifiers shift, int x, int y);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    QImage image_;
    bool dirty_ = true;
};

}  // namespace suite
