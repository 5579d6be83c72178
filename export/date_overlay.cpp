#include "export/date_overlay.h"

#include <QFontMetrics>
#include <QPainter>

namespace senki {

QFont DateOverlayFont()
{
    static const QFont font = [] {
        QFont candidate;
        candidate.setFamilies({QStringLiteral("ＭＳ Ｐゴシック"), QStringLiteral("IPAPGothic")});
        // Crisp pixels, as a small bitmap face draws them: the letters are pure white.
        candidate.setStyleStrategy(QFont::NoAntialias);
        for (int pixels = kDateCellHeight + 2; pixels > 1; --pixels) {
            candidate.setPixelSize(pixels);
            if (QFontMetrics(candidate).height() <= kDateCellHeight)
                break;
        }
        return candidate;
    }();
    return font;
}

void DrawDateOverlay(QImage& picture, const QString& text)
{
    QPainter painter(&picture);
    painter.setFont(DateOverlayFont());
    painter.setPen(Qt::white);
    painter.setBackgroundMode(Qt::TransparentMode);
    const QFontMetrics metrics(painter.font());
    const int top = picture.height() - kDateBottomMargin;
    painter.drawText(0, top + metrics.ascent(), text);
}

}  // namespace senki
