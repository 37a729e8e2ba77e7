#include "gui/common/GraphIcons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace {

const QColor kInk(40, 40, 40);
const QColor kBlue(30, 90, 200);
const QColor kRed(210, 40, 40);
const QColor kGreen(20, 150, 40);
const QColor kPurple(128, 0, 128);
const QColor kOrange(230, 140, 0);

// Axis-group marks: a small letter tells which axis the zoom or shift acts on.
void AxisTag(QPainter& p, char which) {
    p.setPen(QPen(which == 'x' ? kBlue : which == 'y' ? kRed : kPurple, 1.2));
    if (which == 'x') {  // horizontal double bar
        p.drawLine(QPointF(1, 13.5), QPointF(6, 13.5));
    } else if (which == 'y') {
        p.drawLine(QPointF(1.5, 9), QPointF(1.5, 14));
    } else {  // ratio: a small percent sign
        p.drawEllipse(QRectF(0.5, 9.5, 2, 2));
        p.drawEllipse(QRectF(4, 12.5, 2, 2));
        p.drawLine(QPointF(5.5, 9.5), QPointF(1, 14.5));
    }
}

void Magnifier(QPainter& p, bool in) {
    p.setPen(QPen(kInk, 1.3));
    p.setBrush(QColor(220, 235, 255));
    p.drawEllipse(QRectF(5.5, 1.5, 8, 8));
    p.setPen(QPen(kInk, 2.2, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(7, 9), QPointF(4, 12.5));
    p.setPen(QPen(kInk, 1.2));
    p.drawLine(QPointF(7.5, 5.5), QPointF(11.5, 5.5));
    if (in) p.drawLine(QPointF(9.5, 3.5), QPointF(9.5, 7.5));
}

void Arrow(QPainter& p, int dx, int dy) {
    p.setPen(QPen(kInk, 1.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(kInk);
    const QPointF c(9.5, 6.5);
    const QPointF tip(c.x() + dx * 5, c.y() + dy * 5);
    const QPointF tail(c.x() - dx * 5, c.y() - dy * 5);
    p.drawLine(tail, tip);
    const QPointF side(dy * 3.0, dx * 3.0);
    const QPointF back(tip.x() - dx * 3.5, tip.y() - dy * 3.5);
    QPolygonF head;
    head << tip << back + side << back - side;
    p.drawPolygon(head);
}

void Curve(QPainter& p, const QColor& color, double lift) {
    QPainterPath path;
    path.moveTo(1.5, 12.5 - lift);
    path.cubicTo(5, 1 - lift, 9, 2 - lift, 14.5, 10 - lift);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(color, 1.6, Qt::SolidLine, Qt::RoundCap));
    p.drawPath(path);
}

void Axes(QPainter& p) {
    p.setPen(QPen(kInk, 1));
    p.drawLine(QPointF(1.5, 0.5), QPointF(1.5, 13.5));
    p.drawLine(QPointF(1.5, 13.5), QPointF(15.5, 13.5));
}

void Letters(QPainter& p, const QString& text, const QColor& color) {
    QFont f;
    f.setPixelSize(7);
    f.setBold(true);
    p.setFont(f);
    p.setPen(color);
    p.drawText(QRectF(0, 0, 16, 15), Qt::AlignCenter, text);
}

void Draw(QPainter& p, GraphCommand command) {
    p.setRenderHint(QPainter::Antialiasing, true);
    switch (command) {
        case GraphCommand::Settings: {  // a gear of eight teeth
            p.setPen(QPen(kInk, 1));
            p.setBrush(QColor(150, 150, 160));
            for (int i = 0; i < 8; ++i) {
                p.save();
                p.translate(8, 7.5);
                p.rotate(i * 45);
                p.drawRect(QRectF(-1.2, -7, 2.4, 3));
                p.restore();
            }
            p.drawEllipse(QPointF(8, 7.5), 4.8, 4.8);
            p.setBrush(Qt::white);
            p.drawEllipse(QPointF(8, 7.5), 1.8, 1.8);
            break;
        }
        case GraphCommand::Previous:
        case GraphCommand::Next: {
            const bool next = command == GraphCommand::Next;
            p.setPen(QPen(kInk, 1));
            p.setBrush(QColor(60, 140, 60));
            QPolygonF tri;
            if (next) tri << QPointF(4, 2) << QPointF(12, 7.5) << QPointF(4, 13);
            else tri << QPointF(12, 2) << QPointF(4, 7.5) << QPointF(12, 13);
            p.drawPolygon(tri);
            p.setPen(QPen(kInk, 1.6));
            p.drawLine(QPointF(next ? 13.5 : 2.5, 2), QPointF(next ? 13.5 : 2.5, 13));
            break;
        }
        case GraphCommand::XZoomIn: Magnifier(p, true); AxisTag(p, 'x'); break;
        case GraphCommand::XZoomOut: Magnifier(p, false); AxisTag(p, 'x'); break;
        case GraphCommand::XShiftRight: Arrow(p, 1, 0); AxisTag(p, 'x'); break;
        case GraphCommand::XShiftLeft: Arrow(p, -1, 0); AxisTag(p, 'x'); break;
        case GraphCommand::YZoomIn: Magnifier(p, true); AxisTag(p, 'y'); break;
        case GraphCommand::YZoomOut: Magnifier(p, false); AxisTag(p, 'y'); break;
        case GraphCommand::YShiftUp: Arrow(p, 0, -1); AxisTag(p, 'y'); break;
        case GraphCommand::YShiftDown: Arrow(p, 0, 1); AxisTag(p, 'y'); break;
        case GraphCommand::RatioZoomIn: Magnifier(p, true); AxisTag(p, 'r'); break;
        case GraphCommand::RatioZoomOut: Magnifier(p, false); AxisTag(p, 'r'); break;
        case GraphCommand::RatioShiftUp: Arrow(p, 0, -1); AxisTag(p, 'r'); break;
        case GraphCommand::RatioShiftDown: Arrow(p, 0, 1); AxisTag(p, 'r'); break;
        case GraphCommand::PlotMeasured: Axes(p); Curve(p, kRed, 0); break;
        case GraphCommand::PlotStandard: Axes(p); Curve(p, kGreen, 0); break;
        case GraphCommand::PlotDifference: {
            Axes(p);
            Curve(p, kPurple, -1);
            p.setPen(QPen(kPurple, 1.4));
            p.drawLine(QPointF(10, 2), QPointF(15, 2));
            break;
        }
        case GraphCommand::ShowRatio: Axes(p); Curve(p, kBlue, 0); Letters(p, "%", kBlue); break;
        case GraphCommand::ShowParPhotonLux: {  // a sun
            p.setPen(QPen(kOrange, 1.3, Qt::SolidLine, Qt::RoundCap));
            for (int i = 0; i < 8; ++i) {
                p.save();
                p.translate(8, 7.5);
                p.rotate(i * 45);
                p.drawLine(QPointF(0, -5), QPointF(0, -7));
                p.restore();
            }
            p.setBrush(QColor(255, 200, 40));
            p.drawEllipse(QPointF(8, 7.5), 3.5, 3.5);
            break;
        }
        case GraphCommand::ShowUv: Letters(p, "UV", kPurple); break;
        case GraphCommand::ShowIntegration: {  // the area under a curve
            QPainterPath area;
            area.moveTo(2, 13.5);
            area.cubicTo(5, 2, 10, 2, 14, 13.5);
            area.closeSubpath();
            p.setPen(QPen(kBlue, 1));
            p.setBrush(QColor(120, 170, 240));
            p.drawPath(area);
            Axes(p);
            break;
        }
        case GraphCommand::Copy: {  // two sheets
            p.setPen(QPen(kInk, 1));
            p.setBrush(Qt::white);
            p.drawRect(QRectF(1.5, 1.5, 8, 9));
            p.drawRect(QRectF(6.5, 4.5, 8, 9));
            p.setPen(QPen(kBlue, 1));
            p.drawLine(QPointF(8.5, 7.5), QPointF(12.5, 7.5));
            p.drawLine(QPointF(8.5, 10.5), QPointF(12.5, 10.5));
            break;
        }
        case GraphCommand::Save: {  // a diskette
            p.setPen(QPen(kInk, 1));
            p.setBrush(QColor(60, 90, 170));
            p.drawRect(QRectF(1.5, 1.5, 13, 12));
            p.setBrush(Qt::white);
            p.drawRect(QRectF(4.5, 1.5, 7, 5));
            p.setBrush(QColor(200, 200, 200));
            p.drawRect(QRectF(4.5, 9.5, 7, 4));
            break;
        }
        case GraphCommand::Print: {  // a printer with a sheet
            p.setPen(QPen(kInk, 1));
            p.setBrush(Qt::white);
            p.drawRect(QRectF(4.5, 0.5, 7, 6));
            p.setBrush(QColor(170, 170, 180));
            p.drawRect(QRectF(1.5, 5.5, 13, 6));
            p.setBrush(Qt::white);
            p.drawRect(QRectF(4.5, 9.5, 7, 5));
            p.setBrush(kGreen);
            p.setPen(Qt::NoPen);
            p.drawRect(QRectF(11.5, 7, 1.5, 1.5));
            break;
        }
        default: break;
    }
}

}  // namespace

QIcon GraphCommandIcon(GraphCommand command) {
    QIcon icon;
    for (int scale = 1; scale <= 3; ++scale) {
        QPixmap pixmap(16 * scale, 15 * scale);
        pixmap.fill(Qt::transparent);
        {
            QPainter p(&pixmap);
            p.scale(scale, scale);
            Draw(p, command);
        }
        pixmap.setDevicePixelRatio(scale);
        icon.addPixmap(pixmap);
    }
    return icon;
}
