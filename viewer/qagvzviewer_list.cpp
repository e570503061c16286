// Curve roles: the row operations, double click and Enter, and the row popup.
#include "viewer/qagvzviewer.h"

#include "viewer/qagvzitem.h"
#include "host/studio/qalistview.h"

#include <QAction>
#include <QMenu>

void QAGVZViewer::setItemX(QAGVZItem* row)
{
    if (!row || row == itemX)
        return;
    if (itemX)
        itemX->setDisplayAsX(false);
    itemX = row;
    if (!row->displayAsX)
        row->setDisplayAsX(true);
    updateGraphic();
}

void QAGVZViewer::setItemY(QAGVZItem* row)
{
    if (!row)
        return;
    if (graphicType == XYZGraphic) {
        if (itemY)
            itemY->setDisplayAsY(false);
        itemY = row;
        row->setDisplayAsY(true);
    } else {
        row->setDisplayAsY(!row->displayAsY);
        if (itemY && row->displayAsY)
            itemY = row;
    }
    updateGraphic();
}

void QAGVZViewer::setItemZ(QAGVZItem* row)
{
    if (!row)
        return;
    row->setDisplayAsZ(!row->displayAsZ);
    updateGraphic();
}

void QAGVZViewer::doubleClicked(QTreeWidgetItem* item)
{
    auto* row = static_cast<QAGVZItem*>(item);
    if (!row)
        return;
    switch (graphicType) {
    case TimeGraphic:
        row->setDisplayIfTime(!row->displayIfTime);
        break;
    case XYGraphic:
        row->setDisplayAsY(!row->displayAsY);
        if (!itemY)
            itemY = row;
        break;
    case XYZGraphic:
        row->setDisplayAsZ(!row->displayAsZ);
        break;
    default:
        return;
    }
    updateGraphic();
}

void QAGVZViewer::rightButtonPressed(QTreeWidgetItem* item, const QPoint& pos, int)
{
    auto* row = static_cast<QAGVZItem*>(item);
    if (!row)
        return;
    // A reload while the popup is open (the studio's auto reload) may delete the row, and a
    // later row may take its address: the choice goes to the row of the same curve name, if any.
    const QString name = row->text(0);
    QMenu* menu = createItemMenu(row);
    const QAction* chosen = menu->exec(pos);
    const int id = chosen ? chosen->data().toInt() : -1;
    delete menu;
    for (int i = 0; i < listView->topLevelItemCount(); ++i) {
        if (rowAt(i)->text(0) == name) {
            itemMenuActivated(rowAt(i), id);
            return;
        }
    }
}

QMenu* QAGVZViewer::createItemMenu(QAGVZItem* row)
{
    auto* menu = new QMenu(this);
    const bool time = graphicType == TimeGraphic;
    const bool xy = graphicType == XYGraphic || graphicType == XYZGraphic;
    const struct
    {
        int id;
        QString text;
        bool checked;
        bool enabled;
    } entries[] = {
        {IdItemTime, tr("Display Curve"), row->displayIfTime, time},
        {IdItemX, tr("Display as X"), row->displayAsX, xy},
        {IdItemY, tr("Display as Y"), row->displayAsY, xy},
        {IdItemZ, tr("Display as Z"), row->displayAsZ, graphicType == XYZGraphic},
    };
    for (const auto& entry : entries) {
        QAction* action = menu->addAction(entry.text);
        action->setData(entry.id);
        action->setCheckable(true);
        action->setChecked(entry.checked);
        action->setEnabled(entry.enabled);
    }
    return menu;
}

void QAGVZViewer::itemMenuActivated(QAGVZItem* row, int id)
{
    if (!row)
        return;
    switch (id) {
    case IdItemTime:
        row->setDisplayIfTime(!row->displayIfTime);
        updateGraphic();
        break;
    case IdItemX:
        setItemX(row);
        break;
    case IdItemY:
        setItemY(row);
        break;
    case IdItemZ:
        setItemZ(row);
        break;
    default:
        break;
    }
}
