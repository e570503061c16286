#pragma once

#include <QByteArray>
#include <QString>
#include <QStringView>

// Post-processing of an SVG document as QSvgGenerator writes it (UTF-8), so that browsers and XML
// tools read it as the chart was drawn:
// - every font-family attribute that names one family names a CSS family list ending with the
//   font's generic family: Qt's "Sans Serif" (the default) becomes sans-serif, "DejaVu Serif"
//   becomes 'DejaVu Serif', serif; lists are left as they are;
// - every character that XML 1.0 cannot carry, written or referenced (&#1;), becomes U+FFFD, so
//   that texts taken from a trace (curve names) never make the document ill-formed.
// Everything else is kept; tidying a tidy document changes nothing.
QByteArray qaTidySvg(const QByteArray& svg);

// `text` with every character that XML 1.0 cannot carry (C0 controls other than tab, line feed
// and carriage return, lone surrogates, U+FFFE and U+FFFF) replaced by U+FFFD.
QString qaXmlSafeText(QStringView text);
