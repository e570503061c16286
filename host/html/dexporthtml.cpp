#include "host/html/dexporthtml.h"

#include "host/chart/dchartpainter.h"
#include "host/chart/ditem.h"
#include "host/html/ddocument.h"
#include "host/html/dhtmlsettings.h"
#include "host/studio/qailogmonitor.h"
#include "host/studio/qasvgtidy.h"
#include "host/studio/qaiprogressmonitor.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPainter>
#include <QSaveFile>

#include <functional>

// One generate(): the monitors, the step count and the messages.
class DExportHtml::Run
{
public:
    Run(QAIProgressMonitor* progressMonitor, QAILogMonitor* logMonitor)
        : progress(progressMonitor), log(logMonitor)
    {
    }

    void message(QAILogMonitor::Level level, const QString& text) const
    {
        if (log)
            log->logMessage(level, text);
    }

    void start(int steps) const
    {
        if (progress) {
            progress->setTotalSteps(steps);
            progress->setProgress(0);
        }
    }

    // Announces the next step; false (with a message) when the user asked to stop.
    bool step(const QString& label)
    {
        if (progress && progress->wasCanceled()) {
            message(QAILogMonitor::Error, tr("HTML export canceled."));
            return false;
        }
        if (progress) {
            progress->setLabel(label);
            progress->setProgress(done);
        }
        ++done;
        return true;
    }

    void finish() const
    {
        if (progress)
            progress->setProgress(done);
    }

    // Writes `path` whole or not at all through `fill`, which answers false on failure. A
    // symbolic link found at `path` is replaced, never followed: the export's file names are
    // fixed, so a link planted in the target folder must not redirect them.
    bool write(const QString& path, const std::function<bool(QIODevice&)>& fill) const
    {
        if (QFileInfo(path).isSymLink() && !QFile::remove(path)) {
            message(QAILogMonitor::Error, tr("Cannot replace the link %1.").arg(path));
            return false;
        }
        QSaveFile file(path);
        if (!file.open(QIODevice::WriteOnly)) {
            message(
                QAILogMonitor::Error,
                tr("Cannot write %1: %2").arg(QDir::toNativeSeparators(path), file.errorString()));
            return false;
        }
        if (!fill(file) || !file.commit()) {
            message(QAILogMonitor::Error,
                    tr("Cannot write %1: %2")
                        .arg(QDir::toNativeSeparators(path), file.error() != QFileDevice::NoError
                                                                 ? file.errorString()
                                                                 : tr("drawing failed")));
            file.cancelWriting();
            return false;
        }
        message(QAILogMonitor::Info, tr("Wrote %1").arg(QDir::toNativeSeparators(path)));
        return true;
    }

private:
    QAIProgressMonitor* progress;
    QAILogMonitor* log;
    int done = 0;
};

namespace {

// Both images are drawn at the same resolution, so that their fonts match.
constexpr int ImageDpi = 96;

void paintChart(QPainter& painter, const QSize& size, DGraphic* graphic)
{
    const QRect rect(QPoint(0, 0), size);
    painter.fillRect(rect, Qt::white);
    DChartPainter chartPainter;
    chartPainter.draw(painter, rect, graphic);
}

bool writeSvg(QIODevice& device, const QSize& size, DGraphic* graphic, const QString& title,
              const QString& description)
{
    const QByteArray svg = qaRenderSvg(
        size, ImageDpi,
        [&](QPainter& painter) {
            paintChart(painter, size, graphic);
            return true;
        },
        title, description);
    return !svg.isNull() && device.write(svg) == svg.size();
}

bool writePng(QIODevice& device, const QSize& size, DGraphic* graphic)
{
    return qaRenderPng(device, size, ImageDpi, [&](QPainter& painter) {
        paintChart(painter, size, graphic);
        return true;
    });
}

} // namespace

DExportHtml::DExportHtml(const QString& directory, const QString& configPath)
    : targetDirectory(directory), configFile(configPath),
      builtInWriter(std::make_unique<DHTMLWriter>())
{
}

DExportHtml::~DExportHtml() = default;

void DExportHtml::setHTMLWriter(DHTMLWriter* pageWriter)
{
    writer = pageWriter;
}

void DExportHtml::setImageSize(const QSize& size)
{
    imageSize = size.boundedTo(QSize(DHtmlSettings::MaxSide, DHtmlSettings::MaxSide))
                    .expandedTo(QSize(DHtmlSettings::MinSide, DHtmlSettings::MinSide));
}

