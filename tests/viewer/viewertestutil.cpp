#include "tests/viewer/viewertestutil.h"

#include <QFile>
#include <QMenu>

long FakeStudio::queryInterface(const QUuid& id, QUnknownInterface** iface)
{
    const bool known = id == IID_StudioInterface || id == IID_QUnknown;
    *iface = known ? this : nullptr;
    return known ? Ok : NoInterface;
}

QMainWindow* FakeStudio::mainWindow()
{
    calls << QStringLiteral("mainWindow");
    return window;
}

QString FakeStudio::exportDirectory()
{
    calls << QStringLiteral("exportDirectory");
    return QString();
}

QString FakeStudio::htmlGenerator()
{
    calls << QStringLiteral("htmlGenerator");
    return QStringLiteral("fake studio");
}

void FakeStudio::registerResourceProducer(QAResProducer* producer)
{
    calls << QStringLiteral("registerResourceProducer");
    producers << producer;
}

int FakeStudio::insertMenu(const QString& title, QMenu* menu)
{
    calls << QStringLiteral("insertMenu ") + title;
    insertedMenus << menu;
    return int(insertedMenus.size()) - 1;
}

void FakeStudio::removeMenu(int id)
{
    calls << QStringLiteral("removeMenu %1").arg(id);
}

bool writeTrace(const QString& path, const QByteArray& text)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(text) == text.size();
}
