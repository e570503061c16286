#include "host/chart/dstyle.h"

DFont::DFont(const QString& fontFamily, int fontSize, int fontWeight)
    : family(fontFamily), size(fontSize), weight(fontWeight)
{
}

DColor::DColor(unsigned char r, unsigned char g, unsigned char b) : red(r), green(g), blue(b)
{
}

DStyle::DStyle(const QString& styleName, DFont* styleFont, DColor* fill, DColor* pen, bool marks)
    : name(styleName), font(styleFont), fillColor(fill), penColor(pen), markers(marks)
{
}

DStyle::~DStyle()
{
    delete font;
    delete fillColor;
    delete penColor;
}

void DStyle::copyLook(const DStyle& other)
{
    if (&other == this)
        return;
    delete font;
    delete fillColor;
    delete penColor;
    font = other.font ? new DFont(*other.font) : nullptr;
    fillColor = other.fillColor ? new DColor(*other.fillColor) : nullptr;
    penColor = other.penColor ? new DColor(*other.penColor) : nullptr;
    markers = other.markers;
}
