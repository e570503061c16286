#include "tests/viewer/viewertestutil.h"

#include <QFile>
#include <QMenu>

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

bool writeTrace(const QString& path, const QByteArray& text)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(text) == text.size();
}
