#pragma once

#include "host/studio/qastviewerwindow.h"

#include <QCoreApplication>
#include <QPointer>
#include <QSize>
#include <QString>
#include <QStringList>

#include <functional>

class StudioMainWindow;
class StudioOptions;

// What the command line asks of a studio that shows no window: the files open in one viewer
// window of the (unshown) main window, which is then driven only through the host operations of
// QAStViewerWindow. Each operation answers false with the reason in errorString().
class StudioBatch
{
    Q_DECLARE_TR_FUNCTIONS(StudioBatch)

public:
    // `window` is not owned; it must outlive the batch. `viewer` (may be null until open()) is
    // the window the batch drives.
    explicit StudioBatch(StudioMainWindow* window, QAStViewerWindow* viewer = nullptr);

    // Opens `files` in one window; every file must be a readable regular file.
    bool open(const QStringList& files);
    // Hands `print` the curve list line by line: a header "Name\tValues\tMin\tMax", then one line
    // per curve in list order, each ending in a newline.
    bool listCurves(const std::function<void(const QString& line)>& print);
    // The chart, the curves' roles and the view that `options` ask for, in that order.
    bool apply(const StudioOptions& options);
    bool chooseChart(QAStViewerWindow::ChartType type);
    // Writes the chart shown, `size` pixels large on white, to `file` as PNG, SVG or PDF (by
    // suffix). All three are drawn by the same call.
    bool render(const QString& file, const QSize& size);
    // Exports the chart shown as HTML into `directory`, through the window's own export.
    bool exportHtml(const QString& directory);

    QString errorString() const { return error; }

private:
    bool fail(const QString& message);
    bool haveViewer();

    StudioMainWindow* mainWindow;
    QPointer<QAStViewerWindow> viewer;
    QString error;
};
