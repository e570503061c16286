#pragma once

#include "data/tracetail.h"
#include "host/html/ddocument.h"
#include "host/studio/qastviewerwindow.h"

#include <QHash>
#include <QPointer>
#include <QStringList>

#include <functional>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

class DAxis;
class DExportHtmlDialog;
class DGraphic;
struct DView;
class QAGVZConfig;
class QAGVZGraphic;
class QAGVZFile;
class QAGVZItem;
struct QAGVZValue;
class QAListView;
class QARes;
class QMenu;
class QPrinter;
class QTreeWidgetItem;
class StudioInterface;

// The window of one set of trace files: a curve list (one row per distinct curve name, lent to
// the studio as the outline widget), the chart of the chosen curves in the middle, a
// configuration dialog and a tool menu that goes into the studio's menu bar while the window is
// active. Reloading merges the files into the existing rows and keeps every curve's roles.
//
// The studio interface and the preference object are process-wide: the static initialize() sets
// them up once before the first window is made.
class QAGVZViewer : public QAStViewerWindow
{
    Q_OBJECT
public:
    enum GraphicType { TimeGraphic = 0, XYGraphic = 1, XYZGraphic = 2 };

    // ids of the tool menu entries (kept in each QAction's data); the chart entries are
    // IdDisplayCurve + GraphicType
    enum ToolMenuId {
        IdDisplayCurve = 100,
        IdDisplayXY = 101,
        IdDisplayXYZ = 102,
        IdConfigure = 103,
        IdReload = 104,
        IdGenerateHtml = 105
    };
    // ids of the row popup entries (kept in each QAction's data)
    enum ItemMenuId { IdItemTime = 0, IdItemX = 1, IdItemY = 2, IdItemZ = 3 };

    QAGVZViewer(QWidget* parent = nullptr, const char* name = nullptr, Qt::WindowFlags flags = {},
                bool activate = true);
    ~QAGVZViewer() override;

    // Runs once per process: keeps `iface` (may be null) for every window, creates the
    // preference object, registers it with the studio and loads it from the "gvz_viewer" group
    // below `resources`. Later calls do nothing.
    static void initialize(QARes* resources, StudioInterface* iface);
    static StudioInterface* studioInterface() { return _iface; }
    // Windows created so far in this process; numbers the captions.
    static int viewerCount() { return gvz_viewer_count_; }

    // host questions:
    bool canClose() override;
    QWidget* contentOutlineWidget() const override;
    bool isSaveEnabled() override;
    bool isSaveAsEnabled() override;
    bool isPrintEnabled() override;
    bool isCopyEnabled() override;
    bool isPasteEnabled() override;
    bool isCutEnabled() override;
    bool isUndoEnabled() override;
    bool isRedoEnabled() override;
    bool isDelEnabled() override;
    bool isSelectAllEnabled() override;
    bool isFindEnabled() override;
    bool isReplaceEnabled() override;
    bool isGoToEnabled() override;
    bool isReloadEnabled() override;
    bool isResetEnabled() override;
    bool isExportDocEnabled() override;
    bool isZoomEnabled() override;
    bool isFilterEnabled() override;

    // printing and HTML export:
    // Writes the chart as HTML into `dir` (`name` is not used); answers whether it did. Without a
    // studio or a chart nothing is written.
    bool exportHTML(const QString& dir, const QString& name, QAIProgressMonitor* progress,
                    QAILogMonitor* log) override;

    // host operations:
    bool drawChart(QPainter& painter, const QRect& rect) const override;
    QList<CurveInfo> curveList() const override;
    bool setChartType(ChartType type) override;
    // One rebuild for all roles given. The XYZ chart's Y curve becomes the first Y named unless
    // it is among them.
    bool setCurveRoles(const CurveRoles& roles) override;
    // setChartView() with the host's ranges.
    bool setViewRange(const Range& x, const std::optional<Range>& y) override;
    // Time and XY charts; logarithmic X in the XY chart only.
    bool setScales(const Scales& scales) override;

    // files:
    // Re-reads `files` into the existing rows.
    void refreshContents() override;
    // A new file set: the rows start afresh.
    void setFiles(QStringList* fileList, QStringList* second, ViewerMode mode) override;
    // Reads `list` and merges its curves into the rows (by full name); rows whose curve is gone
    // are deleted; the first three curves read get the default roles where none is chosen yet.
    // False when the user cancelled: during the read nothing changes; an open may also be
    // cancelled while its chart is built, and then holds nothing.
    bool updateFiles(QStringList list);
    // Steps of the progress given to building the chart, after those of the read.
    static constexpr int BuildProgressSteps = 100;
    // Appends what every file of the set gained since the last read to the curves, when each
    // looks appended to and the result is certain to equal a full read; false (nothing changed)
    // otherwise. Sets `restarted` when a file followed before was truncated or replaced.
    bool appendGrowth(bool& restarted);
    // Does nothing: a trace has no tags.
    virtual void scrollToTag(QString tag, int line, int column);

