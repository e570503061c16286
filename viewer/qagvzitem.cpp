#include "viewer/qagvzitem.h"

#include "viewer/qagvzicons_p.h"
#include "viewer/qagvzviewer.h"
#include "data/qagvzvaluelist.h"
#include "host/studio/getpix.h"

#include <QIcon>

namespace {
struct RoleImage
{
    const char* name;
    const char* const* xpm;
};

const RoleImage roleImages[QAGVZItem::RoleIconCount] = {
    {"gvz_0_xpm", gvz_0_xpm},   {"gvz_t_xpm", gvz_t_xpm},   {"gvz_x_xpm", gvz_x_xpm},
    {"gvz_y_xpm", gvz_y_xpm},   {"gvz_z_xpm", gvz_z_xpm},   {"gvz_xy_xpm", gvz_xy_xpm},
    {"gvz_yz_xpm", gvz_yz_xpm}, {"gvz_xz_xpm", gvz_xz_xpm}, {"gvz_xyz_xpm", gvz_xyz_xpm},
};

enum Column { NameColumn = 0, CountColumn = 1, MinColumn = 2, MaxColumn = 3 };

// Sort key of a number column: rows without a number (no curve, no samples, NaN) come first.
bool numberKey(const QAGVZItem& row, int column, double* key)
{
    const QAGVZValueList* values = row.values;
    if (column == CountColumn) {
        *key = values ? values->count : 0;
        return true;
    }
    const QAGVZValue* node = values ? (column == MinColumn ? values->min : values->max) : nullptr;
    if (!node || node->value != node->value)
        return false;
    *key = node->value;
    return true;
}
} // namespace

QAGVZItem::QAGVZItem(QAGVZViewer* owner, QAGVZValueList* curve, QTreeWidget* list,
                     const QString& name)
    : QTreeWidgetItem(list), values(curve), viewer(owner)
{
    setText(NameColumn, name);
    fillColumns();
    setIcon(NameColumn, QIcon(rolePixmap(IconNone)));
}

QAGVZItem::~QAGVZItem()
{
    delete values;
    values = nullptr;
}

void QAGVZItem::setValues(QAGVZValueList* newValues)
{
    delete values;
    values = newValues;
    fillColumns();
}

void QAGVZItem::setDisplayIfTime(bool on)
{
    displayIfTime = on;
    setupPixmap();
}

void QAGVZItem::setDisplayAsX(bool on)
{
    displayAsX = on;
    setupPixmap();
}

void QAGVZItem::setDisplayAsY(bool on)
{
    displayAsY = on;
    setupPixmap();
}

void QAGVZItem::setDisplayAsZ(bool on)
{
    displayAsZ = on;
    setupPixmap();
}

void QAGVZItem::setupPixmap()
{
    const int type = viewer ? viewer->graphicType : -1;
    const RoleIcon next = roleIconFor(type, displayIfTime, displayAsX, displayAsY, displayAsZ);
    // Setting an icon repaints the row; a million role changes need not.
    if (next == currentIcon)
        return;
    currentIcon = next;
    setIcon(NameColumn, QIcon(rolePixmap(currentIcon)));
}

QAGVZItem::RoleIcon QAGVZItem::roleIconFor(int graphicType, bool time, bool x, bool y, bool z)
{
    switch (graphicType) {
    case QAGVZViewer::TimeGraphic:
        return time ? IconTime : IconNone;
    case QAGVZViewer::XYGraphic:
        if (x)
            return y ? IconXY : IconX;
        return y ? IconY : IconNone;
    case QAGVZViewer::XYZGraphic:
        if (x) {
            if (y)
                return z ? IconXYZ : IconXY;
            return z ? IconXZ : IconX;
        }
        if (y)
            return z ? IconYZ : IconY;
        return z ? IconZ : IconNone;
    default:
        return IconNone;
    }
}

const char* QAGVZItem::rolePixmapName(RoleIcon index)
{
    return index >= 0 && index < RoleIconCount ? roleImages[index].name : nullptr;
}

QPixmap QAGVZItem::rolePixmap(RoleIcon index)
{
    if (index < 0 || index >= RoleIconCount)
        return QPixmap();
    return GETPIX(roleImages[index].name, roleImages[index].xpm);
}

bool QAGVZItem::operator<(const QTreeWidgetItem& other) const
{
    const QTreeWidget* list = treeWidget();
    const int column = list ? list->sortColumn() : NameColumn;
    const auto* row = dynamic_cast<const QAGVZItem*>(&other);
    if (!row || column < CountColumn || column > MaxColumn)
        return QTreeWidgetItem::operator<(other);
    double mine = 0;
    double theirs = 0;
    const bool hasMine = numberKey(*this, column, &mine);
    const bool hasTheirs = numberKey(*row, column, &theirs);
    if (hasMine != hasTheirs)
        return !hasMine;
    if (hasMine && mine != theirs)
        return mine < theirs;
    return text(NameColumn) < row->text(NameColumn);
}

void QAGVZItem::fillColumns()
{
    const QAGVZValue* min = values ? values->min : nullptr;
    const QAGVZValue* max = values ? values->max : nullptr;
    setText(CountColumn, QString::number(values ? values->count : 0));
    setText(MinColumn, min ? QString::number(double(min->value), 'g', 6) : QString());
    setText(MaxColumn, max ? QString::number(double(max->value), 'g', 6) : QString());
}
