#include "app/map_view.h"

#include <QPainter>

#include <cstring>

namespace senki {

MapView::MapView(QWidget* parent) : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void MapView::SetPicture(const QImage& image)
{
    // Every record shows a picture of the same size, so the copy goes into the
    // buffer already held instead of a fresh one, unless that buffer is shared.
    const bool sameLayout = picture_.size() == image.size() && picture_.format() == image.format()
                            && picture_.bytesPerLine() == image.bytesPerLine();
    if (sameLayout && picture_.isDetached())
        std::memcpy(picture_.bits(), image.constBits(), std::size_t(image.sizeInBytes()));
    else
        picture_ = image.copy();
    update();
}

void MapView::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.drawImage(0, 0, picture_);
}

}  // namespace senki
