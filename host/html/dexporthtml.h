#pragma once

#include "host/html/dhtmlwriter.h"

#include <QCoreApplication>
#include <QSize>
#include <QString>

#include <memory>
#include <optional>

class DDocument;
class DGraphic;
class QAILogMonitor;
class QAIProgressMonitor;
class QIODevice;

// Writes a document as an HTML page into a folder: <name>.html with the document's title, each
// linked chart as <name>.svg and <name>.png (further charts <name>_2.svg ...), and under each
// chart the table of its curves. dhtml.cfg (DHtmlSettings) tunes sizes, formats and style.
// Every file is written whole or not at all.
class DExportHtml
{
    Q_DECLARE_TR_FUNCTIONS(DExportHtml)

public:
    // `directory` receives the files (made when missing); `configPath` is the dhtml.cfg to read
    // at each generate().
    DExportHtml(const QString& directory, const QString& configPath);
    ~DExportHtml();
    DExportHtml(const DExportHtml&) = delete;
    DExportHtml& operator=(const DExportHtml&) = delete;

    // Written into the pages' generator meta tag (the studio's name and version); empty: none.
    QString generator;

    // The writer of the pages, not owned; null: the engine's own DHTMLWriter.
    void setHTMLWriter(DHTMLWriter* writer);
    // Replaces the image size of dhtml.cfg (kept within its bounds) for the following exports.
    void setImageSize(const QSize& size);

    QString directory() const { return targetDirectory; }
    // The page written by the last successful generate(); empty before.
    QString pageFile() const { return lastPage; }

    // Writes `document`. Progress and messages go to the monitors (either may be null; they stay
    // the caller's). Answers false, with an error in the log, when a file could not be written,
    // the document is null or the progress monitor asked to stop.
    bool generate(DDocument* document, QAIProgressMonitor* progress, QAILogMonitor* log);

private:
    class Run;

    QString targetDirectory;
    QString configFile;
    DHTMLWriter* writer = nullptr;
    std::unique_ptr<DHTMLWriter> builtInWriter;
    std::optional<QSize> imageSize;
    QString lastPage;
};