bool DExportHtml::generate(DDocument* document, QAIProgressMonitor* progress, QAILogMonitor* log)
{
    Run run(progress, log);
    if (!document) {
        run.message(QAILogMonitor::Error, tr("Nothing to export: no document."));
        return false;
    }

    QStringList problems;
    DHtmlSettings settings = DHtmlSettings::read(configFile, &problems);
    for (const QString& problem : std::as_const(problems))
        run.message(QAILogMonitor::Warning, problem);
    if (imageSize)
        settings.imageSize = *imageSize;

    // The name becomes a file name in the target folder: never a path out of it.
    QString name = QFileInfo(document->name).fileName();
    if (name.isEmpty() || name == QLatin1String(".") || name == QLatin1String(".."))
        name = QStringLiteral("index");
    if (name != document->name) {
        run.message(QAILogMonitor::Warning,
                    tr("The document name \"%1\" is not a file name, writing %2.html.")
                        .arg(document->name, name));
    }

    const QString folder = QDir(targetDirectory).absolutePath();
    if (targetDirectory.isEmpty() || !QDir().mkpath(folder) || !QFileInfo(folder).isDir()) {
        run.message(
            QAILogMonitor::Error,
            tr("Cannot create the folder %1.").arg(QDir::toNativeSeparators(targetDirectory)));
        return false;
    }

    const QList<DGraphic*> graphics = document->graphics();
    if (graphics.isEmpty())
        run.message(QAILogMonitor::Warning, tr("The document holds no chart."));
    const int imageSteps = (settings.svg ? 1 : 0) + (settings.png ? 1 : 0);
    run.start(int(graphics.size()) * imageSteps + (settings.stylesheet.isEmpty() ? 0 : 1) + 1);

    const QDir dir(folder);
    DHTMLPage page;
    page.title = document->title;
    page.filePath = dir.filePath(name + QStringLiteral(".html"));
    page.generator = generator;
    for (int i = 0; i < graphics.size(); ++i) {
        DGraphic* graphic = graphics.at(i);
        const QString base = i == 0 ? name : QStringLiteral("%1_%2").arg(name).arg(i + 1);
        DHTMLChart part;
        part.graphic = graphic;
        part.imageSize = settings.imageSize;
        part.curves = DHTMLChart::curveRows(*graphic);
        // Draws one image file of the chart; its path, or empty when it was not written.
        const auto image = [&](const QString& suffix,
                               const std::function<bool(QIODevice&)>& fill) -> QString {
            const QString path = dir.filePath(base + suffix);
            if (!run.step(tr("Drawing %1").arg(QFileInfo(path).fileName()))
                || !run.write(path, fill))
                return {};
            return path;
        };
        if (settings.svg) {
            const QString title = graphic->title.isEmpty() ? document->title : graphic->title;
            part.svgFile = image(QStringLiteral(".svg"), [&](QIODevice& device) {
                return writeSvg(device, settings.imageSize, graphic, title, generator);
            });
            if (part.svgFile.isEmpty())
                return false;
        }
        if (settings.png) {
            part.pngFile = image(QStringLiteral(".png"), [&](QIODevice& device) {
                return writePng(device, settings.imageSize, graphic);
            });
            if (part.pngFile.isEmpty())
                return false;
        }
        page.charts.append(part);
    }

    if (!settings.stylesheet.isEmpty()) {
        const QString path = dir.filePath(QFileInfo(settings.stylesheet).fileName());
        if (!run.step(tr("Copying %1").arg(QFileInfo(path).fileName())))
            return false;
        QFile source(settings.stylesheet);
        if (!source.open(QIODevice::ReadOnly)) {
            run.message(QAILogMonitor::Error, tr("Cannot read %1: %2")
                                                  .arg(QDir::toNativeSeparators(source.fileName()),
                                                       source.errorString()));
            return false;
        }
        const QByteArray css = source.readAll();
        if (!run.write(path, [&](QIODevice& device) { return device.write(css) == css.size(); }))
            return false;
        page.stylesheetFile = path;
    }

    // The page last, so that it never links to a file that was not written.
    if (!run.step(tr("Writing %1").arg(QFileInfo(page.filePath).fileName())))
        return false;
    // Curve names come from the trace: keep the page well-formed whatever they hold.
    const QByteArray html =
        qaXmlSafeText((writer ? writer : builtInWriter.get())->write(page)).toUtf8();
    if (!run.write(page.filePath,
                   [&](QIODevice& device) { return device.write(html) == html.size(); }))
        return false;
    run.finish();
    lastPage = page.filePath;
    return true;
}
