#include "map/base_map.h"

#include <stdexcept>

namespace senki {

QImage LoadBaseMap()
{
    QImage image(QStringLiteral(":/map/base_map.png"));
    if (image.isNull() || image.width() != kMapWidth || image.height() != kMapHeight)
        throw std::runtime_error("the base map resource is missing or damaged");
    return image.convertToFormat(QImage::Format_RGB32);
}

}  // namespace senki
