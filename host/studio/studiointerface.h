#pragma once

#include "host/studio/qunknowninterface.h"

#include <QString>

class QAIProgressMonitor;
class QAResProducer;
class QMainWindow;
class QMenu;

// Identifier under which the host answers its StudioInterface.
#define IID_StudioInterface                                                                        \
    QUuid(0xcedeb1c6, 0xd23b, 0x431d, 0xa0, 0x38, 0x12, 0x75, 0xcd, 0x05, 0x69, 0x13)

// What the studio offers to its plug-ins.
class StudioInterface : public QUnknownInterface
{
public:
    // The studio's main window, or null when it has none (or it is gone).
    virtual QMainWindow* mainWindow() = 0;
    // Folder holding the HTML exporter's dhtml.cfg.
    virtual QString exportDirectory() = 0;
    // Name and version of the studio, written into exported pages.
    virtual QString htmlGenerator() = 0;
    // The studio asks `producer` to write itself whenever it saves its resources.
    virtual void registerResourceProducer(QAResProducer* producer) = 0;
    // Puts `menu` into the studio's menu bar under `title`; answers an id for removeMenu.
    virtual int insertMenu(const QString& title, QMenu* menu) = 0;
    virtual void removeMenu(int id) = 0;
    // Shows `text` in a field of its own at the right of the status bar (an empty text clears
    // it), so that it never hides the studio's other messages. A studio without one ignores it.
    virtual void showReadout(const QString& text) { Q_UNUSED(text) }
    // Tells the user `text` (one or more lines) without interrupting: the status bar of a studio
    // that shows windows, stderr in a run without windows. Warnings that a window knows first.
    virtual void logMessage(const QString& text) = 0;
    // Where a window reports a long read: total and progress (KiB of the file set, then steps of
    // building its chart), the label names the file being read; progress equal to the total
    // ends it. Null: nobody watches.
    virtual QAIProgressMonitor* progressMonitor() { return nullptr; }

protected:
    ~StudioInterface() = default;
};
