#pragma once

#include "host/res/qares.h"
#include "host/studio/preferenceitem.h"
#include "host/studio/qastviewerplugin.h"
#include "host/studio/qastviewerwindow.h"

#include <QColor>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QListWidget>
#include <QPointer>

#include <functional>

class QMenu;
class StudioInterface;

// A preference page that counts the dialog's calls; its value is the text of a line edit.
class CountingPage : public PreferenceItem
{
    Q_OBJECT
public:
    CountingPage(const QString& title, const QString& tag, const QString& defaultText)
        : PreferenceItem(title, tag, tag), value(defaultText), defaultValue(defaultText)
    {
    }

    QWidget* createWidget(QWidget* parent) override { return edit = new QLineEdit(parent); }
    void updateContents() override
    {
        if (edit)
            edit->setText(value);
    }
    void apply() override
    {
        ++applies;
        value = edit ? edit->text() : value;
    }
    void cancel() override { ++cancels; }
    void defaults() override
    {
        ++defaultsCalls;
        value = defaultValue;
    }

    QString value;
    QString defaultValue;
    QPointer<QLineEdit> edit;
    int applies = 0;
    int cancels = 0;
    int defaultsCalls = 0;
};

// A plain viewer window: a tool menu put into the studio's bar while active, an outline list,
// enabled states set by the test, and counters of the studio's calls. Its curves are the lines of
// its files (Values: the file's number in the set); it keeps what the host operations set and
// draws a rectangle in the colour of its chart type.
class TestViewerWindow : public QAStViewerWindow
{
    Q_OBJECT
public:
    TestViewerWindow(StudioInterface* studio, const QString& title);

    static QColor chartColour(ChartType type)
    {
        return QList<QColor>{Qt::blue, Qt::green, Qt::red}.value(type);
    }

    QWidget* contentOutlineWidget() const override { return outline; }
    void setFiles(QStringList* files, QStringList* second, ViewerMode mode) override;
    bool drawChart(QPainter& painter, const QRect& rect) const override;
    QList<CurveInfo> curveList() const override { return curves; }
    bool setChartType(ChartType type) override
    {
        chart = type;
        return true;
    }
    bool setCurveRoles(const CurveRoles& roles) override;
    bool setViewRange(const Range& x, const std::optional<Range>& y) override
    {
        viewX = x;
        viewY = y;
        return true;
    }
    bool setScales(const Scales& newScales) override
    {
        scales = newScales;
        return true;
    }
    bool isPrintEnabled() override { return printEnabled; }
    bool isReloadEnabled() override { return reloadEnabled; }
    // Counts, and takes refreshCost ms; refreshTimes holds when each began and ended (ms on clock).
    void refreshContents() override;
    void setEnabledStates(bool print, bool reload);

    void activated() override;
    void desactivated() override;
    void reload() override { refreshContents(); }
    void print() override { ++printCount; }

    StudioInterface* studio;
    QMenu* toolMenu;
    int toolMenuId = -1;
    QListWidget* outline;
    bool printEnabled = true;
    bool reloadEnabled = true;
    int refreshCount = 0;
    int refreshCost = 0;
    static inline std::function<void()> duringRead; // called at each step of setFiles()
    QElapsedTimer clock;
    QList<std::pair<qint64, qint64>> refreshTimes;
    int printCount = 0;
    QList<CurveInfo> curves;
    ChartType chart = TimeChart;
    CurveRoles roles;
    std::optional<Range> viewX, viewY;
    std::optional<Scales> scales;

protected:
    void closeEvent(QCloseEvent* event) override;
};

// Makes TestViewerWindows for "*.txt" files and keeps one preference value per page in the
// resource group "test_viewer".
class TestViewerPlugin : public QAStViewerPlugin, public QAResProducer
{
    Q_OBJECT
public:
    TestViewerPlugin();
    ~TestViewerPlugin() override;

    QString name() override { return QStringLiteral("Test"); }
    QStringList accept() override { return {QStringLiteral("*.txt")}; }
    QStringList filters() override { return {QStringLiteral("Text files (*.txt)")}; }
    void initialize(QUnknownInterface* host, QARes* resources) override;
    QAStViewerWindow* create(QStringList& files, bool activate, QWidget* parent,
                             const char* name) override;
    void connectAccepted(QObject* sender, const char* signal) override
    {
        connect(sender, signal, this, SLOT(prefAccepted()));
    }
    void connectRejected(QObject* sender, const char* signal) override
    {
        connect(sender, signal, this, SLOT(prefRejected()));
    }
    PreferenceItem* preferenceSettings() override { return general; }
    QARes* toResources(const char* name) override;

    StudioInterface* studio = nullptr;
    CountingPage* general = nullptr; // owned, with its child
    CountingPage* detail = nullptr;  // owned
    int windowCount = 0;
    int acceptedCount = 0;
    int rejectedCount = 0;

private slots:
    void prefAccepted() { ++acceptedCount; }
    void prefRejected() { ++rejectedCount; }
};
