#pragma once
// The map view: shows its own copy of a picture unscaled from the top-left
// corner, opaque. A picture taller than the view is cut off at the bottom.

#include <QImage>
#include <QWidget>

namespace senki {

class MapView : public QWidget {
public:
    explicit MapView(QWidget* parent = nullptr);

    // The picture becomes an independent copy of `image` and is repainted.
    void SetPicture(const QImage& image);
    const QImage& Picture() const { return picture_; }
    // For drawing on the shown copy (the movie frames); call update() after.
    QImage& Picture() { return picture_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QImage picture_;
};

}  // namespace senki
