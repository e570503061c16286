#pragma once

#include <QTreeWidget>

// A tree widget that reports, for a row, a right-button press (or the context-menu key), a double
// click and Enter/Return, as three signals.
class QAListView : public QTreeWidget
{
    Q_OBJECT
public:
    explicit QAListView(QWidget* parent = nullptr, const char* name = nullptr,
                        Qt::WindowFlags flags = {});

    // Appends a column titled `label`; answers its index. `width` < 0 keeps the default width.
    int addColumn(const QString& label, int width = -1);
    // Whether the cell at `index` is too narrow for its text (it then shows it as its tooltip).
    bool isCellCut(const QModelIndex& index) const;

signals:
    // `item` is null when the press was on no row; `pos` is global; `column` is -1 without a row.
    void rightButtonPressed(QTreeWidgetItem* item, const QPoint& pos, int column);
    // Only for a row: never emitted with a null item.
    void doubleClicked(QTreeWidgetItem* item);
    // Enter or Return with a current row.
    void returnPressed(QTreeWidgetItem* item);

protected:
    // reimplemented virtual methods:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    bool viewportEvent(QEvent* event) override;
};
