#pragma once

#include "host/studio/studiointerface.h"

#include <QList>
#include <QMainWindow>
#include <QPointer>
#include <QStringList>

class QAResProducer;
class QMenu;

// A studio whose main window can come and go; it records every call the viewer makes.
class FakeStudio : public StudioInterface
{
public:
    long queryInterface(const QUuid& id, QUnknownInterface** iface) override;
    unsigned long addRef() override { return 1; }
    unsigned long release() override { return 1; }

    QMainWindow* mainWindow() override;
    QString exportDirectory() override;
    QString htmlGenerator() override;
    void registerResourceProducer(QAResProducer* producer) override;
    int insertMenu(const QString& title, QMenu* menu) override;
    void removeMenu(int id) override;

    QPointer<QMainWindow> window;          // answered by mainWindow(); not owned
    QStringList calls;                     // "mainWindow", "insertMenu &Graphics", "removeMenu 3"
    QList<QAResProducer*> producers;
    QList<QPointer<QMenu>> insertedMenus;  // by id
};

// Writes `text` (UTF-8) to `path`; answers whether it did.
bool writeTrace(const QString& path, const QByteArray& text);
