#pragma once

#include <QMainWindow>

class QAILogMonitor;
class QAIProgressMonitor;

// A document window of the studio. Its virtual operations are the studio's standard commands: the
// studio asks the is*Enabled() questions when the window becomes active and after each
// stateChanged(), enables its menu entries from the answers and calls the commands on the active
// window. The bases answer false (nothing enabled) and do nothing.
class QAStudioWindow : public QMainWindow
{
    Q_OBJECT
public:
    explicit QAStudioWindow(QWidget* parent = nullptr, const char* name = nullptr,
                            Qt::WindowFlags flags = {});

    // True when the window may close now; the base answers true.
    virtual bool canClose();
    // The widget the studio shows beside the window while it is active (an outline, a list), or
    // null. It stays owned by the window.
    virtual QWidget* contentOutlineWidget() const;

    // enabled-state questions:
    virtual bool isSaveEnabled();
    virtual bool isSaveAsEnabled();
    virtual bool isPrintEnabled();
    virtual bool isCopyEnabled();
    virtual bool isPasteEnabled();
    virtual bool isCutEnabled();
    virtual bool isUndoEnabled();
    virtual bool isRedoEnabled();
    virtual bool isDelEnabled();
    virtual bool isSelectAllEnabled();
    virtual bool isFindEnabled();
    virtual bool isReplaceEnabled();
    virtual bool isGoToEnabled();
    virtual bool isReloadEnabled();
    virtual bool isResetEnabled();
    virtual bool isExportDocEnabled();
    virtual bool isZoomEnabled();
    virtual bool isFilterEnabled();

    // Expands the studio's macros in `text`; the base answers it unchanged.
    virtual QString macro(const QString& text);
    // Writes the window's contents as HTML into folder `dir` under `name`; answers whether it did.
    virtual bool exportHTML(const QString& dir, const QString& name, QAIProgressMonitor* progress,
                            QAILogMonitor* log);
    // Reads the window's contents again from where they came from.
    virtual void refreshContents();

public slots:
    // The studio made this window the active one, or another one.
    virtual void activated();
    virtual void desactivated();

    // standard commands:
    virtual void save();
    virtual void saveAs();
    virtual void print();
    virtual void copy();
    virtual void paste();
    virtual void cut();
    virtual void undo();
    virtual void redo();
    virtual void del();
    virtual void selectAll();
    virtual void replace();
    virtual void goTo();
    virtual void reload();
    virtual void reset();
    virtual void exportDoc();
    virtual void zoomIn();
    virtual void zoomOut();
    virtual void mnFilter();
    virtual void zoom(int percent);
    virtual void find(const QString& text);

signals:
    // The answers to the enabled-state questions may have changed: the studio asks them again.
    void stateChanged();
};
