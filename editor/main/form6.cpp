#include "editor/main/form6.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPixmap>
#include <QVBoxLayout>

#include "editor/library/bitmaps.h"

namespace plaxew {

QPixmap plaxe_icon(int scale) {
    QPixmap icon(18 * scale, 18 * scale);
    icon.fill(Qt::white);
    QPainter p(&icon);
    p.setPen(QPen(Qt::darkGray, 1));
    p.drawRect(0, 0, icon.width() - 1, icon.height() - 1);
    const editor::Bitmap& r = editor::kind_bitmap(1);
    for (int row = 0; row < 16; ++row)
        for (int col = 0; col < 16; ++col)
            if (editor::bitmap_bit(r, row, col))
                p.fillRect((col + 1) * scale, (row + 1) * scale, scale, scale, Qt::black);
    return icon;
}

TForm6::TForm6(QWidget* parent) : QDialog(parent) {
    setObjectName("Form6");
    setWindowTitle("About");
    Image1 = new QLabel(this);
    Image1->setObjectName("Image1");
    Image1->setPixmap(plaxe_icon(2));
    Label1 = new QLabel("Plaxe for Windows", this);
    Label1->setObjectName("Label1");
    Lversion = new QLabel(this);
    Lversion->setObjectName("Lversion");
    auto* text = new QVBoxLayout;
    text->addWidget(Label1);
    text->addWidget(Lversion);
    auto* layout = new QHBoxLayout(this);
    layout->addWidget(Image1, 0, Qt::AlignTop);
    layout->addLayout(text);
    resize(260, 80);
}

}  // namespace plaxew
