#include "app/studiobatch.h"

#include "app/studiomainwindow.h"
#include "host/studio/qailogmonitor.h"
#include "host/studio/qastviewerwindow.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMenu>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>
#include <QSvgRenderer>
#include <QTemporaryDir>
#include <QTreeWidget>

namespace {

// Tool menu id of the time chart entry; the XY and XYZ entries follow.
constexpr int FirstChartEntry = 100;
// Resolution of the rendered images: one image pixel is one PDF pixel.
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

bool writeFile(const QString& path, const QByteArray& bytes, QString* error)
{
    QSaveFile file(path);
    if (file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit())
        return true;
    *error = file.errorString();
    return false;
}

bool writePdf(const QString& path, const QString& svgFile, const QSize& size, QString* error)
{
    QSvgRenderer svg(svgFile);
    if (!svg.isValid()) {
        *error = StudioBatch::tr("the chart could not be drawn");
        return false;
    }
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        *error = file.errorString();
        return false;
    }
    {
        QPdfWriter pdf(&file);
        pdf.setResolution(RenderDpi);
        pdf.setPageLayout(QPageLayout(QPageSize(QSizeF(size) * 72.0 / RenderDpi, QPageSize::Point),
                                      QPageLayout::Portrait, QMarginsF()));
        QPainter painter(&pdf);
        svg.render(&painter, QRectF(QPointF(0, 0), QSizeF(size)));
    }
    if (file.commit())
        return true;
    *error = file.errorString();
    return false;
}

} // namespace

StudioBatch::StudioBatch(StudioMainWindow* window) : mainWindow(window) {}

QStringList StudioBatch::chartNames()
{
    return {QStringLiteral("time"), QStringLiteral("xy"), QStringLiteral("xyz")};
}

QStringList StudioBatch::renderSuffixes()
{
    return {QStringLiteral("png"), QStringLiteral("svg"), QStringLiteral("pdf")};
}

bool StudioBatch::fail(const QString& message)
{
    error = message;
    return false;
}

QAStViewerWindow* StudioBatch::viewer() const
{
    return qobject_cast<QAStViewerWindow*>(mainWindow->activeStudioWindow());
}

bool StudioBatch::open(const QStringList& files)
{
    for (const QString& file : files) {
        const QFileInfo info(file);
        if (!info.isFile() || !info.isReadable())
            return fail(tr("Cannot read %1: no such file").arg(QDir::toNativeSeparators(file)));
    }
    if (!mainWindow->openFiles(files))
        return fail(tr("The plug-in opened no window for %1").arg(files.join(QStringLiteral(", "))));
    // The window becomes the active one, and puts its tool menu up, through the event loop.
    QApplication::processEvents();
    if (!viewer())
        return fail(tr("The window of %1 did not become active").arg(files.join(QStringLiteral(", "))));
    return true;
}

bool StudioBatch::curveList(QString* text)
{
    QAStViewerWindow* window = viewer();
    auto* list = window ? qobject_cast<QTreeWidget*>(window->contentOutlineWidget()) : nullptr;
    if (!list)
        return fail(tr("The window shows no curve list"));
    QStringList lines{QStringLiteral("Name\tValues\tMin\tMax")};
    for (int i = 0; i < list->topLevelItemCount(); ++i) {
        const QTreeWidgetItem* row = list->topLevelItem(i);
        QStringList cells;
        for (int column = 0; column < 4; ++column)
            cells << row->text(column);
        lines << cells.join(QLatin1Char('\t'));
    }
    *text = lines.join(QLatin1Char('\n')) + QLatin1Char('\n');
    return true;
}

bool StudioBatch::chooseChart(const QString& name)
{
    const int type = int(chartNames().indexOf(name));
    if (type < 0)
        return fail(tr("Unknown chart %1: use %2").arg(name, chartNames().join(QStringLiteral(", "))));
    for (const int id : mainWindow->toolMenuIds()) {
        QMenu* menu = mainWindow->toolMenu(id);
        const QList<QAction*> actions = menu ? menu->actions() : QList<QAction*>();
        for (QAction* action : actions) {
            if (!action->isSeparator() && action->data().toInt() == FirstChartEntry + type) {
                action->trigger();
                return true;
            }
        }
    }
    return fail(tr("The window offers no %1 chart").arg(name));
}

bool StudioBatch::exportInto(const QString& directory, const QString& configDirectory)
{
    QAStViewerWindow* window = viewer();
    if (!window)
        return fail(tr("No window is open"));
    const QString studioDirectory = mainWindow->exportDirectory();
    mainWindow->setExportDirectory(configDirectory);
    ErrorLog log;
    const bool written = window->exportHTML(directory, QString(), nullptr, &log);
    mainWindow->setExportDirectory(studioDirectory);
    if (written)
        return true;
    return fail(log.errors.isEmpty() ? tr("The window has no chart to export")
                                     : log.errors.join(QLatin1Char('\n')));
}

bool StudioBatch::render(const QString& file, const QSize& size)
{
    const QString suffix = QFileInfo(file).suffix().toLower();
    if (!renderSuffixes().contains(suffix))
        return fail(tr("Cannot tell the format of %1: use .png, .svg or .pdf").arg(file));
    // The chart is drawn by the window's own HTML export, tuned to the size asked for; the image
    // it writes is then taken over.
    QTemporaryDir work;
    const QString settings = QStringLiteral("image_width=%1\nimage_height=%2\nformats=svg,png\n")
                                 .arg(size.width())
                                 .arg(size.height());
    QString reason;
    if (!work.isValid()
        || !writeFile(work.filePath(QStringLiteral("dhtml.cfg")), settings.toUtf8(), &reason))
        return fail(tr("Cannot prepare the drawing: %1").arg(reason));
    const QString page = work.filePath(QStringLiteral("page"));
    if (!exportInto(page, work.path()))
        return false;

    bool written = false;
    if (suffix == QLatin1String("pdf")) {
        written = writePdf(file, page + QStringLiteral("/index.svg"), size, &reason);
    } else {
        QFile image(page + QStringLiteral("/index.") + suffix);
        if (!image.open(QIODevice::ReadOnly))
            return fail(tr("The chart could not be drawn: %1").arg(image.errorString()));
        written = writeFile(file, image.readAll(), &reason);
    }
    if (!written)
        return fail(tr("Cannot write %1: %2").arg(QDir::toNativeSeparators(file), reason));
    return true;
}

bool StudioBatch::exportHtml(const QString& directory)
{
    return exportInto(directory, mainWindow->exportDirectory());
}
