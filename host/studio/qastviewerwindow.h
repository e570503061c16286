#pragma once

#include "host/studio/qastudiowindow.h"

#include <QStringList>

class QFileSystemWatcher;
class QTimer;

// A studio window that shows a set of files. Besides the standard commands it keeps the file set,
// whether the studio wants it shown when created, and, on request, watches its files and calls
// refreshContents() when they change.
class QAStViewerWindow : public QAStudioWindow
{
    Q_OBJECT
public:
    enum ViewerMode { FileMode = 0, StreamMode = 1 };

    explicit QAStViewerWindow(QWidget* parent = nullptr, const char* name = nullptr,
                              Qt::WindowFlags flags = {});
    ~QAStViewerWindow() override;

    // Whether the studio should make the window active as soon as it shows it.
    void setActivateDisplay(bool activate) { activateDisplay = activate; }
    bool activateDisplayRequested() const { return activateDisplay; }

    // files:
    // setFiles with `fileName` alone, no second list and FileMode.
    virtual void setFile(const QString& fileName);
    // Answers whether the window can re-read its files itself; the base answers false.
    virtual bool canReload();
    // Takes the file set (the lists are copied; `second` may be null) and the mode, and follows the
    // new files when auto-reload is on. Derived windows call this base, then read the files.
    virtual void setFiles(QStringList* files, QStringList* second, ViewerMode mode);
    QStringList fileList() const { return viewerFiles; }
    QStringList secondFileList() const { return viewerSecondFiles; }
    ViewerMode mode() const { return viewerMode; }

    // Settings of a window that shows a stream; the bases store them.
    virtual void setMode(ViewerMode mode);
    virtual void setNode(const QString& node);
    virtual void setChannel(int channel);
    virtual void scrollToTag(const QString& tag, int line, int column);
    virtual void setRootName(const QString& name);
    virtual void setRootIcon(const QPixmap& icon);
    // One character of the stream arrived; the base ignores it.
    virtual void streamCharReceived(char c);
    QString node() const { return viewerNode; }
    int channel() const { return viewerChannel; }
    QString rootName() const { return viewerRootName; }

    // On: watches the files of the set and calls refreshContents() once autoReloadDelay() ms
    // after the first change of a burst: a short burst gives one reload, a file that keeps
    // growing is reloaded every autoReloadDelay() ms. A file that is replaced (written beside
    // and renamed over, or removed and created again) is still followed.
    virtual void setAutoReload(bool on);
    bool autoReload() const { return watcher != nullptr; }
    void setAutoReloadDelay(int ms);
    int autoReloadDelay() const;

public slots:
    // The bases set and clear viewerActive.
    void activated() override;
    void desactivated() override;

public:
    // True while the studio has this window active; set by activated(), cleared on deactivation.
    bool viewerActive = false;

private:
    void watchFiles();
    void fileChanged();
    void directoryChanged();

    bool activateDisplay = true;
    ViewerMode viewerMode = FileMode;
    QStringList viewerFiles;
    QStringList viewerSecondFiles;
    QString viewerNode;
    int viewerChannel = 0;
    QString viewerRootName;
    QFileSystemWatcher* watcher = nullptr; // child, exists while auto-reload is on
    QTimer* reloadTimer = nullptr;         // child, single shot, the debounce
};
