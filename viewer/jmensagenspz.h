// Tjmensagenspz: the viewer's message window, one line per report.
#pragma once

#include <QPlainTextEdit>
#include <QRect>
#include <QStringList>
#include <QWidget>

namespace kelmaw {

class Tjmensagenspz : public QWidget {
    Q_OBJECT
public:
    explicit Tjmensagenspz(QWidget* parent = nullptr);

    // Appends one line to the memo.
    void report(const QString& line);
    // The memo's lines, in order.
    QStringList lines() const;

    QPlainTextEdit* mensagens = nullptr;
};

// Where the message window goes, as its frame (title bar included) on the
// screen's free area, clear of the main window's frame `main`: below it,
// right of it, left of it or above it, the first that holds the window of
// `size` whole; else in the larger band above or below the main window,
// lowered to the band's height when the band is at least 120 pixels high;
// else in the screen's top-left corner.
QRect message_window_frame(const QRect& free, const QRect& main, QSize size);

}  // namespace kelmaw
