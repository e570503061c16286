#pragma once

#include "host/studio/qastudiowindow.h"

#include <QElapsedTimer>
#include <QList>
#include <QPointer>
#include <QStringList>

#include <optional>

class QFileSystemWatcher;
class QPainter;
class QRect;
class QTimer;

// A studio window that shows a set of files. Besides the standard commands it keeps the file set,
// whether the studio wants it shown when created, and, on request, watches its files and calls
// refreshContents() when they change.
class QAStViewerWindow : public QAStudioWindow
{
    Q_OBJECT
public:
    enum ViewerMode { FileMode = 0, StreamMode = 1 };
    // The charts a host may ask for (the values are those of the viewer's chart types).
    enum ChartType { TimeChart = 0, XYChart = 1, XYZChart = 2 };

    // One row of the curve list as the window shows it.
    struct CurveInfo
    {
        QString name;
        QString values; // the texts of the Values, Min and Max columns
        QString min;
        QString max;
    };

    // Roles to set by curve name. A role that is given replaces the window's choice (the curves
    // named get it, every other curve loses it); a role that is not given stays as it is.
    struct CurveRoles
    {
        std::optional<QStringList> time; // the curves of the time chart
        std::optional<QString> x;        // the X curve of the XY and XYZ charts
        std::optional<QStringList> y;    // the Y curves (XYZ chart: one)
        std::optional<QStringList> z;    // the Z curves of the XYZ chart

        // Every name given, in the order time, x, y, z.
        QStringList names() const;
    };

    // How a two-dimensional chart lays out and scales its curves.
    struct Scales
    {
        bool stacked = false; // each curve in a strip of its own with its own Y axis
        bool logX = false;    // base-10 X axis (XY chart)
        bool logY = false;    // base-10 Y axis
    };

    // A closed interval of data values, `from` below `to`.
    struct Range
    {
        double from = 0;
        double to = 0;
    };

    explicit QAStViewerWindow(QWidget* parent = nullptr, const char* name = nullptr,
                              Qt::WindowFlags flags = {});
    ~QAStViewerWindow() override;

    // Whether the studio should make the window active as soon as it shows it.
    void setActivateDisplay(bool activate) { activateDisplay = activate; }
    bool activateDisplayRequested() const { return activateDisplay; }

    // files:
    // setFiles with `fileName` alone, no second list and FileMode.
    virtual void setFile(const QString& fileName);
    // Answers whether the window can re-read its files itself; the base answers false.
    virtual bool canReload();
    // Takes the file set (the lists are copied; `second` may be null) and the mode, and follows the
    // new files when auto-reload is on. Derived windows call this base, then read the files.
    virtual void setFiles(QStringList* files, QStringList* second, ViewerMode mode);
    QStringList fileList() const { return viewerFiles; }
    QStringList secondFileList() const { return viewerSecondFiles; }
    ViewerMode mode() const { return viewerMode; }

    // Settings of a window that shows a stream; the bases store them.
    virtual void setMode(ViewerMode mode);
    virtual void setNode(const QString& node);
    virtual void setChannel(int channel);
    virtual void scrollToTag(const QString& tag, int line, int column);
    virtual void setRootName(const QString& name);
    virtual void setRootIcon(const QPixmap& icon);
    // One character of the stream arrived; the base ignores it.
    virtual void streamCharReceived(char c);
    QString node() const { return viewerNode; }
    int channel() const { return viewerChannel; }
    QString rootName() const { return viewerRootName; }

    // On: watches the files of the set and calls refreshContents() once autoReloadDelay() ms
    // after the first change of a burst: a short burst gives one reload. Reloads pace
    // themselves: after one that took T ms, the next starts no sooner than
    // max(autoReloadDelay(), 3 T) ms after it ended, so a costly reload never keeps the window
    // busy. While a popup menu of this window or any modal dialog is open the reload waits, and
    // comes once it closes. A file that is replaced (written beside and renamed over, or removed
    // and created again) is still followed. Emits stateChanged().
    virtual void setAutoReload(bool on);
    bool autoReload() const { return watcher != nullptr; }
    void setAutoReloadDelay(int ms);
    int autoReloadDelay() const { return reloadDelay; }
    // The time the last automatic reload took, in ms (0 before the first).
    qint64 lastAutoReloadCost() const { return reloadCost; }

    // host operations: what a host needs to drive the window without a user (a command line, a
    // script). The bases do nothing and answer false or empty.
    // Draws the chart shown into `rect` of `painter`, without filling the background; false when
    // there is no chart.
    virtual bool drawChart(QPainter& painter, const QRect& rect) const;
    // The curve list in list order.
    virtual QList<CurveInfo> curveList() const;
    // Shows the chart `type`, as the window's own menu does.
    virtual bool setChartType(ChartType type);
    // Sets the roles given; false, and nothing changed, when a name is unknown.
    virtual bool setCurveRoles(const CurveRoles& roles);
    // Those of `names` that name no curve of the list, each once, in the order given.
    virtual QStringList unknownCurveNames(const QStringList& names) const;
    // Shows the X range `x` and, when given, the Y range `y` of a two-dimensional chart.
    virtual bool setViewRange(const Range& x, const std::optional<Range>& y);
    // Draws the chart shown with `scales`; false, and nothing changed, where it cannot.
    virtual bool setScales(const Scales& scales);

public slots:
    // The bases set and clear viewerActive.
    void activated() override;
    void desactivated() override;

protected:
    // reimplemented virtual methods:
    bool eventFilter(QObject* watched, QEvent* event) override;

public:
    // True while the studio has this window active; set by activated(), cleared on deactivation.
    bool viewerActive = false;

private:
    void watchFiles();
    void fileChanged();
    void directoryChanged();
    void scheduleReload();
    void runAutoReload();
    QWidget* openPopupOrDialog() const;

    bool activateDisplay = true;
    ViewerMode viewerMode = FileMode;
    QStringList viewerFiles;
    QStringList viewerSecondFiles;
    QString viewerNode;
    int viewerChannel = 0;
    QString viewerRootName;
    QFileSystemWatcher* watcher = nullptr; // child, exists while auto-reload is on
    QTimer* reloadTimer = nullptr;         // child, single shot, the debounce and the pacing
    int reloadDelay = 300;
    qint64 reloadCost = 0;          // ms taken by the last automatic reload
    QElapsedTimer sinceReload;      // started when the last automatic reload ended
    QPointer<QWidget> awaitedClose; // the popup or dialog a due reload waits for
};
