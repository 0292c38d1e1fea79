#include "movie/display/BitmapObject.h"

namespace nimbrel::movie::display {

const QImage& BitmapObject::pixels() const
{
    static const QImage none;
    return pixels_ ? *pixels_ : none;
}

QRectF BitmapObject::localBounds() const
{
    const QImage& p = pixels();
    if (p.isNull())
        return QRectF();
    return QRectF(0, 0, p.width() * 20.0, p.height() * 20.0);
}

} // namespace nimbrel::movie::display
