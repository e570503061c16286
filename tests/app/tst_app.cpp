#include "app/pluginloader.h"
#include "app/preferencedialog.h"
#include "app/resourcestore.h"
#include "app/studioapp.h"
#include "app/studiomainwindow.h"
#include "tests/studio/testviewerplugin.h"

#include <QDockWidget>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QProcess>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QStatusBar>
#include <QTest>
#include <QTimer>

namespace {

QByteArray readAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeFile(const QString& path, const QByteArray& data)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(data);
}

} // namespace

class TestApp : public QObject
{
    Q_OBJECT

    QTemporaryDir* dir = nullptr;
    ResourceStore* store = nullptr;
    StudioMainWindow* studio = nullptr;
    TestViewerPlugin* plugin = nullptr;

    TestViewerWindow* open(const char* file)
    {
        return static_cast<TestViewerWindow*>(studio->openFiles({QString::fromLatin1(file)}));
    }
    void activate(bool first)
    {
        const QList<QMdiSubWindow*> subs = studio->mdiArea()->subWindowList();
        studio->mdiArea()->setActiveSubWindow(first ? subs.first() : subs.last());
    }
    // The titles of the menus in the bar between Tools and Window: the tool menus.
    QStringList toolMenuTitles() const
    {
        QStringList titles;
        for (const QAction* action : studio->menuBar()->actions())
            titles << action->text();
        const int tools = titles.indexOf("&Tools");
        return titles.mid(tools + 1, titles.indexOf("&Window") - tools - 1);
    }

private slots:
    void init()
    {
        dir = new QTemporaryDir;
        store = new ResourceStore(dir->filePath(QStringLiteral("resources.xml")));
        QVERIFY(store->load(nullptr));
        studio = new StudioMainWindow(store);
        plugin = new TestViewerPlugin;
        plugin->addRef();
        studio->setPlugin(plugin);
        plugin->initialize(studio, store->root());
        studio->show();
        QVERIFY(QTest::qWaitForWindowExposed(studio));
    }

    void cleanup()
    {
        delete studio;
        plugin->release();
        delete store;
        delete dir;
    }

