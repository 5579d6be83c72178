#pragma once
// Copies a picture into one that a control owns, reusing the target's buffer
// when it has the same layout and is not shared. The copies stay independent:
// drawing on one never changes the other.

#include <QImage>

#include <cstring>

namespace senki {

inline void CopyPicture(QImage& target, const QImage& source)
{
    const bool sameLayout = target.size() == source.size() && target.format() == source.format()
                            && target.bytesPerLine() == source.bytesPerLine();
    if (sameLayout && target.isDetached())
        std::memcpy(target.bits(), source.constBits(), std::size_t(source.sizeInBytes()));
    else
        target = source.copy();
}

}  // namespace senki
