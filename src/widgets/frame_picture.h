#pragma once
// Large frames painted for a small region. The page pane and the map panel are framed by the style,
// which paints each frame as a picture stretched over the whole widget; a page switch repaints them,
// and only thin strips of them are left in sight by the page in front. Painting the whole frame into
// each strip cost a page switch more than all its fields, so the frame is drawn once into a picture
// (again when its size, state, palette or style change) and only the strips are copied from it.

#include <QPainter>
#include <QPixmap>
#include <QRegion>

namespace torvane {

class FramePicture {
  public:
    // Paints `region` of the frame that `draw(QPainter&)` paints over a widget of `size`; `look`
    // tells apart everything else the frame depends on.
    template <typename Draw>
    void paint(QPainter& painter, const QRegion& region, const QSize& size, quint64 look, Draw draw) {
        const qreal ratio = painter.device() != nullptr ? painter.device()->devicePixelRatioF() : 1.0;
        if (picture_.isNull() || picture_.deviceIndependentSize().toSize() != size || look != look_ ||
            picture_.devicePixelRatio() != ratio) {
            picture_ = QPixmap(size * ratio);
            picture_.setDevicePixelRatio(ratio);
            picture_.fill(Qt::transparent);
            QPainter p(&picture_);
            draw(p);
            look_ = look;
        }
        // Each piece is clipped to itself: a copy through the widget's whole region to paint (many
        // rectangles) costs many times that of a copy through one rectangle.
        for (const QRect& piece : region) {
            painter.save();
            painter.setClipRect(piece);
            painter.drawPixmap(QRectF(piece), picture_,
                               QRectF(piece.topLeft() * ratio, piece.size() * ratio));
            painter.restore();
        }
    }

  private:
    QPixmap picture_;
    quint64 look_ = 0;
};

}  // namespace torvane
