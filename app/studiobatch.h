#pragma once

#include <QCoreApplication>
#include <QSize>
#include <QString>
#include <QStringList>

class QAStViewerWindow;
class StudioMainWindow;

// What the command line asks of a studio that shows no window: the files open in one viewer
// window of the (unshown) main window, and the chart is chosen, listed, rendered and exported
// through the same window and menu entries that a user would take. Each operation answers false
// with the reason in errorString().
class StudioBatch
{
    Q_DECLARE_TR_FUNCTIONS(StudioBatch)

public:
    // `window` is not owned; it must outlive the batch.
    explicit StudioBatch(StudioMainWindow* window);

    // The names --chart takes, in the order of the chart types (time, xy, xyz).
    static QStringList chartNames();
    // Formats --render writes, by file suffix.
    static QStringList renderSuffixes();

    // Opens `files` in one window; every file must be a readable file.
    bool open(const QStringList& files);
    // The active window's curve list: a header line "Name\tValues\tMin\tMax", then one line per
    // row in list order with the texts of its four columns.
    bool curveList(QString* text);
    // Chooses the chart `name` (one of chartNames()) through the active window's tool menu.
    bool chooseChart(const QString& name);
    // Writes the chart shown, `size` pixels large, to `file` as PNG, SVG or PDF (by suffix).
    bool render(const QString& file, const QSize& size);
    // Exports the chart shown as HTML into `directory`.
    bool exportHtml(const QString& directory);

    QString errorString() const { return error; }

private:
    QAStViewerWindow* viewer() const;
    bool fail(const QString& message);
    // Exports into `directory` with the studio's export settings in `configDirectory`.
    bool exportInto(const QString& directory, const QString& configDirectory);

    StudioMainWindow* mainWindow;
    QString error;
};
