#include "host/studio/qafontutil.h"

#include <QApplication>
#include <QFontDatabase>

QFont QAFontUtil::defaultFont()
{
    return QApplication::font();
}

QFont QAFontUtil::fixedFont()
{
    QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    const QFont base = defaultFont();
    if (base.pixelSize() > 0)
        font.setPixelSize(base.pixelSize());
    else
        font.setPointSizeF(base.pointSizeF());
    return font;
}
