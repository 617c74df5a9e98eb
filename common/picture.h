// Renders a drawing function into a PNG or SVG file, the way the
// command-line twins save the pictures the windows show.
//
//   save_picture("plot.png", {640, 480}, [&](QPainter& p) { draw_response(p, ...); });
#pragma once

#include <QImage>
#include <QSize>
#include <functional>
#include <string>

class QPainter;

namespace suite {

using DrawFunction = std::function<void(QPainter&)>;

// A picture of `size` on a white background.
QImage render_picture(QSize size, const DrawFunction& draw);
// Saves as SVG when the name ends in ".svg", else as PNG, through the safe
// writer. Throws IoError.
void save_picture(const std::string& path, QSize size, const DrawFunction& draw);

}  // namespace suite