    void loading_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("error");
        const auto row = [](const char* name, const char* path, const char* error) {
            QTest::newRow(name) << QString(path) << QString(error);
        };
        row("good plug-in", GVZ_TEST_PLUGIN_GOOD, "");
        row("missing file", "/nonexistent/libgvzviewer.so", "no such file");
        row("not a library", GVZ_SOURCE_FILE, "Cannot load");
        row("no verification", GVZ_TEST_PLUGIN_NOVERIFICATION, "qt_ucm_query_verification_data");
        row("no instantiate", GVZ_TEST_PLUGIN_NOINSTANTIATE, "ucm_instantiate");
        row("other verification text", GVZ_TEST_PLUGIN_WRONGTEXT, "verification text differs");
    }

    void loading()
    {
        QFETCH(QString, path);
        QFETCH(QString, error);
        QString reason;
        QAStViewerPlugin* loaded = PluginLoader::load(path, &reason);
        if (error.isEmpty()) {
            QVERIFY2(loaded && loaded->name() == "Test", qPrintable(reason));
            QSignalSpy destroyed(loaded, &QObject::destroyed);
            QCOMPARE(loaded->release(), 0ul);
            QCOMPARE(destroyed.count(), 1);
            return;
        }
        QVERIFY2(!loaded && reason.contains(error) && reason.contains(path), qPrintable(reason));

        // The studio refuses it with a clear message and exit code 1, writing nothing.
        QProcess process;
        const QString resources = dir->filePath(QStringLiteral("r.xml"));
        process.start(GVZ_STUDIO_EXECUTABLE, {"--plugin", path, "--resources", resources});
        QVERIFY(process.waitForFinished(30000) && process.exitStatus() == QProcess::NormalExit);
        QCOMPARE(process.exitCode(), 1);
        const QString err = process.readAllStandardError();
        QVERIFY2(err.contains("gvz-studio: ") && err.contains(path) && err.contains(error),
                 qPrintable(err));
        QVERIFY(!QFile::exists(resources));
    }

    void commandLineFilesOpenOneWindowAndResourcesAreWrittenAtExit()
    {
        StudioApp studioApp;
        const QString resources = dir->filePath(QStringLiteral("exit.xml"));
        QStringList files;
        QTimer::singleShot(0, qApp, [&] {
            for (QMdiSubWindow* sub : studioApp.mainWindow()->mdiArea()->subWindowList())
                files << qobject_cast<QAStViewerWindow*>(sub->widget())->fileList().join('+');
            QCoreApplication::quit();
        });
        QCOMPARE(studioApp.run({"gvz-studio", "--plugin", GVZ_TEST_PLUGIN_GOOD, "--resources",
                                resources, "a.txt", "b.txt"}),
                 0);
        QCOMPARE(files, QStringList{"a.txt+b.txt"});
        QVERIFY(readAll(resources).contains("test_viewer")); // the plug-in's group, at exit
    }

    void toolMenuIds()
    {
        QMenu first, second;
        const int a = studio->insertMenu(QStringLiteral("&One"), &first);
        const int b = studio->insertMenu(QStringLiteral("&Two"), &second);
        QVERIFY(a != -1 && b != -1 && a != b);
        QCOMPARE(toolMenuTitles(), (QStringList{"&One", "&Two"}));
        // Inserting a menu that is in the bar keeps its id and its single place.
        QCOMPARE(studio->insertMenu(QStringLiteral("&One"), &first), a);
        QCOMPARE(toolMenuTitles().size(), 2);
        studio->removeMenu(a);
        studio->removeMenu(a);
        studio->removeMenu(12345);
        QCOMPARE(toolMenuTitles(), QStringList{"&Two"});
        const int c = studio->insertMenu(QStringLiteral("&One"), &first); // ids are not reused
        QVERIFY(c != a && c != b && studio->toolMenu(c) == &first && !studio->toolMenu(a));
        QCOMPARE(studio->insertMenu(QStringLiteral("&None"), nullptr), -1);
    }

    // Only the active window's tool menu and outline are shown.
    void toolMenuAndOutlineFollowActiveWindow()
    {
        TestViewerWindow* one = open("one.txt");
        QPointer<TestViewerWindow> two = open("two.txt");
        QPointer<QListWidget> twoOutline = two->outline;
        QCOMPARE(studio->activeStudioWindow(), two);
        QCOMPARE(toolMenuTitles(), QStringList{two->windowTitle()});
        QVERIFY(studio->outlineDock()->isAncestorOf(twoOutline) && twoOutline->isVisible());
        for (int round = 0; round < 3; ++round) {
            activate(true);
            QCOMPARE(studio->activeStudioWindow(), one);
            QVERIFY(one->viewerActive && !two->viewerActive);
            QCOMPARE(toolMenuTitles(), QStringList{one->windowTitle()});
            QVERIFY(studio->outlineDock()->isAncestorOf(one->outline));
            QCOMPARE(twoOutline->parentWidget(), two.data());
            activate(false);
            QCOMPARE(toolMenuTitles(), QStringList{two->windowTitle()});
        }
        QCOMPARE(one->activatedCount, 4); // once when it opened, then once per round
        QCOMPARE(one->desactivatedCount, 4);
        // The readout field stays beside transient messages and leaves with its window.
        studio->showReadout(QStringLiteral("sample 3: rpm 800"));
        studio->statusBar()->showMessage(QStringLiteral("Opened"));
        QVERIFY(studio->readoutField()->isVisible());
        QCOMPARE(studio->readoutField()->text(), QStringLiteral("sample 3: rpm 800"));
        activate(true);
        QVERIFY(studio->readoutField()->text().isEmpty());
        activate(false);

        // Closing the active window removes its menu and outline; the other one becomes active.
        studio->closeAction()->trigger();
        QTRY_VERIFY(!two);
        QVERIFY(!twoOutline);
        QCOMPARE(studio->activeStudioWindow(), one);
        QCOMPARE(toolMenuTitles(), QStringList{one->windowTitle()});
        studio->closeAction()->trigger();
        QTRY_VERIFY(studio->mdiArea()->subWindowList().isEmpty());
        QVERIFY(toolMenuTitles().isEmpty() && !studio->activeStudioWindow());
        QVERIFY(!studio->closeAction()->isEnabled());
    }

    // Enabled states follow the active window and its stateChanged(); disabled commands never run.
    void commandsFollowActiveWindow()
    {
        TestViewerWindow* one = open("one.txt");
        one->setEnabledStates(true, false);
        TestViewerWindow* two = open("two.txt");
        two->setEnabledStates(false, true);
        const auto states = [this] {
            return QList<bool>{studio->printAction()->isEnabled(),
                               studio->reloadAction()->isEnabled(),
                               studio->autoReloadAction()->isEnabled()};
        };
        QCOMPARE(states(), (QList<bool>{false, true, true}));
        studio->reloadAction()->trigger();
        studio->autoReloadAction()->trigger();
        QVERIFY(two->autoReload() && studio->autoReloadAction()->isChecked());
        studio->mnPrint();
        QVERIFY(two->refreshCount == 1 && two->printCount == 0);
        activate(true);
        QCOMPARE(states(), (QList<bool>{true, false, false}));
        studio->printAction()->trigger();
        studio->mnReload();
        QVERIFY(one->printCount == 1 && one->refreshCount == 0);
        two->setEnabledStates(true, false); // not the active window: changes nothing
        QCOMPARE(states(), (QList<bool>{true, false, false}));
        one->setEnabledStates(false, true);
        QCOMPARE(states(), (QList<bool>{false, true, true}));
    }

    void preferenceDialog_data()
    {
        QTest::addColumn<bool>("ok");
        QTest::newRow("OK applies every page") << true;
        QTest::newRow("Cancel calls cancel") << false;
    }

    void preferenceDialog()
    {
        QFETCH(bool, ok);
        plugin->detail->value = QStringLiteral("rough");
        std::unique_ptr<PreferenceDialog> dialog(studio->createPreferenceDialog());
        QCOMPARE(dialog->pages().size(), 2);
        QSignalSpy accepted(dialog.get(), &QDialog::accepted);
        for (CountingPage* page : {plugin->general, plugin->detail})
            QVERIFY(page->created == 1 && page->updates == 1 && page->edit->text() == page->value);
        // Defaults resets the current page only.
        dialog->setCurrentPage(plugin->detail);
        QTest::mouseClick(dialog->defaultsButton(), Qt::LeftButton);
        QVERIFY(plugin->detail->defaultsCalls == 1 && plugin->general->defaultsCalls == 0);
        QCOMPARE(plugin->detail->edit->text(), QStringLiteral("fine"));
        plugin->general->edit->setText(QStringLiteral("red"));
        QTest::mouseClick(ok ? dialog->okButton() : dialog->cancelButton(), Qt::LeftButton);
        QCOMPARE(accepted.count(), int(ok));
        QCOMPARE(plugin->acceptedCount, int(ok));
        QCOMPARE(plugin->rejectedCount, int(!ok));
        for (CountingPage* page : {plugin->general, plugin->detail})
            QVERIFY(page->applies == int(ok) && page->cancels == int(!ok));
        QCOMPARE(plugin->general->value, ok ? QStringLiteral("red") : QStringLiteral("blue"));
        // An accepted dialog writes the resources at once; a cancelled one writes nothing.
        QCOMPARE(QFile::exists(store->fileName()), ok);
        QCOMPARE(readAll(store->fileName()).contains("red"), ok);
    }

    void resourcesRoundTrip()
    {
        // Another plug-in's group, not loaded this time, survives a save.
        writeFile(store->fileName(),
                  "<resources version=\"1\"><group tag=\"studio\">"
                  "<group tag=\"other_plugin\"><boolean tag=\"flag\">true</boolean></group>"
                  "<group tag=\"test_viewer\"><string tag=\"general\">old</string></group>"
                  "</group></resources>");
        ResourceStore second(store->fileName());
        QVERIFY(second.load(nullptr));
        second.registerProducer(plugin);
        plugin->general->value = QStringLiteral("magenta <&> \"x\"");
        plugin->detail->value = QStringLiteral("ünïcode");
        QVERIFY(second.save(nullptr));

        ResourceStore again(store->fileName());
        QVERIFY(again.load(nullptr) && again.root()->isTag(ResourceStore::RootTag));
        QVERIFY(again.root()->toResGroup()->firstChild()->search("other_plugin.flag"));
        TestViewerPlugin reader;
        reader.initialize(nullptr, again.root());
        QCOMPARE(reader.general->value, plugin->general->value);
        QCOMPARE(reader.detail->value, plugin->detail->value);
    }

    void corruptResourcesKeptAside_data()
    {
        QTest::addColumn<QByteArray>("contents");
        QTest::newRow("not XML") << QByteArray("\x01\x02 this is no resource file");
        QTest::newRow("truncated") << QByteArray("<resources version=\"1\"><group tag=\"studio\">");
        QTest::newRow("root not a group")
            << QByteArray("<resources version=\"1\"><string tag=\"s\">x</string></resources>");
        QTest::newRow("empty file") << QByteArray();
    }

    void corruptResourcesKeptAside()
    {
        QFETCH(QByteArray, contents);
        const QString file = dir->filePath(QStringLiteral("corrupt.xml"));
        writeFile(file, contents);
        ResourceStore corrupt(file);
        QString message;
        QVERIFY(!corrupt.load(&message));
        const QString backup = corrupt.backupFileName();
        QVERIFY2(!backup.isEmpty() && message.contains(file) && message.contains(backup),
                 qPrintable(message));
        QCOMPARE(readAll(backup), contents);
        QVERIFY(!QFile::exists(file));
        QVERIFY(!corrupt.root()->toResGroup()->firstChild()); // an empty tree to go on with
        // Saving afterwards writes a fresh file and leaves the backup alone.
        corrupt.registerProducer(plugin);
        QVERIFY(corrupt.save(nullptr) && ResourceStore(file).load(nullptr));
        QCOMPARE(readAll(backup), contents);
        // A second corrupt file in the same second gets a backup of its own.
        writeFile(file, contents + "x");
        ResourceStore again(file);
        QVERIFY(!again.load(nullptr) && again.backupFileName() != backup);
        QCOMPARE(readAll(again.backupFileName()), contents + "x");
    }
};

QTEST_MAIN(TestApp)
#include "tst_app.moc"
