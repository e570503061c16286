#include "host/studio/getpix.h"

#include <QPixmapCache>

QPixmap QAPixmapCache::get(const char* name, const char* const* xpm)
{
    if (!name || !xpm)
        return QPixmap();
    // The cache may drop an entry under memory pressure; it is then built again from `xpm`.
    const QString key = QStringLiteral("gvz-getpix:") + QString::fromUtf8(name);
    QPixmap pixmap;
    if (QPixmapCache::find(key, &pixmap))
        return pixmap;
    pixmap = QPixmap(xpm);
    if (!pixmap.isNull())
        QPixmapCache::insert(key, pixmap);
    return pixmap;
}
