#include "host/html/dhtmlwriter.h"

#include "host/chart/ditem.h"

#include <QDir>
#include <QFileInfo>
#include <QUrl>

#include <cmath>

namespace {

// The style of a page whose settings name no stylesheet.
const char* const BuiltInStyle = "body { font-family: sans-serif; margin: 2em; color: #222; }\n"
                                 "figure.chart img { max-width: 100%; height: auto; }\n"
                                 "table { border-collapse: collapse; margin-top: 1em; }\n"
                                 "th, td { border: 1px solid #bbb; "
                                 "padding: 0.2em 0.6em; }\n"
                                 "td.number { text-align: right; }\n";

QString numberText(float value)
{
    return QString::number(double(value), 'g', 6);
}

} // namespace

QList<DHTMLCurveRow> DHTMLChart::curveRows(const DGraphic& graphic)
{
    int axes = 0;
    for (DItem* child = graphic.firstChild; child; child = child->next)
        axes += child->toAxis() != nullptr ? 1 : 0;
    const int valueSlot = std::max(axes - 1, 0);

    QList<DHTMLCurveRow> rows;
    for (DItem* child = graphic.firstChild; child; child = child->next) {
        const DCurve* curve = child->toCurve();
        if (!curve)
            continue;
        int count = 0;
        bool any = false;
        float min = 0;
        float max = 0;
        for (DItem* item = curve->firstChild; item; item = item->next) {
            const DPoint* point = item->toPoint();
            if (!point)
                continue;
            ++count;
            const float value = point->coord(valueSlot);
            if (!std::isfinite(value))
                continue;
            min = any ? std::min(min, value) : value;
            max = any ? std::max(max, value) : value;
            any = true;
        }
        rows.append({curve->name, QString::number(count), any ? numberText(min) : QString(),
                     any ? numberText(max) : QString()});
    }
    return rows;
}

QString DHTMLWriter::write(const DHTMLPage& page) const
{
    QString html = head(page);
    for (const DHTMLChart& part : page.charts)
        html += chart(page, part);
    return html + foot(page);
}

QString DHTMLWriter::escape(const QString& text)
{
    return text.toHtmlEscaped();
}

QString DHTMLWriter::head(const DHTMLPage& page) const
{
    QString html = QStringLiteral("<!DOCTYPE html>\n<html>\n<head>\n<meta charset=\"utf-8\">\n");
    if (!page.generator.isEmpty())
        html += QStringLiteral("<meta name=\"generator\" content=\"%1\">\n")
                    .arg(escape(page.generator));
    html += QStringLiteral("<title>%1</title>\n").arg(escape(page.title));
    if (page.stylesheetFile.isEmpty())
        html += QStringLiteral("<style>\n%1</style>\n").arg(QLatin1String(BuiltInStyle));
    else
        html += QStringLiteral("<link rel=\"stylesheet\" href=\"%1\">\n")
                    .arg(link(page, page.stylesheetFile));
    return html + QStringLiteral("</head>\n<body>\n<h1>%1</h1>\n").arg(escape(page.title));
}

QString DHTMLWriter::chart(const DHTMLPage& page, const DHTMLChart& part) const
{
    const QString title = part.graphic ? part.graphic->title : QString();
    const QString size = QStringLiteral(" width=\"%1\" height=\"%2\"")
                             .arg(part.imageSize.width())
                             .arg(part.imageSize.height());
    const QString alt = escape(title.isEmpty() ? page.title : title);
    QString html = QStringLiteral("<figure class=\"chart\">\n");
    if (!part.svgFile.isEmpty() && !part.pngFile.isEmpty()) {
        // Browsers that cannot show SVG fall back to the PNG.
        html += QStringLiteral("<picture><source srcset=\"%1\" type=\"image/svg+xml\">"
                               "<img src=\"%2\" alt=\"%3\"%4></picture>\n")
                    .arg(link(page, part.svgFile), link(page, part.pngFile), alt, size);
    } else if (!part.svgFile.isEmpty() || !part.pngFile.isEmpty()) {
        html +=
            QStringLiteral("<img src=\"%1\" alt=\"%2\"%3>\n")
                .arg(link(page, part.svgFile.isEmpty() ? part.pngFile : part.svgFile), alt, size);
    }
    if (!title.isEmpty())
        html += QStringLiteral("<figcaption>%1</figcaption>\n").arg(escape(title));
    return html + QStringLiteral("</figure>\n") + curveTable(part);
}

QString DHTMLWriter::curveTable(const DHTMLChart& part) const
{
    QString html = QStringLiteral("<table class=\"curves\">\n<caption>%1</caption>\n"
                                  "<thead><tr><th>%2</th><th>%3</th><th>%4</th><th>%5</th></tr>"
                                  "</thead>\n<tbody>\n")
                       .arg(escape(tr("Curves")), escape(tr("Name")), escape(tr("Points")),
                            escape(tr("Min")), escape(tr("Max")));
    for (const DHTMLCurveRow& row : part.curves) {
        html += QStringLiteral("<tr><td>%1</td><td class=\"number\">%2</td>"
                               "<td class=\"number\">%3</td><td class=\"number\">%4</td></tr>\n")
                    .arg(escape(row.name), escape(row.points), escape(row.min), escape(row.max));
    }
    return html + QStringLiteral("</tbody>\n</table>\n");
}

QString DHTMLWriter::foot(const DHTMLPage&) const
{
    return QStringLiteral("</body>\n</html>\n");
}

QString DHTMLWriter::linkBase(const DHTMLPage& page) const
{
    return QFileInfo(page.filePath).absolutePath();
}

QString DHTMLWriter::link(const DHTMLPage& page, const QString& filePath) const
{
    const QString relative = QDir(linkBase(page)).relativeFilePath(filePath);
    return escape(QString::fromLatin1(QUrl::toPercentEncoding(relative, "/")));
}
