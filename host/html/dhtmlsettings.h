#pragma once

#include <QCoreApplication>
#include <QSize>
#include <QString>
#include <QStringList>

// The tuning of an HTML export, read from dhtml.cfg: key=value lines, '#' starts a comment.
//
//   image_width=800        chart image width in pixels (MinSide..MaxSide)
//   image_height=600       chart image height in pixels
//   formats=svg,png        image files to write: svg, png or both
//   stylesheet=gvz.css     CSS file (relative to dhtml.cfg) copied beside the page and linked;
//                          empty: a built-in style inside the page
//
// Every key is optional; a missing file, a missing key or a bad value leaves the default.
class DHtmlSettings
{
    Q_DECLARE_TR_FUNCTIONS(DHtmlSettings)

public:
    static constexpr int MinSide = 32;
    static constexpr int MaxSide = 4096;

    // Reads the file at `path`. Every value that was ignored, and a file that could not be read,
    // adds one human-readable line to `problems` (when given).
    static DHtmlSettings read(const QString& path, QStringList* problems);
    // Parses the text of a file; `baseDir` resolves a relative stylesheet.
    static DHtmlSettings parse(const QString& text, const QString& baseDir, QStringList* problems);

    QSize imageSize{800, 600};
    bool svg = true;
    bool png = true;
    QString stylesheet; // absolute path, empty for the built-in style
};
