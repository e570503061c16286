#pragma once

#include <QCoreApplication>
#include <QList>
#include <QSize>
#include <QString>

class DGraphic;

// One row of a page's curve table: the texts shown for a curve.
struct DHTMLCurveRow
{
    QString name;
    QString points;
    QString min; // empty when the curve has no finite value
    QString max;
};

// What one chart contributes to a page.
struct DHTMLChart
{
    // The rows of `graphic`'s curves: point count, minimum and maximum of the values the curve
    // carries (its Y coordinate in a 2-D chart, Z in a 3-D one), finite values only.
    static QList<DHTMLCurveRow> curveRows(const DGraphic& graphic);

    const DGraphic* graphic = nullptr; // not owned; alive while the page is written
    QString svgFile;                   // absolute paths of the images; empty when not written
    QString pngFile;
    QSize imageSize;
    QList<DHTMLCurveRow> curves;
};

// Everything a writer needs to write one page.
struct DHTMLPage
{
    QString title;
    QString filePath;       // absolute path of the page being written
    QString generator;      // for the generator meta tag; empty: none
    QString stylesheetFile; // absolute path of a linked stylesheet; empty: built-in style
    QList<DHTMLChart> charts;
};

// Turns a page description into HTML text. Subclasses change parts of the page through the
// protected hooks. Every text that comes from the page description is escaped.
class DHTMLWriter
{
    Q_DECLARE_TR_FUNCTIONS(DHTMLWriter)

public:
    DHTMLWriter() = default;
    virtual ~DHTMLWriter() = default;
    DHTMLWriter(const DHTMLWriter&) = delete;
    DHTMLWriter& operator=(const DHTMLWriter&) = delete;

    // The complete page: head, one section per chart, foot.
    QString write(const DHTMLPage& page) const;

    // `text` as HTML character data or a double-quoted attribute value.
    static QString escape(const QString& text);

protected:
    // hooks, each answering its part of the page:
    virtual QString head(const DHTMLPage& page) const;
    virtual QString chart(const DHTMLPage& page, const DHTMLChart& chart) const;
    virtual QString curveTable(const DHTMLChart& chart) const;
    virtual QString foot(const DHTMLPage& page) const;
    // The folder that links in the page are relative to: the page's own folder.
    virtual QString linkBase(const DHTMLPage& page) const;

    // An escaped, percent-encoded link to `filePath`, relative to linkBase().
    QString link(const DHTMLPage& page, const QString& filePath) const;
};
