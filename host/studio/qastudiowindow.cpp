#include "host/studio/qastudiowindow.h"

QAStudioWindow::QAStudioWindow(QWidget* parent, const char* name, Qt::WindowFlags flags)
    : QMainWindow(parent, flags)
{
    if (name)
        setObjectName(QString::fromUtf8(name));
}

bool QAStudioWindow::canClose()
{
    return true;
}

QWidget* QAStudioWindow::contentOutlineWidget() const
{
    return nullptr;
}

bool QAStudioWindow::isSaveEnabled()
{
    return false;
}
bool QAStudioWindow::isSaveAsEnabled()
{
    return false;
}
bool QAStudioWindow::isPrintEnabled()
{
    return false;
}
bool QAStudioWindow::isCopyEnabled()
{
    return false;
}
bool QAStudioWindow::isPasteEnabled()
{
    return false;
}
bool QAStudioWindow::isCutEnabled()
{
    return false;
}
bool QAStudioWindow::isUndoEnabled()
{
    return false;
}
bool QAStudioWindow::isRedoEnabled()
{
    return false;
}
bool QAStudioWindow::isDelEnabled()
{
    return false;
}
bool QAStudioWindow::isSelectAllEnabled()
{
    return false;
}
bool QAStudioWindow::isFindEnabled()
{
    return false;
}
bool QAStudioWindow::isReplaceEnabled()
{
    return false;
}
bool QAStudioWindow::isGoToEnabled()
{
    return false;
}
bool QAStudioWindow::isReloadEnabled()
{
    return false;
}
bool QAStudioWindow::isResetEnabled()
{
    return false;
}
bool QAStudioWindow::isExportDocEnabled()
{
    return false;
}
bool QAStudioWindow::isZoomEnabled()
{
    return false;
}
bool QAStudioWindow::isFilterEnabled()
{
    return false;
}

QString QAStudioWindow::macro(const QString& text)
{
    return text;
}

bool QAStudioWindow::exportHTML(const QString&, const QString&, QAIProgressMonitor*, QAILogMonitor*)
{
    return false;
}

void QAStudioWindow::refreshContents()
{
}
void QAStudioWindow::activated()
{
}
void QAStudioWindow::desactivated()
{
}
void QAStudioWindow::save()
{
}
void QAStudioWindow::saveAs()
{
}
void QAStudioWindow::print()
{
}
void QAStudioWindow::copy()
{
}
void QAStudioWindow::paste()
{
}
void QAStudioWindow::cut()
{
}
void QAStudioWindow::undo()
{
}
void QAStudioWindow::redo()
{
}
void QAStudioWindow::del()
{
}
void QAStudioWindow::selectAll()
{
}
void QAStudioWindow::replace()
{
}
void QAStudioWindow::goTo()
{
}
void QAStudioWindow::reload()
{
}
void QAStudioWindow::reset()
{
}
void QAStudioWindow::exportDoc()
{
}
void QAStudioWindow::zoomIn()
{
}
void QAStudioWindow::zoomOut()
{
}
void QAStudioWindow::mnFilter()
{
}
void QAStudioWindow::zoom(int)
{
}
void QAStudioWindow::find(const QString&)
{
}
