#include "app/studiooptions.h"

#include <QCommandLineParser>
#include <QFileInfo>
#include <QRegularExpression>

#include <cmath>

namespace {

using Range = QAStViewerWindow::Range;

// "FROM:TO" with two finite numbers, FROM below TO.
std::optional<Range> parseRange(const QString& text)
{
    const QStringList ends = text.split(QLatin1Char(':'));
    if (ends.size() != 2)
        return std::nullopt;
    bool fromOk = false;
    bool toOk = false;
    const Range range{ends.at(0).toDouble(&fromOk), ends.at(1).toDouble(&toOk)};
    if (!fromOk || !toOk || !std::isfinite(range.from) || !std::isfinite(range.to)
        || !(range.from < range.to))
        return std::nullopt;
    return range;
}

std::optional<QSize> parseSize(const QString& text)
{
    static const QRegularExpression format(QStringLiteral("^(\\d{1,4})x(\\d{1,4})$"));
    const QRegularExpressionMatch match = format.match(text);
    if (!match.hasMatch())
        return std::nullopt;
    const QSize size(match.captured(1).toInt(), match.captured(2).toInt());
    const auto fits = [](int side) {
        return side >= StudioOptions::MinRenderSide && side <= StudioOptions::MaxRenderSide;
    };
    if (!fits(size.width()) || !fits(size.height()))
        return std::nullopt;
    return size;
}

} // namespace

QStringList StudioOptions::chartNames()
{
    return {QStringLiteral("time"), QStringLiteral("xy"), QStringLiteral("xyz")};
}

QStringList StudioOptions::renderSuffixes()
{
    return {QStringLiteral("png"), QStringLiteral("svg"), QStringLiteral("pdf")};
}

