#pragma once

#include "host/studio/studiointerface.h"
#include "tests/testfiles.h"

#include <QList>
#include <QMainWindow>
#include <QPointer>
#include <QStringList>

#include <memory>

class QAGVZViewer;
class QAIProgressMonitor;
class QAResProducer;
class QMenu;
class QTemporaryDir;

// A studio whose main window can come and go; it records every call the viewer makes.
class FakeStudio : public StudioInterface
{
public:
    long queryInterface(const QUuid& id, QUnknownInterface** iface) override;
    unsigned long addRef() override { return 1; }
    unsigned long release() override { return 1; }

    QMainWindow* mainWindow() override { return noted("mainWindow", window.data()); }
    QString exportDirectory() override { return noted("exportDirectory", QString()); }
    QString htmlGenerator() override { return noted("htmlGenerator", QString("fake studio")); }
    void registerResourceProducer(QAResProducer* producer) override
    {
        producers << noted("registerResourceProducer", producer);
    }
    int insertMenu(const QString& title, QMenu* menu) override;
    void removeMenu(int id) override { calls << QStringLiteral("removeMenu %1").arg(id); }
    void logMessage(const QString& text) override { messages << text; }
    QAIProgressMonitor* progressMonitor() override { return monitor; }
    void showReadout(const QString& text) override { calls << "showReadout " + text; }

    QPointer<QMainWindow> window; // answered by mainWindow(); not owned
    QStringList calls;            // "mainWindow", "insertMenu &Graphics", "removeMenu 3"
    QList<QAResProducer*> producers;
    QList<QPointer<QMenu>> insertedMenus;  // by id
    QStringList messages;                  // of logMessage()
    QAIProgressMonitor* monitor = nullptr; // answered by progressMonitor(); not owned

private:
    template <typename T> T noted(const char* call, T answer)
    {
        calls << QLatin1String(call);
        return answer;
    }
};

inline bool writeTrace(const QString& path, const QByteArray& text)
{
    return writeFile(path, text);
}
// A viewer on the trace files f0.gvz, f1.gvz... written to `dir` with `contents` ("<missing>":
// a file that does not exist); `paths` gets their names. Null when a file cannot be written.
std::unique_ptr<QAGVZViewer> openTraces(const QTemporaryDir& dir, const QList<QByteArray>& contents,
                                        QStringList* paths = nullptr);
