#include "tests/studio/testviewerplugin.h"

#include "host/studio/qaiprogressmonitor.h"
#include "host/studio/studiointerface.h"
#include "tests/testfiles.h"

#include <QCloseEvent>
#include <QMenu>
#include <QPainter>
#include <QThread>

TestViewerWindow::TestViewerWindow(StudioInterface* studioIface, const QString& title)
    : studio(studioIface), toolMenu(new QMenu(this)), outline(new QListWidget(this))
{
    setWindowTitle(title);
    clock.start();
    setAttribute(Qt::WA_DeleteOnClose);
    toolMenu->addAction(title);
    outline->addItem(title);
    outline->hide();
}

void TestViewerWindow::setFiles(QStringList* files, QStringList* second, ViewerMode mode)
{
    QAStViewerWindow::setFiles(files, second, mode);
    curves.clear();
    // A read in one step per file, reported as the viewer does; duringRead acts between steps.
    QAIProgressMonitor* monitor = studio ? studio->progressMonitor() : nullptr;
    const int steps = files ? int(files->size()) : 0;
    if (monitor)
        monitor->setTotalSteps(steps);
    for (int i = 0; i < steps; ++i) {
        if (monitor) {
            monitor->setLabel(files->at(i));
            monitor->setProgress(i);
            if (duringRead)
                duringRead();
            if (monitor->wasCanceled()) {
                curves.clear();
                break;
            }
        }
        const QStringList names = QString::fromUtf8(readAll(files->at(i))).split('\n');
        for (const QString& name : names.mid(0, names.size() - 1))
            curves.append({name, QString::number(i + 1), QStringLiteral("0"), QStringLiteral("1")});
    }
    if (monitor)
        monitor->setProgress(steps);
}

void TestViewerWindow::refreshContents()
{
    const qint64 start = clock.elapsed();
    ++refreshCount;
    if (refreshCost > 0)
        QThread::msleep(refreshCost); // a costly read, as far as the caller can tell
    refreshTimes.append({start, clock.elapsed()});
}

bool TestViewerWindow::drawChart(QPainter& painter, const QRect& rect) const
{
    painter.fillRect(rect, chartColour(chart));
    return true;
}

bool TestViewerWindow::setCurveRoles(const CurveRoles& newRoles)
{
    if (!unknownCurveNames(newRoles.names()).isEmpty())
        return false;
    roles = newRoles;
    return true;
}

void TestViewerWindow::setEnabledStates(bool print, bool reloadOn)
{
    printEnabled = print;
    reloadEnabled = reloadOn;
    emit stateChanged();
}

void TestViewerWindow::activated()
{
    QAStViewerWindow::activated();
    if (studio)
        toolMenuId = studio->insertMenu(windowTitle(), toolMenu);
    emit stateChanged();
}

void TestViewerWindow::desactivated()
{
    QAStViewerWindow::desactivated();
    if (studio && toolMenuId != -1)
        studio->removeMenu(toolMenuId);
    toolMenuId = -1;
}

void TestViewerWindow::closeEvent(QCloseEvent* event)
{
    desactivated(); // its tool menu leaves the bar with it
    QAStViewerWindow::closeEvent(event);
}

TestViewerPlugin::TestViewerPlugin()
    : general(new CountingPage(QStringLiteral("General"), QStringLiteral("general"),
                               QStringLiteral("blue"))),
      detail(new CountingPage(QStringLiteral("Detail"), QStringLiteral("detail"),
                              QStringLiteral("fine")))
{
    general->setChild(detail);
}

TestViewerPlugin::~TestViewerPlugin()
{
    delete detail;
    delete general;
}

void TestViewerPlugin::initialize(QUnknownInterface* host, QARes* resources)
{
    if (host) {
        QUnknownInterface* iface = nullptr;
        host->queryInterface(IID_StudioInterface, &iface);
        studio = static_cast<StudioInterface*>(iface);
    }
    if (studio)
        studio->registerResourceProducer(this);
    QAResGroup* root = resources ? resources->toResGroup() : nullptr;
    QARes* studioGroup = root ? root->firstChild() : nullptr;
    for (CountingPage* page : {general, detail}) {
        QARes* node = studioGroup ? studioGroup->search("test_viewer." + page->tag()) : nullptr;
        if (QAResString* text = node ? node->toResString() : nullptr)
            page->value = text->value();
    }
}

QAStViewerWindow* TestViewerPlugin::create(QStringList& files, bool activate, QWidget* parent,
                                           const char*)
{
    auto* window = new TestViewerWindow(studio, QStringLiteral("Test %1").arg(++windowCount));
    if (parent)
        window->setParent(parent);
    window->setActivateDisplay(activate);
    window->setFiles(&files, nullptr, QAStViewerWindow::FileMode);
    return window;
}

QARes* TestViewerPlugin::toResources(const char*)
{
    auto* group = new QAResGroup(QStringLiteral("test_viewer"));
    group->addChild(new QAResString(general->tag(), general->value));
    group->addChild(new QAResString(detail->tag(), detail->value));
    return group;
}
