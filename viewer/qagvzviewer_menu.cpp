// The tool menu and its status texts.
#include "viewer/qagvzviewer.h"

#include "viewer/qagvzicons_p.h"
#include "host/studio/getpix.h"
#include "host/studio/studiointerface.h"

#include <QAction>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>

namespace {
// Ids of tool menus in a window's own menu bar: negative and never -1, so that the studio,
// which hands out ids of its own, never takes one for its own.
int nextOwnMenuId = -2;
} // namespace

void QAGVZViewer::addToolMenuEntry(int id, const QString& text, void (QAGVZViewer::*slot)())
{
    QAction* action = toolMenu->addAction(text, this, slot);
    action->setData(id);
    if (id >= IdDisplayCurve && id <= IdDisplayXYZ) {
        action->setCheckable(true);
        action->setChecked(id - IdDisplayCurve == graphicType);
    }
}

void QAGVZViewer::createToolMenu()
{
    if (!_iface)
        return;
    if (!toolMenu) {
        toolMenu = new QMenu(this);
        connect(toolMenu, &QMenu::hovered, this,
                [this](QAction* action) { mnHighlighted(action->data().toInt()); });
    }
    if (hostMainWindow()) {
        toolMenuId = _iface->insertMenu(tr("&Graphics"), toolMenu);
    } else if (toolMenuId == -1) {
        toolMenu->setTitle(tr("&Commands"));
        menuBar()->addMenu(toolMenu);
        toolMenuId = nextOwnMenuId--;
    }
    toolMenu->clear();
    addToolMenuEntry(IdDisplayCurve, tr("Display Curves"), &QAGVZViewer::mnDisplayCurve);
    addToolMenuEntry(IdDisplayXY, tr("Display XY Curve"), &QAGVZViewer::mnDisplayXY);
    addToolMenuEntry(IdDisplayXYZ, tr("Display XYZ Curve"), &QAGVZViewer::mnDisplayXYZ);
    toolMenu->addSeparator();
    addToolMenuEntry(IdConfigure, tr("Configure ..."), &QAGVZViewer::mnConfigure);
    toolMenu->addSeparator();
    addToolMenuEntry(IdReload, tr("Reload"), &QAGVZViewer::reload);
    toolMenu->actions().constLast()->setIcon(QIcon(GETPIX("reload_xpm", reload_xpm)));
    toolMenu->addSeparator();
    addToolMenuEntry(IdGenerateHtml, tr("Generate HTML"), &QAGVZViewer::exportDoc);
    // The entry carries the key reserved for unidentified keys; it must not fire on any key
    // the keyboard cannot name, so it acts only while the menu itself has the focus.
    QAction* generate = toolMenu->actions().constLast();
    generate->setShortcut(QKeySequence(Qt::Key_unknown));
    generate->setShortcutContext(Qt::WidgetShortcut);
}

QString QAGVZViewer::statusText(int id)
{
    switch (id) {
    case IdDisplayCurve:
        return tr("Display multiple curve");
    case IdDisplayXY:
        return tr("Display XY curve");
    case IdDisplayXYZ:
        return tr("Display XYZ curve");
    case IdReload:
        return tr("Reload dynamic trace file");
    case IdGenerateHtml:
        return tr("Generate the viewer's content in a HTML file");
    default:
        return QString();
    }
}

void QAGVZViewer::mnHighlighted(int id)
{
    if (QMainWindow* host = hostMainWindow())
        host->statusBar()->showMessage(statusText(id));
}
