#include "app/studiobatch.h"

#include "app/studiomainwindow.h"
#include "app/studiooptions.h"
#include "data/fileaccess.h"
#include "host/studio/qailogmonitor.h"
#include "host/studio/qasvgtidy.h"

#include <QDir>
#include <QFileInfo>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>

namespace {

// Resolution of every drawing: one image pixel is one SVG user unit and one PDF pixel, so that
// the fonts of the three formats match.
constexpr int RenderDpi = 96;

// Keeps the export's errors for the command line's message.
class ErrorLog : public QAILogMonitor
{
public:
    void logMessage(Level level, const QString& message) override
    {
        if (level == Error)
            errors << message;
    }
    QStringList errors;
};

QString quotedList(const QStringList& names)
{
    QStringList quoted;
    quoted.reserve(names.size());
    for (const QString& name : names)
        quoted << QLatin1Char('"') + name + QLatin1Char('"');
    return quoted.join(QStringLiteral(", "));
}

// Draws on the device that `begin` opens on `file`; false when a painter cannot draw there or the
// window has nothing to draw.
using Drawing = std::function<bool(QPainter& painter)>;

bool writePng(QIODevice& file, const QSize& size, const Drawing& draw)
{
    return qaRenderPng(file, size, RenderDpi, draw);
}

bool writeSvg(QIODevice& file, const QSize& size, const Drawing& draw)
{
    const QByteArray svg = qaRenderSvg(size, RenderDpi, draw);
    return !svg.isNull() && file.write(svg) == svg.size();
}

bool writePdf(QIODevice& file, const QSize& size, const Drawing& draw)
{
    QPdfWriter pdf(&file);
    pdf.setResolution(RenderDpi);
    pdf.setPageLayout(QPageLayout(QPageSize(QSizeF(size) * 72.0 / RenderDpi, QPageSize::Point),
                                  QPageLayout::Portrait, QMarginsF()));
    QPainter painter;
    return painter.begin(&pdf) && draw(painter) && painter.end();
}

} // namespace

StudioBatch::StudioBatch(StudioMainWindow* window, QAStViewerWindow* viewerWindow)
    : mainWindow(window), viewer(viewerWindow)
{
}

bool StudioBatch::fail(const QString& message)
{
    error = message;
    return false;
}

bool StudioBatch::haveViewer()
{
    return viewer || fail(tr("No window is open"));
}

bool StudioBatch::open(const QStringList& files)
{
    for (const QString& file : files) {
        const QString problem = fileReadProblem(file);
        if (!problem.isEmpty())
            return fail(tr("Cannot read %1: %2").arg(QDir::toNativeSeparators(file), problem));
    }
    viewer = mainWindow->openFiles(files);
    if (!viewer)
        return fail(
            tr("The plug-in opened no window for %1").arg(files.join(QStringLiteral(", "))));
    return true;
}

bool StudioBatch::listCurves(const std::function<void(const QString& line)>& print)
{
    if (!haveViewer())
        return false;
    print(QStringLiteral("Name\tValues\tMin\tMax\n"));
    const QChar tab(QLatin1Char('\t'));
    for (const QAStViewerWindow::CurveInfo& curve : viewer->curveList()) {
        // The name on its own: it may be as long as the file's longest line, and joining would
        // copy it several times over.
        print(curve.name);
        print(tab + curve.values + tab + curve.min + tab + curve.max + QLatin1Char('\n'));
    }
    return true;
}

bool StudioBatch::chooseChart(QAStViewerWindow::ChartType type)
{
    if (!haveViewer())
        return false;
    return viewer->setChartType(type)
           || fail(tr("The window offers no %1 chart").arg(StudioOptions::chartNames().at(type)));
}

bool StudioBatch::apply(const StudioOptions& options)
{
    if (options.chart && !chooseChart(*options.chart))
        return false;
    QAStViewerWindow::CurveRoles roles = options.roles;
    if (options.showAll || !roles.names().isEmpty()) {
        if (!haveViewer())
            return false;
        if (options.showAll) {
            roles.time = QStringList();
            for (const QAStViewerWindow::CurveInfo& curve : viewer->curveList())
                roles.time->append(curve.name);
        }
        const QStringList unknown = viewer->unknownCurveNames(roles.names());
        if (!unknown.isEmpty()) {
            QStringList known;
            for (const QAStViewerWindow::CurveInfo& curve : viewer->curveList())
                known << curve.name;
            const QString names = quotedList(unknown);
            if (known.isEmpty())
                return fail(tr("Unknown curve %1: the files hold no curve").arg(names));
            return fail(tr("Unknown curve %1: the files hold %2").arg(names, quotedList(known)));
        }
        if (!viewer->setCurveRoles(roles))
            return fail(tr("The window cannot set the curves' roles"));
    }
    const QAStViewerWindow::Scales& scales = options.scales;
    if (scales.stacked || scales.logX || scales.logY) {
        if (!haveViewer())
            return false;
        if (!viewer->setScales(scales))
            return fail(tr("The window cannot draw the chart stacked or on logarithmic axes"));
    }
    if (options.rangeX) {
        if (!haveViewer())
            return false;
        if (!viewer->setViewRange(*options.rangeX, options.rangeY))
            return fail(tr("The window cannot show a view range"));
    }
    return true;
}

bool StudioBatch::render(const QString& file, const QSize& size)
{
    if (!haveViewer())
        return false;
    const QString suffix = QFileInfo(file).suffix().toLower();
    const auto writer = suffix == QLatin1String("png")   ? writePng
                        : suffix == QLatin1String("svg") ? writeSvg
                        : suffix == QLatin1String("pdf") ? writePdf
                                                         : nullptr;
    if (!writer)
        return fail(tr("Cannot tell the format of %1: use .png, .svg or .pdf").arg(file));
    const QRect rect(QPoint(0, 0), size);
    bool drawn = false;
    const Drawing draw = [&](QPainter& painter) {
        painter.fillRect(rect, Qt::white);
        drawn = viewer->drawChart(painter, rect);
        return drawn;
    };
    QSaveFile out(file);
    if (out.open(QIODevice::WriteOnly) && writer(out, size, draw) && out.commit())
        return true;
    QString reason = out.errorString();
    if (out.error() == QFileDevice::NoError)
        reason = drawn ? tr("the chart could not be drawn") : tr("the window shows no chart");
    out.cancelWriting();
    return fail(tr("Cannot write %1: %2").arg(QDir::toNativeSeparators(file), reason));
}

bool StudioBatch::exportHtml(const QString& directory)
{
    if (!haveViewer())
        return false;
    ErrorLog log;
    if (viewer->exportHTML(directory, QString(), nullptr, &log))
        return true;
    return fail(log.errors.isEmpty() ? tr("The window has no chart to export")
                                     : log.errors.join(QLatin1Char('\n')));
}
