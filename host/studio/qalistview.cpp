#include "host/studio/qalistview.h"

#include <QAbstractItemDelegate>
#include <QContextMenuEvent>
#include <QHelpEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QToolTip>

QAListView::QAListView(QWidget* parent, const char* name, Qt::WindowFlags flags)
    : QTreeWidget(parent)
{
    if (name)
        setObjectName(QString::fromUtf8(name));
    if (flags)
        setWindowFlags(flags);
    // A list starts without columns; addColumn makes them one by one.
    setColumnCount(0);
    setRootIsDecorated(false);
    setAllColumnsShowFocus(true);
    setUniformRowHeights(true);
}

int QAListView::addColumn(const QString& label, int width)
{
    const int column = columnCount();
    setColumnCount(column + 1);
    headerItem()->setText(column, label);
    if (width >= 0)
        setColumnWidth(column, width);
    return column;
}

void QAListView::mousePressEvent(QMouseEvent* event)
{
    // The base makes the row current first, so that a popup shown for it finds it current.
    QTreeWidget::mousePressEvent(event);
    if (event->button() != Qt::RightButton)
        return;
    const QPoint pos = event->position().toPoint();
    QTreeWidgetItem* item = itemAt(pos);
    emit rightButtonPressed(item, viewport()->mapToGlobal(pos), item ? columnAt(pos.x()) : -1);
}

void QAListView::mouseDoubleClickEvent(QMouseEvent* event)
{
    QTreeWidget::mouseDoubleClickEvent(event);
    if (event->button() != Qt::LeftButton)
        return;
    if (QTreeWidgetItem* item = itemAt(event->position().toPoint()))
        emit doubleClicked(item);
}

void QAListView::keyPressEvent(QKeyEvent* event)
{
    QTreeWidgetItem* item = currentItem();
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && item) {
        emit returnPressed(item);
        event->accept();
        return;
    }
    QTreeWidget::keyPressEvent(event);
}

void QAListView::contextMenuEvent(QContextMenuEvent* event)
{
    event->accept();
    // The mouse case was reported by mousePressEvent already.
    if (event->reason() == QContextMenuEvent::Mouse)
        return;
    QTreeWidgetItem* item = currentItem();
    const QRect rect = item ? visualItemRect(item) : viewport()->rect();
    emit rightButtonPressed(item, viewport()->mapToGlobal(rect.center()),
                            item ? currentColumn() : -1);
}

bool QAListView::isCellCut(const QModelIndex& index) const
{
    QStyleOptionViewItem option;
    initViewItemOption(&option);
    QAbstractItemDelegate* delegate = itemDelegateForIndex(index);
    return delegate && delegate->sizeHint(option, index).width() > visualRect(index).width();
}

bool QAListView::viewportEvent(QEvent* event)
{
    // A cell too narrow for its text shows the whole text as its tooltip.
    if (event->type() == QEvent::ToolTip) {
        const auto* help = static_cast<QHelpEvent*>(event);
        const QModelIndex index = indexAt(help->pos());
        if (index.isValid() && index.data(Qt::ToolTipRole).isNull()) {
            if (isCellCut(index))
                QToolTip::showText(help->globalPos(), index.data().toString(), viewport(),
                                   visualRect(index));
            else
                QToolTip::hideText();
            return true;
        }
    }
    return QTreeWidget::viewportEvent(event);
}
