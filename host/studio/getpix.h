#pragma once

#include <QPixmap>

// Pixmaps of embedded XPM images, built once and cached under their name.
class QAPixmapCache
{
public:
    // The pixmap cached as `name`, built from `xpm` when it is not cached yet. A null pixmap when
    // `name` or `xpm` is null or the image data is not a valid XPM.
    static QPixmap get(const char* name, const char* const* xpm);
};

// GETPIX("reload_xpm", reload_xpm): the pixmap of an embedded image, by name.
#define GETPIX(name, xpm) QAPixmapCache::get((name), (xpm))
