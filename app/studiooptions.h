#pragma once

#include "host/studio/qastviewerwindow.h"

#include <QCoreApplication>
#include <QSize>
#include <QStringList>

#include <optional>

// What the studio's command line asks for, checked as a whole. parse() neither prints nor exits:
// it answers the options or, in `error`, why the command line is bad (exit code 2).
class StudioOptions
{
    Q_DECLARE_TR_FUNCTIONS(StudioOptions)

public:
    enum class Action { Run, ShowHelp, ShowVersion };

    // `arguments` as given, program name first. Safe on any input.
    static StudioOptions parse(const QStringList& arguments);

    // The names --chart takes, in the order of the chart types (time, xy, xyz).
    static QStringList chartNames();
    // Formats --render writes, by file suffix.
    static QStringList renderSuffixes();
    // Bounds of each side of --size.
    static constexpr int MinRenderSide = 32;
    static constexpr int MaxRenderSide = 4096;

    // --list, --render or --export-html: work that shows no window.
    bool batch() const { return list || renderFile || exportDirectory; }
    // The chart the run draws: --chart, else the time chart.
    QAStViewerWindow::ChartType chartType() const
    {
        return chart.value_or(QAStViewerWindow::TimeChart);
    }

    QString error; // not empty: the command line is bad
    Action action = Action::Run;
    QString text; // the help or version text
    std::optional<QString> pluginPath;
    std::optional<QString> resourcesFile;
    bool list = false;
    std::optional<QAStViewerWindow::ChartType> chart;
    std::optional<QString> renderFile;
    QSize renderSize{1200, 800};
    std::optional<QString> exportDirectory;
    // --show-all: every curve of the set in the time chart (the set is known only once read).
    bool showAll = false;
    QAStViewerWindow::CurveRoles roles;
    QAStViewerWindow::Scales scales; // --stack, --log-x, --log-y
    std::optional<QAStViewerWindow::Range> rangeX;
    std::optional<QAStViewerWindow::Range> rangeY;
    QStringList files;
};
