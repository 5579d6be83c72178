#pragma once
// The date written into every picture of a movie: small white letters on a
// transparent background in the bottom-left corner.

#include <QFont>
#include <QImage>
#include <QString>

namespace senki {

inline constexpr int kDateCellHeight = 10;   // the text cell, internal leading included
inline constexpr int kDateBottomMargin = 12;  // the cell's top lies this far above the picture's bottom

// The overlay's font: "ＭＳ Ｐゴシック", or a Japanese gothic face where that
// is missing, sized so that its cell is kDateCellHeight pixels high.
// Needs a QGuiApplication.
QFont DateOverlayFont();

// Draws `text` in white at (0, height − 12) of `picture`, left-aligned, with
// no box behind it.
void DrawDateOverlay(QImage& picture, const QString& text);

}  // namespace senki
