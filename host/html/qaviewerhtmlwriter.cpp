#include "host/html/qaviewerhtmlwriter.h"

#include "host/chart/ditem.h"

#include <QDir>

void QAViewerHTMLWriter::setBaseForLink(const QString& directory)
{
    linkDirectory = directory;
}

QString QAViewerHTMLWriter::linkBase(const DHTMLPage& page) const
{
    return linkDirectory.isEmpty() ? DHTMLWriter::linkBase(page)
                                   : QDir(linkDirectory).absolutePath();
}

QString QAViewerHTMLWriter::chart(const DHTMLPage& page, const DHTMLChart& part) const
{
    QString html = DHTMLWriter::chart(page, part);
    if (!part.graphic)
        return html;
    html += QStringLiteral("<table class=\"axes\">\n<caption>%1</caption>\n"
                           "<thead><tr><th>%2</th><th>%3</th><th>%4</th></tr></thead>\n<tbody>\n")
                .arg(escape(tr("Axes")), escape(tr("Name")), escape(tr("From")), escape(tr("To")));
    for (DItem* child = part.graphic->firstChild; child; child = child->next) {
        const DAxis* axis = child->toAxis();
        if (!axis)
            continue;
        const auto bound = [axis](DAxis::Property p) {
            return axis->hasProperty(p) ? QString::number(double(axis->property(p)), 'g', 6)
                                        : QString();
        };
        const QString name = axis->unit().isEmpty()
                                 ? axis->name()
                                 : QStringLiteral("%1 (%2)").arg(axis->name(), axis->unit());
        html += QStringLiteral("<tr><td>%1</td><td class=\"number\">%2</td>"
                               "<td class=\"number\">%3</td></tr>\n")
                    .arg(escape(name), bound(DAxis::RangeMin), bound(DAxis::RangeMax));
    }
    return html + QStringLiteral("</tbody>\n</table>\n");
}
