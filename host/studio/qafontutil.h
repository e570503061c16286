#pragma once

#include <QFont>

// Fonts the studio's widgets use.
class QAFontUtil
{
public:
    // The application's default font.
    static QFont defaultFont();
    // A fixed-pitch font of the default font's size, for tables of numbers.
    static QFont fixedFont();
};
