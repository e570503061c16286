// Printing and the HTML export of the chart shown. Neither copies the chart: the export links it
// into a document for as long as the export reads it.
#include "viewer/qagvzviewer.h"

#include "graphic/qagvzgraphic.h"
#include "host/chart/ditem.h"
#include "host/html/dexporthtml.h"
#include "host/html/dexporthtmldialog.h"
#include "host/html/qaviewerhtmlwriter.h"
#include "host/studio/studiointerface.h"

#include <QDir>
#include <QFileInfo>
#include <QMainWindow>
#include <QMessageBox>
#include <QPageLayout>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QStatusBar>

#include <algorithm>

namespace {

bool runPrintDialog(QPrinter& printer, QWidget* parent)
{
    QPrintDialog dialog(&printer, parent);
    return dialog.exec() == QDialog::Accepted;
}

// The printable area in the painter's coordinates. A full-page printer paints from the corner of
// the paper, so the area is the paper less its margins; otherwise the origin is the printable
// area's corner already.
QRect printArea(const QPrinter& printer)
{
    if (!printer.fullPage())
        return QRect(0, 0, printer.width(), printer.height());
    const QPageLayout layout = printer.pageLayout();
    const int dpi = printer.resolution();
    return layout.fullRectPixels(dpi).marginsRemoved(layout.marginsPixels(dpi));
}

QString printTarget(const QPrinter& printer)
{
    if (!printer.outputFileName().isEmpty())
        return QDir::toNativeSeparators(printer.outputFileName());
    return printer.printerName().isEmpty() ? QAGVZViewer::tr("the default printer")
                                           : printer.printerName();
}

// Qt tells only that a printer failed; for a file the folder usually says why.
QString printFailure(const QPrinter& printer, bool started)
{
    if (started)
        return QAGVZViewer::tr("the print job ended with an error");
    if (printer.outputFileName().isEmpty())
        return QAGVZViewer::tr("the printer did not start");
    const QFileInfo folder(QFileInfo(printer.outputFileName()).absolutePath());
    if (!folder.isDir())
        return QAGVZViewer::tr("its folder does not exist");
    if (!folder.isWritable())
        return QAGVZViewer::tr("its folder cannot be written");
    return QAGVZViewer::tr("the file cannot be written");
}

std::unique_ptr<DDocument> newExportDocument()
{
    return std::make_unique<DDocument>(QAGVZViewer::tr("Chart Result"), QStringLiteral("index"));
}

} // namespace

void QAGVZViewer::print()
{
    QPrinter printer(QPrinter::ScreenResolution);
    if (!(printerSetup ? printerSetup(printer, this) : runPrintDialog(printer, this)))
        return;
    if (QMainWindow* host = hostMainWindow())
        host->statusBar()->showMessage(tr("Printing ..."));

    QPainter painter;
    const bool started = painter.begin(&printer);
    if (started)
        drawChart(painter, printArea(printer));
    if (!started || !painter.end() || printer.printerState() == QPrinter::Error) {
        if (QMainWindow* host = hostMainWindow())
            host->statusBar()->showMessage(tr("Printing failed."));
        QMessageBox::critical(this, tr("GVZ Viewer"),
                              tr("Cannot print to %1:\n%2")
                                  .arg(printTarget(printer), printFailure(printer, started)));
        return;
    }

    if (QMainWindow* host = hostMainWindow())
        host->statusBar()->showMessage(tr("Graphic printed."));
}

QString QAGVZViewer::exportConfigPath() const
{
    return _iface->exportDirectory() + QDir::separator() + QStringLiteral("dhtml.cfg");
}

void QAGVZViewer::exportDoc()
{
    if (!_iface || !graphic->graphic)
        return;
    exportDocuments.push_back(newExportDocument());
    DDocument* document = exportDocuments.back().get();
    linkExportDocuments();

    auto* dialog = new DExportHtmlDialog(document, exportConfigPath(), this, nullptr);
    dialog->generator = _iface->htmlGenerator();
    dialog->setHTMLWriter(new QAViewerHTMLWriter, true);
    connect(dialog, &DExportHtmlDialog::terminated, this, &QAGVZViewer::htmlGenTerminate);
    dialog->show();
}

void QAGVZViewer::htmlGenTerminate(DExportHtmlDialog* dialog)
{
    const QList<DDocument*> documents = dialog ? dialog->documents() : QList<DDocument*>();
    if (documents.isEmpty())
        return;
    const auto it =
        std::find_if(exportDocuments.begin(), exportDocuments.end(),
                     [&](const auto& owned) { return owned.get() == documents.first(); });
    if (it == exportDocuments.end())
        return;
    // Only the chart shown is ever linked, so clearing the links touches no other chart.
    unlinkExportDocuments();
    exportDocuments.erase(it);
    linkExportDocuments();
}

bool QAGVZViewer::exportHTML(const QString& dir, const QString&, QAIProgressMonitor* progress,
                             QAILogMonitor* log)
{
    DGraphic* chart = graphic->graphic;
    if (!_iface || !chart)
        return false;
    const std::unique_ptr<DDocument> document = newExportDocument();
    document->firstChild = chart;
    chart->parent = document.get();

    auto exporter = std::make_unique<DExportHtml>(dir, exportConfigPath());
    exporter->generator = _iface->htmlGenerator();
    auto writer = std::make_unique<QAViewerHTMLWriter>();
    writer->setBaseForLink(dir);
    exporter->setHTMLWriter(writer.get());
    const bool written = exporter->generate(document.get(), progress, log);
    writer.reset();
    exporter.reset();

    document->firstChild = nullptr;
    chart->parent = nullptr;
    // An interactive export still open keeps its link.
    linkExportDocuments();
    return written;
}

void QAGVZViewer::showGraphic(DGraphic* g)
{
    // The widget deletes the chart it shows: no open export may keep pointing at it.
    unlinkExportDocuments();
    graphic->setGraphic(g);
    linkExportDocuments();
}

void QAGVZViewer::unlinkExportDocuments()
{
    for (const auto& document : exportDocuments)
        document->firstChild = nullptr;
    if (graphic->graphic)
        graphic->graphic->parent = nullptr;
}

void QAGVZViewer::linkExportDocuments()
{
    DGraphic* chart = graphic->graphic;
    for (const auto& document : exportDocuments)
        document->firstChild = chart;
    // A chart has one parent link: the latest export's document.
    if (chart && !exportDocuments.empty())
        chart->parent = exportDocuments.back().get();
}
