#include "viewer/jmensagenspz.h"

#include <QScrollBar>
#include <QVBoxLayout>

namespace kelmaw {

Tjmensagenspz::Tjmensagenspz(QWidget* parent) : QWidget(parent, Qt::Window) {
    setWindowTitle(QStringLiteral("Mensagens, pólos e zeros"));
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

}  // namespace kelmaw
