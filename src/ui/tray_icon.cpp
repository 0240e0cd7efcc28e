#include "ui/tray_icon.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace qm::ui {
namespace {

QPixmap draw(int size, const QColor& body, bool saving)
{
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    const qreal m = size * 0.06;
    QRectF page(m, m, size - 2 * m, size - 2 * m);
    p.setPen(Qt::NoPen);
    p.setBrush(body);
    p.drawRoundedRect(page, size * 0.18, size * 0.18);
    // Three ruled lines: a planner's page.
    p.setPen(QPen(QColor(255, 255, 255, 230), qMax(1.0, size / 14.0), Qt::SolidLine, Qt::RoundCap));
    for (int i = 0; i < 3; ++i) {
        const qreal y = page.top() + page.height() * (0.32 + 0.2 * i);
        p.drawLine(QPointF(page.left() + page.width() * 0.22, y), QPointF(page.right() - page.width() * 0.22, y));
    }
    if (saving) {
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(250, 200, 40));
        p.drawEllipse(QPointF(page.right() - size * 0.16, page.bottom() - size * 0.16), size * 0.16, size * 0.16);
    }
    return pixmap;
}

QIcon make(const QColor& body, bool saving)
{
    QIcon icon;
    for (int size : {16, 22, 24, 32, 48, 64, 128})
        icon.addPixmap(draw(size, body, saving));
    return icon;
}

}  // namespace

QIcon program_icon()
{
    static const QIcon icon = make(QColor(46, 110, 158), false);
    return icon;
}

QIcon saving_icon()
{
    static const QIcon icon = make(QColor(46, 110, 158), true);
    return icon;
}

}  // namespace qm::ui