    // curve roles (each rebuilds the chart unless said otherwise):
    // Makes `row` the only X curve; nothing happens when it already is.
    void setItemX(QAGVZItem* row);
    // XYZ chart: makes `row` the only Y curve. Other charts: toggles its Y role.
    void setItemY(QAGVZItem* row);
    // Toggles `row`'s Z role.
    void setItemZ(QAGVZItem* row);

    // chart building:
    // Builds the chart of the current type and hands it (or none) to the graphic widget.
    void updateGraphic();
    // What the status bar says while the chart of `type` shows no curve: how to show some.
    static QString noCurveHint(GraphicType type);
    // Switches the chart type, updates the menu check marks and row icons, and rebuilds.
    void setGraphicType(GraphicType type);
    // New chart descriptions owned by the caller, or null when there is nothing to draw.
    DGraphic* timeGraphic();
    DGraphic* xyGraphic();
    DGraphic* xyzGraphic();
    // The points a chart of the current type makes from the rows as they are, about.
    qint64 chartPoints() const;
    // Where a curve's samples changed in an incremental read: the last sample before the change
    // (null: the first one changed) and how many come before it.
    struct KeptSamples
    {
        const QAGVZValue* before = nullptr;
        int count = 0;
    };
    // Extends the chart shown to the samples that changed after `kept` (rows missing from it are
    // unchanged) instead of building it again: the same chart a build would make. False, with
    // nothing changed, when the chart's curves are not those of the rows as they are.
    bool extendGraphic(const QHash<const QAGVZItem*, KeptSamples>& kept);
    // Shows X from `xFrom` to `xTo` of the current 2-D chart (the time chart in sample numbers,
    // the XY chart in the X curve's units) and Y over `y`, or its whole range without one; one
    // step of the zoom history. False, and nothing changes, without a chart, for the XYZ chart,
    // or when a range is not two finite numbers with its start below its end.
    bool setChartView(double xFrom, double xTo,
                      std::optional<std::pair<double, double>> y = std::nullopt);

    // axis spacing:
    // Applies the automatic spacing when the configuration asks for it. True when the axis is
    // done, false when the manual spacings are to be applied.
    bool autoConfigAxis(DAxis* axis, bool timeAxis);
    // The spacings of a zoomed view: with automatic scale the general rule on its visible
    // ranges, the time axis included; otherwise the axes keep the configured ones. The strips
    // of a stacked chart always take the general rule on their own ranges.
    void configView(DView& view);
    void configAxisX(DAxis* axis, bool timeAxis);
    void configAxisY(DAxis* axis);
    void configAxisZ(DAxis* axis);
    // A positive, tidy spacing near `value`; 1 for 0, infinity and NaN; a negative value counts
    // by its magnitude.
    float beautifulStepValue(float value);

    // menus:
    // Builds or refills the tool menu and puts it into a menu bar (none without a studio).
    void createToolMenu();
    // The popup of `row`, a child of the window, for the current chart type; the caller
    // executes and deletes it. The entries' data are ItemMenuId values.
    QMenu* createItemMenu(QAGVZItem* row);
    // Carries out popup entry `id` on `row`.
    void itemMenuActivated(QAGVZItem* row, int id);
    // The status text of tool menu entry `id`; null for entries without one.
    static QString statusText(int id);

    // The name of `row`'s curve (its text without a curve).
    static QString curveName(const QAGVZItem* row);

