#pragma once

#include <QByteArray>
#include <QString>
#include <QStringView>

#include <functional>
#include <optional>

class QIODevice;
class QPainter;
class QSize;

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

// The tidy SVG document of what `draw` paints on `size` pixels, one pixel one user unit, at `dpi`
// dots per inch. `title` and `description` are plain text (escaped here); without them the
// document keeps the generator's own. A null array when the painter cannot draw there or `draw`
// answers false.
QByteArray qaRenderSvg(const QSize& size, int dpi, const std::function<bool(QPainter&)>& draw,
                       const std::optional<QString>& title = std::nullopt,
                       const std::optional<QString>& description = std::nullopt);

// Writes to `device` the PNG image of what `draw` paints on `size` pixels, tagged with `dpi` dots
// per inch as the SVG document is. False when the image cannot be made, `draw` answers false or
// the image cannot be written.
bool qaRenderPng(QIODevice& device, const QSize& size, int dpi,
                 const std::function<bool(QPainter&)>& draw);
