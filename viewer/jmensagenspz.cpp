#include "viewer/jmensagenspz.h"

#include <QScrollBar>
#include <QVBoxLayout>
#include <algorithm>

namespace kelmaw {

Tjmensagenspz::Tjmensagenspz(QWidget* parent) : QWidget(parent, Qt::Window) {
    setWindowTitle(QStringLiteral("Mensagens, pólos e zeros"));
    // Shown at the start beside the main window, it leaves the keys to the plot.
    setAttribute(Qt::WA_ShowWithoutActivating);
    resize(480, 300);
    mensagens = new QPlainTextEdit(this);
    mensagens->setObjectName("mensagens");
    mensagens->setReadOnly(true);
    mensagens->setLineWrapMode(QPlainTextEdit::NoWrap);
    mensagens->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(mensagens);
}

void Tjmensagenspz::report(const QString& line) {
    mensagens->appendPlainText(line);
    mensagens->verticalScrollBar()->setValue(mensagens->verticalScrollBar()->maximum());
}

QStringList Tjmensagenspz::lines() const {
    QStringList all = mensagens->toPlainText().split('\n');
    if (mensagens->document()->isEmpty()) all.clear();
    return all;
}

QRect message_window_frame(const QRect& free, const QRect& main, QSize size) {
    constexpr int kGap = 8;
    const int w = size.width(), h = size.height();
    auto clamp_x = [&](int x) { return std::max(free.left(), std::min(x, free.right() + 1 - w)); };
    auto clamp_y = [&](int y) { return std::max(free.top(), std::min(y, free.bottom() + 1 - h)); };
    const QRect spots[] = {
        {clamp_x(main.left()), main.bottom() + 1 + kGap, w, h},
        {main.right() + 1 + kGap, clamp_y(main.top()), w, h},
        {main.left() - kGap - w, clamp_y(main.top()), w, h},
        {clamp_x(main.left()), main.top() - kGap - h, w, h},
    };
    for (const QRect& r : spots)
        if (free.contains(r) && !r.intersects(main)) return r;
    const int above = main.top() - kGap - free.top();
    const int below = free.bottom() - main.bottom() - kGap;
    const int band = std::max(above, below);
    if (band >= 120) {
        const int y = above >= below ? free.top() : main.bottom() + 1 + kGap;
        return {clamp_x(main.left()), y, w, std::min(h, band)};
    }
    return {free.topLeft(), size};
}

}  // namespace kelmaw
