#include "app/map_view.h"

#include "app/picture_copy.h"

#include <QPainter>

namespace senki {

MapView::MapView(QWidget* parent) : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void MapView::SetPicture(const QImage& image)
{
    CopyPicture(picture_, image);
    update();
}

void MapView::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.drawImage(0, 0, picture_);
}

}  // namespace senki
