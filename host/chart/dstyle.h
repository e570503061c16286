#pragma once

#include <QColor>
#include <QString>

class DFont
{
public:
    // `weight` is a QFont weight (0 means normal).
    DFont(const QString& family, int size, int weight);

    QString family;
    int size; // points on the target device
    int weight;
};

class DColor
{
public:
    DColor(unsigned char red, unsigned char green, unsigned char blue);

    QColor toQColor() const { return QColor(red, green, blue); }

    unsigned char red;
    unsigned char green;
    unsigned char blue;
};

// How a chart item looks. The style owns its font and colours; a member may be replaced
// directly (delete the old object first), and null means the engine's default:
// `fillColor` is painted behind the item (null: transparent), `penColor` draws its lines and
// texts (null: black), `markers` marks every point of a curve.
class DStyle
{
public:
    DStyle(const QString& name, DFont* font, DColor* fillColor, DColor* penColor, bool markers);
    ~DStyle();
    DStyle(const DStyle&) = delete;
    DStyle& operator=(const DStyle&) = delete;

    // Makes this style's font, colours and flag deep copies of `other`'s (the name stays).
    void copyLook(const DStyle& other);

    QString name;
    DFont* font;       // owned
    DColor* fillColor; // owned, first colour
    DColor* penColor;  // owned, second colour
    bool markers;
};