    // state, read by the rows, the builders and tests:
    GraphicType graphicType = TimeGraphic;
    QStringList files;
    QAGVZItem* itemX = nullptr; // the X curve row, not owned
    QAGVZItem* itemY = nullptr; // the Y curve row of the XYZ chart, not owned
    bool active = false;        // activated and not deactivated since
    bool closeAccepted = false; // canClose() answered yes once
    QAGVZGraphic* graphic;      // child widget, the central widget
    bool mainWindowDestroyed = false;
    QPointer<QAGVZConfig> config; // owned; the studio main window may parent it
    QAListView* listView;         // owned; lent to the studio as the outline widget
    QMenu* toolMenu = nullptr;    // owned; made at the first activation with a studio
    int toolMenuId = -1;          // id of toolMenu in a menu bar; -1 when not inserted
    // Sets up the printer before print() prints; false (the user cancelled) prints nothing.
    // Empty: the print dialog. Tests put a PDF file in its place.
    std::function<bool(QPrinter& printer, QWidget* parent)> printerSetup;

public slots:
    void activated() override;
    void desactivated() override;
    void save() override;
    void saveAs() override;
    void print() override;
    void copy() override;
    void paste() override;
    void cut() override;
    void undo() override;
    void redo() override;
    void del() override;
    void selectAll() override;
    void replace() override;
    void goTo() override;
    void reload() override;
    void reset() override;
    void exportDoc() override;
    void zoomIn() override;
    void zoomOut() override;
    void mnFilter() override;
    void zoom(int percent) override;
    void find(const QString& text) override;

private slots:
    void mnHighlighted(int id);
    void mnDisplayCurve();
    void mnDisplayXY();
    void mnDisplayXYZ();
    void mnConfigure();
    void mainwindowDestroyed();
    void dlgPrefAccepted();
    void rightButtonPressed(QTreeWidgetItem* item, const QPoint& pos, int column);
    void doubleClicked(QTreeWidgetItem* item);
    void htmlGenTerminate(DExportHtmlDialog* dialog);

protected:
    // reimplemented virtual methods:
    void resizeEvent(QResizeEvent* e) override;
    void closeEvent(QCloseEvent* e) override;

private:
    QAGVZItem* firstRow() const;
    QAGVZItem* rowAt(int index) const;
    QMainWindow* hostMainWindow() const;
    // While active: the no-curve hint in the studio's status bar, or away once curves show.
    void showCurveHint();
    void addToolMenuEntry(int id, const QString& text, void (QAGVZViewer::*slot)());
    // Hands `g` to the graphic widget; open exports follow to the new chart.
    void showGraphic(DGraphic* g);
    // The links between the open exports' documents and the chart shown (see exportDocuments).
    void linkExportDocuments();
    void unlinkExportDocuments();
    QString exportConfigPath() const;
    // A chart of `type` with its axes, before any curve; `zName` is used only for 3-D charts.
    DGraphic* newGraphic(int type, const QString& xName, const QString& yName,
                         const QString& zName);
    // Deletes `g` when it is not `drawable`; otherwise computes its axis ranges, sets the
    // spacings and hands it back.
    DGraphic* finishGraphic(DGraphic* g, bool drawable, bool timeAxis);

    // The documents of the interactive exports still open, each linking the chart shown as its
    // only child (a rebuild relinks the new chart, so none points at a deleted one). Owned.
    std::vector<std::unique_ptr<DDocument>> exportDocuments;
    // Per file of the set that appendGrowth() may read on: where the next read starts (the end,
    // or the start of a last line without its line end), the names of its columns in order (null
    // for a dropped column), and where that unfinished line's samples begin in each curve.
    struct FollowedFile
    {
        TraceTail tail;
        std::vector<std::optional<QString>> columns;
        std::vector<std::pair<QAGVZValue*, int>> beforeLastLine; // nodes of the rows' curves
        // Takes the state `file` left after reading `name`; false when it cannot be followed.
        bool follow(const QAGVZFile& file, const QString& name);
    };
    QHash<QString, FollowedFile> followed;
    bool reading = false; // updateFiles() runs: what the progress lets happen must not re-enter it
    // What the chart shown was made from: the chart type, its X and Y rows and the samples'
    // version. A build from the same takes over its curves for the rows it shows again.
    struct ChartSource
    {
        int type = -1;
        const QAGVZItem* x = nullptr;
        const QAGVZItem* y = nullptr;
        quint64 data = 0;
        bool operator==(const ChartSource& o) const
        {
            return type == o.type && x == o.x && y == o.y && data == o.data;
        }
    };
    ChartSource shownSource;
    quint64 dataVersion = 0;        // counts the changes of the rows and their samples
    DGraphic* curvesFrom = nullptr; // while updateGraphic() builds: the chart shown, when it may
    // While a read builds its chart: called every some ten thousand points with the points made
    // so far; false stops the build (no chart). Empty otherwise.
    std::function<bool(qint64 points)> buildTick;
    // What the zoom view belongs to: the chart type and, for the XY chart, its X and Y curves.
    // A build for anything else fits the new chart.
    QStringList viewFrame;

    static int gvz_viewer_count_;
    static StudioInterface* _iface;
    static bool initialized;
};
