#include "tests/viewer/viewertestutil.h"

#include "viewer/qagvzviewer.h"

#include <QMenu>
#include <QTemporaryDir>

long FakeStudio::queryInterface(const QUuid& id, QUnknownInterface** iface)
{
    const bool known = id == IID_StudioInterface || id == IID_QUnknown;
    *iface = known ? this : nullptr;
    return known ? Ok : NoInterface;
}

int FakeStudio::insertMenu(const QString& title, QMenu* menu)
{
    calls << QStringLiteral("insertMenu ") + title;
    insertedMenus << menu;
    return int(insertedMenus.size()) - 1;
}

std::unique_ptr<QAGVZViewer> openTraces(const QTemporaryDir& dir, const QList<QByteArray>& contents,
                                        QStringList* paths)
{
    QStringList files;
    for (int i = 0; i < contents.size(); ++i) {
        files << dir.filePath(QStringLiteral("f%1.gvz").arg(i));
        if (contents[i] != "<missing>" && !writeTrace(files.last(), contents[i]))
            return nullptr;
    }
    if (paths)
        *paths = files;
    auto viewer = std::make_unique<QAGVZViewer>();
    viewer->setFiles(&files, nullptr, QAStViewerWindow::FileMode);
    return viewer;
}
