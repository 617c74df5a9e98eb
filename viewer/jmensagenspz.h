// Tjmensagenspz: the viewer's message window, one line per report.
#pragma once

#include <QPlainTextEdit>
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

}  // namespace kelmaw
