#include "host/studio/qasvgtidy.h"

#include <QBuffer>
#include <QImage>
#include <QPainter>
#include <QRegularExpression>
#include <QSvgGenerator>

#include <functional>

namespace {

bool xmlCanCarry(char32_t c)
{
    return c == 0x9 || c == 0xA || c == 0xD || (c >= 0x20 && c < 0xD800)
           || (c >= 0xE000 && c < 0xFFFE) || (c >= 0x10000 && c <= 0x10FFFF);
}

// The CSS family list for one family name as Qt spells it.
QString cssFamilies(const QString& family)
{
    const QString name = family.trimmed().toLower();
    if (name == u"sans serif" || name == u"sansserif" || name == u"sans" || name == u"sans-serif")
        return QStringLiteral("sans-serif");
    if (name == u"serif")
        return QStringLiteral("serif");
    if (name == u"monospace" || name == u"mono" || name == u"typewriter")
        return QStringLiteral("monospace");
    const char* generic = "sans-serif";
    if (name.contains(u"mono") || name.contains(u"courier") || name.contains(u"console"))
        generic = "monospace";
    else if (name.contains(u"serif") && !name.contains(u"sans"))
        generic = "serif";
    QString quoted = family.trimmed();
    quoted.replace(u'\\', QLatin1String("\\\\")).replace(u'\'', QLatin1String("\\'"));
    return QStringLiteral("'%1', %2").arg(quoted, QLatin1String(generic));
}

QString replaceAll(const QString& text, const QRegularExpression& pattern,
                   const std::function<QString(const QRegularExpressionMatch&)>& replacement)
{
    QString out;
    qsizetype from = 0;
    for (QRegularExpressionMatchIterator it = pattern.globalMatch(text); it.hasNext();) {
        const QRegularExpressionMatch match = it.next();
        out += QStringView(text).sliced(from, match.capturedStart() - from);
        out += replacement(match);
        from = match.capturedEnd();
    }
    out += QStringView(text).sliced(from);
    return out;
}

} // namespace

QString qaXmlSafeText(QStringView text)
{
    QString safe;
    safe.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            safe += c;
            safe += text[++i];
        } else {
            safe += xmlCanCarry(c.unicode()) ? c : QChar(QChar::ReplacementCharacter);
        }
    }
    return safe;
}

QByteArray qaTidySvg(const QByteArray& svg)
{
    static const QRegularExpression reference(QStringLiteral("&#(x[0-9A-Fa-f]+|[0-9]+);"));
    static const QRegularExpression fontFamily(QStringLiteral("font-family=\"([^\",]*)\""));
    QString text = qaXmlSafeText(QString::fromUtf8(svg));
    text = replaceAll(text, reference, [](const QRegularExpressionMatch& match) {
        const QString digits = match.captured(1);
        bool ok = false;
        const uint code =
            digits.startsWith(u'x') ? digits.mid(1).toUInt(&ok, 16) : digits.toUInt(&ok);
        return ok && xmlCanCarry(code) ? match.captured(0) : QStringLiteral("&#xFFFD;");
    });
    text = replaceAll(text, fontFamily, [](const QRegularExpressionMatch& match) {
        return QStringLiteral("font-family=\"%1\"").arg(cssFamilies(match.captured(1)));
    });
    return text.toUtf8();
}

QByteArray qaRenderSvg(const QSize& size, int dpi, const std::function<bool(QPainter&)>& draw,
                       const std::optional<QString>& title,
                       const std::optional<QString>& description)
{
    QBuffer generated;
    generated.open(QIODevice::WriteOnly);
    QSvgGenerator svg;
    svg.setOutputDevice(&generated);
    svg.setSize(size);
    svg.setViewBox(QRect(QPoint(0, 0), size));
    svg.setResolution(dpi);
    // The generator writes title and description as they are.
    if (title)
        svg.setTitle(title->toHtmlEscaped());
    if (description)
        svg.setDescription(description->toHtmlEscaped());
    QPainter painter;
    if (!painter.begin(&svg) || !draw(painter) || !painter.end())
        return QByteArray();
    return qaTidySvg(generated.data());
}

bool qaRenderPng(QIODevice& device, const QSize& size, int dpi,
                 const std::function<bool(QPainter&)>& draw)
{
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    if (image.isNull())
        return false;
    image.setDotsPerMeterX(qRound(dpi / 0.0254));
    image.setDotsPerMeterY(qRound(dpi / 0.0254));
    QPainter painter(&image);
    const bool drawn = draw(painter);
    painter.end();
    return drawn && image.save(&device, "PNG");
}
