#include "gui/common/Logo.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <algorithm>

namespace {

// The emblem alone in a square of side s at (x, y).
void DrawEmblem(QPainter& p, qreal x, qreal y, qreal s) {
    const QPointF centre(x + s / 2, y + s * 0.72);
    // Spectrum arc: violet inside to red outside.
    const QColor bands[] = {QColor(120, 60, 200), QColor(40, 90, 230), QColor(30, 170, 90), QColor(240, 200, 30),
                            QColor(245, 130, 30), QColor(220, 40, 40)};
    const int n = 6;
    const qreal inner = s * 0.30, outer = s * 0.48;
    const qreal band = (outer - inner) / n;
    p.setPen(Qt::NoPen);
    for (int i = n - 1; i >= 0; --i) {
        const qreal r = inner + band * (i + 1);
        QPainterPath path;
        path.moveTo(centre.x() - r, centre.y());
        path.arcTo(QRectF(centre.x() - r, centre.y() - r, 2 * r, 2 * r), 180, -180);
        path.closeSubpath();
        p.setBrush(bands[i]);
        p.drawPath(path);
    }
    // Clear the inside of the arc, then the rising sun.
    {
        QPainterPath path;
        path.moveTo(centre.x() - inner, centre.y());
        path.arcTo(QRectF(centre.x() - inner, centre.y() - inner, 2 * inner, 2 * inner), 180, -180);
        path.closeSubpath();
        p.setBrush(QColor(255, 255, 255));
        p.drawPath(path);
    }
    const qreal sun = s * 0.20;
    QRadialGradient glow(centre, sun);
    glow.setColorAt(0, QColor(255, 236, 120));
    glow.setColorAt(1, QColor(255, 160, 20));
    QPainterPath sunPath;
    sunPath.moveTo(centre.x() - sun, centre.y());
    sunPath.arcTo(QRectF(centre.x() - sun, centre.y() - sun, 2 * sun, 2 * sun), 180, -180);
    sunPath.closeSubpath();
    p.setBrush(glow);
    p.drawPath(sunPath);
    // Horizon.
    p.setBrush(QColor(30, 50, 90));
    p.drawRect(QRectF(x + s * 0.04, centre.y(), s * 0.92, std::max<qreal>(1.0, s * 0.06)));
}

}  // namespace

QPixmap HeliarcLogo(int width, int height, qreal devicePixelRatio) {
    width = std::max(width, 1);
    height = std::max(height, 1);
    QPixmap pixmap(qRound(width * devicePixelRatio), qRound(height * devicePixelRatio));
    pixmap.setDevicePixelRatio(devicePixelRatio);
    pixmap.fill(Qt::white);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    const qreal side = std::min<qreal>(height, width);
    DrawEmblem(p, 2, (height - side) / 2.0, side - 4);
    // The name beside the emblem when there is room for it.
    const qreal textLeft = side + 4;
    if (width - textLeft > height) {
        QFont font(QStringLiteral("DejaVu Sans"));
        font.setBold(true);
        font.setPixelSize(std::max(8, qRound(height * 0.42)));
        p.setFont(font);
        p.setPen(QColor(30, 50, 90));
        p.drawText(QRectF(textLeft, 0, width - textLeft, height * 0.62), Qt::AlignLeft | Qt::AlignBottom,
                   QStringLiteral("Heliarc"));
        QFont small = font;
        small.setBold(false);
        // The line under the name shrinks until it fits beside the emblem.
        const QString subtitle = QStringLiteral("ZQ118 spectroradiometer");
        int px = std::max(7, qRound(height * 0.2));
        small.setPixelSize(px);
        while (px > 7 && QFontMetrics(small).horizontalAdvance(subtitle) > width - textLeft - 4) small.setPixelSize(--px);
        p.setFont(small);
        p.setPen(QColor(90, 100, 120));
        p.drawText(QRectF(textLeft, height * 0.62, width - textLeft, height * 0.38), Qt::AlignLeft | Qt::AlignTop, subtitle);
    }
    return pixmap;
}

QIcon HeliarcIcon() {
    QIcon icon;
    for (int s : {16, 24, 32, 48, 64, 128, 256}) {
        QPixmap pm(s, s);
        pm.fill(Qt::transparent);
        QPainter p(&pm);
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(Qt::NoPen);
        p.setBrush(Qt::white);
        p.drawRoundedRect(QRectF(0, 0, s, s), s * 0.18, s * 0.18);
        DrawEmblem(p, s * 0.04, s * 0.04, s * 0.92);
        p.end();
        icon.addPixmap(pm);
    }
    return icon;
}