StudioOptions StudioOptions::parse(const QStringList& arguments)
{
    const QCommandLineOption pluginOption(
        QStringLiteral("plugin"), tr("Load the viewer plug-in from PATH."), QStringLiteral("PATH"));
    const QCommandLineOption resourcesOption(QStringLiteral("resources"),
                                             tr("Read and write resources in FILE."),
                                             QStringLiteral("FILE"));
    const QCommandLineOption listOption(
        QStringLiteral("list"),
        tr("Print the curve list of the files (Name, Values, Min, Max) and exit."));
    const QCommandLineOption chartOption(QStringLiteral("chart"),
                                         tr("Show the chart TYPE: time, xy or xyz."),
                                         QStringLiteral("TYPE"));
    const QCommandLineOption showOption(QStringLiteral("show"),
                                        tr("Show the curve NAME in the time chart (repeatable)."),
                                        QStringLiteral("NAME"));
    const QCommandLineOption showAllOption(QStringLiteral("show-all"),
                                           tr("Show every curve in the time chart."));
    const QCommandLineOption xOption(QStringLiteral("x"),
                                     tr("Use the curve NAME as X (xy and xyz charts)."),
                                     QStringLiteral("NAME"));
    const QCommandLineOption yOption(
        QStringLiteral("y"),
        tr("Draw the curve NAME as Y (repeatable in the xy chart; the Y axis of the xyz chart)."),
        QStringLiteral("NAME"));
    const QCommandLineOption zOption(QStringLiteral("z"),
                                     tr("Draw the curve NAME as Z (xyz chart, repeatable)."),
                                     QStringLiteral("NAME"));
    const QCommandLineOption rangeOption(
        QStringLiteral("range"),
        tr("Draw the view X0:X1 or X0:X1,Y0:Y1 (time and xy charts; time in sample numbers)."),
        QStringLiteral("RANGE"));
    const QCommandLineOption stackOption(
        QStringLiteral("stack"),
        tr("Draw each curve in a strip of its own with its own Y axis (time and xy charts)."));
    const QCommandLineOption logYOption(QStringLiteral("log-y"),
                                        tr("Draw a logarithmic Y axis (time and xy charts)."));
    const QCommandLineOption logXOption(QStringLiteral("log-x"),
                                        tr("Draw a logarithmic X axis (xy chart)."));
    const QCommandLineOption renderOption(
        QStringLiteral("render"), tr("Draw the chart into FILE (.png, .svg or .pdf) and exit."),
        QStringLiteral("FILE"));
    const QCommandLineOption sizeOption(QStringLiteral("size"),
                                        tr("Size of the drawn chart in pixels (default 1200x800)."),
                                        QStringLiteral("WxH"));
    const QCommandLineOption exportOption(QStringLiteral("export-html"),
                                          tr("Export the chart as HTML into DIR and exit."),
                                          QStringLiteral("DIR"));

    QCommandLineParser parser;
    parser.setApplicationDescription(tr("Viewer for gvz trace data files."));
    const QCommandLineOption helpOption = parser.addHelpOption();
    const QCommandLineOption versionOption = parser.addVersionOption();
    parser.addOptions({pluginOption, resourcesOption, listOption, chartOption, showOption,
                       showAllOption, xOption, yOption, zOption, rangeOption, stackOption,
                       logYOption, logXOption, renderOption, sizeOption, exportOption});
    parser.addPositionalArgument(QStringLiteral("files"), tr("Trace files to open."),
                                 QStringLiteral("[files...]"));

    StudioOptions options;
    const auto fail = [&options](const QString& message) {
        options.error = message;
        return options;
    };
    if (!parser.parse(arguments))
        return fail(parser.errorText());
    if (parser.isSet(helpOption)) {
        options.action = Action::ShowHelp;
        options.text = parser.helpText();
        return options;
    }
    if (parser.isSet(versionOption)) {
        options.action = Action::ShowVersion;
        options.text = QCoreApplication::applicationName() + QLatin1Char(' ')
                       + QCoreApplication::applicationVersion() + QLatin1Char('\n');
        return options;
    }
    const auto value = [&parser](const QCommandLineOption& option) {
        return parser.isSet(option) ? std::optional<QString>(parser.value(option)) : std::nullopt;
    };
    options.pluginPath = value(pluginOption);
    options.resourcesFile = value(resourcesOption);
    options.renderFile = value(renderOption);
    options.exportDirectory = value(exportOption);
    options.list = parser.isSet(listOption);
    options.showAll = parser.isSet(showAllOption);
    options.files = parser.positionalArguments();

    if (const std::optional<QString> chart = value(chartOption)) {
        const int type = int(chartNames().indexOf(*chart));
        if (type < 0)
            return fail(tr("Unknown chart %1: use time, xy or xyz").arg(*chart));
        options.chart = QAStViewerWindow::ChartType(type);
    }
    if (options.renderFile
        && !renderSuffixes().contains(QFileInfo(*options.renderFile).suffix().toLower()))
        return fail(
            tr("Cannot tell the format of %1: use .png, .svg or .pdf").arg(*options.renderFile));
    if (const std::optional<QString> size = value(sizeOption)) {
        const std::optional<QSize> parsed = parseSize(*size);
        if (!parsed)
            return fail(
                tr("Bad size %1: give WIDTHxHEIGHT, each from %2 to %3 pixels")
                    .arg(*size, QString::number(MinRenderSide), QString::number(MaxRenderSide)));
        options.renderSize = *parsed;
    }

    // Each role option: the charts it fits and how often it may be given there.
    const QAStViewerWindow::ChartType chart = options.chartType();
    const QString chartName = chartNames().at(chart);
    const struct
    {
        const QCommandLineOption& option;
        bool fits;
        bool once;
    } roleOptions[] = {
        {showOption, chart == QAStViewerWindow::TimeChart, false},
        {showAllOption, chart == QAStViewerWindow::TimeChart, true},
        {xOption, chart != QAStViewerWindow::TimeChart, true},
        {yOption, chart != QAStViewerWindow::TimeChart, chart == QAStViewerWindow::XYZChart},
        {zOption, chart == QAStViewerWindow::XYZChart, false},
        {rangeOption, chart != QAStViewerWindow::XYZChart, true},
        {stackOption, chart != QAStViewerWindow::XYZChart, true},
        {logYOption, chart != QAStViewerWindow::XYZChart, true},
        {logXOption, chart == QAStViewerWindow::XYChart, true},
    };
    for (const auto& role : roleOptions) {
        const QString name = QStringLiteral("--") + role.option.names().constFirst();
        const qsizetype given = role.option.valueName().isEmpty()
                                    ? (parser.isSet(role.option) ? 1 : 0)
                                    : parser.values(role.option).size();
        if (given > 0 && !role.fits)
            return fail(tr("%1 does not fit the %2 chart").arg(name, chartName));
        if (given > 1 && role.once)
            return fail(tr("%1 is given %2 times: the %3 chart takes it once")
                            .arg(name, QString::number(given), chartName));
    }
    if (options.showAll && parser.isSet(showOption))
        return fail(tr("--show and --show-all exclude each other"));
    const auto names = [&parser](const QCommandLineOption& option) {
        return parser.isSet(option) ? std::optional<QStringList>(parser.values(option))
                                    : std::nullopt;
    };
    options.roles.time = names(showOption);
    options.roles.x = value(xOption);
    options.roles.y = names(yOption);
    options.roles.z = names(zOption);
    options.scales = {parser.isSet(stackOption), parser.isSet(logXOption),
                      parser.isSet(logYOption)};

    if (const std::optional<QString> range = value(rangeOption)) {
        const QStringList axes = range->split(QLatin1Char(','));
        options.rangeX = parseRange(axes.constFirst());
        if (axes.size() == 2)
            options.rangeY = parseRange(axes.at(1));
        if (axes.size() > 2 || !options.rangeX || (axes.size() == 2 && !options.rangeY))
            return fail(tr("Bad range %1: give X0:X1 or X0:X1,Y0:Y1, finite numbers, each start "
                           "below its end")
                            .arg(*range));
    }
    return options;
}
