#include "app/pluginloader.h"
#include "app/preferencedialog.h"
#include "app/resourcestore.h"
#include "app/studioapp.h"
#include "app/studiomainwindow.h"
#include "host/res/qares.h"
#include "tests/studio/testviewerplugin.h"

#include <QDockWidget>
#include <QLineEdit>
#include <QListWidget>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QProcess>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
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

private slots:
    void init();
    void cleanup();

    void verificationTextIsTheFourLines();
    void loading_data();
    void loading();
    void commandLineFilesOpenOneWindow();
    void resourcesWrittenAtExit();

    void toolMenuIds();
    void toolMenuFollowsActiveWindow();
    void enabledStatesFollowActiveWindow_data();
    void enabledStatesFollowActiveWindow();
    void outlineDockShowsActiveOutline();
    void fileCommandsReachActiveWindow();

    void preferenceOkOrCancel_data();
    void preferenceOkOrCancel();
    void preferenceDefaultsResetsCurrentPage();

    void resourcesRoundTrip();
    void corruptResourcesKeptAside_data();
    void corruptResourcesKeptAside();

private:
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
        bool inside = false;
        for (QAction* action : studio->menuBar()->actions()) {
            if (action->text() == QStringLiteral("&Window"))
                break;
            if (inside)
                titles.append(action->text());
            inside = inside || action->text() == QStringLiteral("&Tools");
        }
        return titles;
    }

    QTemporaryDir* dir = nullptr;
    ResourceStore* store = nullptr;
    StudioMainWindow* studio = nullptr;
    TestViewerPlugin* plugin = nullptr;
};

void TestApp::init()
{
    dir = new QTemporaryDir;
    store = new ResourceStore(dir->filePath(QStringLiteral("resources.xml")));
    QVERIFY(store->load(nullptr));
    studio = new StudioMainWindow(store);
    plugin = new TestViewerPlugin;
    plugin->addRef();
    studio->setPlugin(plugin);
    plugin->initialize(studio, store->root());
    studio->resize(1000, 700);
    studio->show();
    QVERIFY(QTest::qWaitForWindowExposed(studio));
}

void TestApp::cleanup()
{
    delete studio;
    plugin->release();
    delete store;
    delete dir;
}

void TestApp::verificationTextIsTheFourLines()
{
    QCOMPARE(QString::fromLatin1(QAStViewerPluginVerificationData),
             QStringLiteral("pattern=QT_UCM_VERIFICATION_DATA\nversion=3.3.8\nflags=01\n"
                            "buildkey=x86_64 Linux g++-4 full-config no-opengl "
                            "QT_NO_LIBRARY_UNLOAD"));
}

void TestApp::loading_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("error");
    QTest::newRow("good plug-in") << GVZ_TEST_PLUGIN_GOOD << QString();
    QTest::newRow("missing file") << "/nonexistent/libgvzviewer.so"
                                  << QStringLiteral("no such file");
    QTest::newRow("not a library") << GVZ_SOURCE_FILE << QStringLiteral("Cannot load");
    QTest::newRow("no verification symbol")
        << GVZ_TEST_PLUGIN_NOVERIFICATION << QStringLiteral("qt_ucm_query_verification_data");
    QTest::newRow("no instantiate symbol")
        << GVZ_TEST_PLUGIN_NOINSTANTIATE << QStringLiteral("ucm_instantiate");
    QTest::newRow("other verification text")
        << GVZ_TEST_PLUGIN_WRONGTEXT << QStringLiteral("verification text differs");
}

void TestApp::loading()
{
    QFETCH(QString, path);
    QFETCH(QString, error);
    QString reason;
    QAStViewerPlugin* loaded = PluginLoader::load(path, &reason);
    if (error.isEmpty()) {
        QVERIFY2(loaded, qPrintable(reason));
        QCOMPARE(loaded->name(), QStringLiteral("Test"));
        QSignalSpy destroyed(loaded, &QObject::destroyed);
        QCOMPARE(loaded->release(), 0ul);
        QCOMPARE(destroyed.count(), 1);
        return;
    }
    QVERIFY(!loaded);
    QVERIFY2(reason.contains(error) && reason.contains(path), qPrintable(reason));

    // The studio refuses it with a clear message and exit code 1, writing nothing.
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    process.setProcessEnvironment(env);
    const QString resources = dir->filePath(QStringLiteral("r.xml"));
    process.start(QStringLiteral(GVZ_STUDIO_EXECUTABLE),
                  {QStringLiteral("--plugin"), path, QStringLiteral("--resources"), resources});
    QVERIFY(process.waitForFinished(30000));
    QCOMPARE(process.exitStatus(), QProcess::NormalExit);
    QCOMPARE(process.exitCode(), 1);
    const QByteArray stderrText = process.readAllStandardError();
    QVERIFY2(stderrText.contains("gvz-studio: ") && stderrText.contains(path.toUtf8()) &&
                 stderrText.contains(error.toUtf8()),
             stderrText.constData());
    QVERIFY(!QFile::exists(resources));
}

void TestApp::commandLineFilesOpenOneWindow()
{
    StudioApp app;
    const QString resources = dir->filePath(QStringLiteral("cli.xml"));
    QVERIFY(app.parseArguments({QStringLiteral("gvz-studio"), QStringLiteral("--plugin"),
                                QStringLiteral(GVZ_TEST_PLUGIN_GOOD), QStringLiteral("--resources"),
                                resources, QStringLiteral("a.txt"), QStringLiteral("b.txt")}));
    QVERIFY(app.loadPlugin());
    QVERIFY(app.loadResources());
    QCOMPARE(app.resources()->fileName(), resources);
    app.createMainWindow();
    const QList<QMdiSubWindow*> subs = app.mainWindow()->mdiArea()->subWindowList();
    QCOMPARE(subs.size(), 1);
    auto* window = qobject_cast<QAStViewerWindow*>(subs.first()->widget());
    QVERIFY(window);
    QCOMPARE(window->fileList(), (QStringList{QStringLiteral("a.txt"), QStringLiteral("b.txt")}));
}

void TestApp::resourcesWrittenAtExit()
{
    StudioApp app;
    const QString resources = dir->filePath(QStringLiteral("exit.xml"));
    QTimer::singleShot(0, qApp, &QCoreApplication::quit);
    QCOMPARE(
        app.run({QStringLiteral("gvz-studio"), QStringLiteral("--plugin"),
                 QStringLiteral(GVZ_TEST_PLUGIN_GOOD), QStringLiteral("--resources"), resources}),
        0);
    // The plug-in registered itself as a producer; its group is in the file.
    QVERIFY(readAll(resources).contains("test_viewer"));
}

void TestApp::toolMenuIds()
{
    QMenu first(QStringLiteral("one"));
    QMenu second(QStringLiteral("two"));
    const int a = studio->insertMenu(QStringLiteral("&One"), &first);
    const int b = studio->insertMenu(QStringLiteral("&Two"), &second);
    QVERIFY(a != -1 && b != -1 && a != b);
    QCOMPARE(toolMenuTitles(), (QStringList{QStringLiteral("&One"), QStringLiteral("&Two")}));
    // Inserting a menu that is in the bar keeps its id and its single place.
    QCOMPARE(studio->insertMenu(QStringLiteral("&One"), &first), a);
    QCOMPARE(toolMenuTitles().size(), 2);

    studio->removeMenu(a);
    studio->removeMenu(a);
    studio->removeMenu(12345);
    QCOMPARE(toolMenuTitles(), QStringList{QStringLiteral("&Two")});
    // Ids are not reused.
    const int c = studio->insertMenu(QStringLiteral("&One"), &first);
    QVERIFY(c != a && c != b);
    QCOMPARE(studio->toolMenu(c), &first);
    QVERIFY(!studio->toolMenu(a));
    QCOMPARE(studio->insertMenu(QStringLiteral("&None"), nullptr), -1);
}

void TestApp::toolMenuFollowsActiveWindow()
{
    TestViewerWindow* one = open("one.txt");
    QPointer<TestViewerWindow> two = open("two.txt");
    QCOMPARE(studio->activeStudioWindow(), two);
    QCOMPARE(toolMenuTitles(), QStringList{two->windowTitle()});
    for (int round = 0; round < 3; ++round) {
        activate(true);
        QCOMPARE(studio->activeStudioWindow(), one);
        QVERIFY(one->viewerActive && !two->viewerActive);
        QCOMPARE(toolMenuTitles(), QStringList{one->windowTitle()});
        activate(false);
        QCOMPARE(toolMenuTitles(), QStringList{two->windowTitle()});
    }
    // Once when it opened, then once per round; each activation ended by a deactivation.
    QCOMPARE(one->activatedCount, 4);
    QCOMPARE(one->desactivatedCount, 4);
    QCOMPARE(studio->toolMenuIds().size(), 1);

    // Closing the active window removes its menu; the remaining one becomes active.
    studio->closeAction()->trigger();
    QTRY_VERIFY(!two);
    QCOMPARE(studio->activeStudioWindow(), one);
    QCOMPARE(toolMenuTitles(), QStringList{one->windowTitle()});
    studio->closeAction()->trigger();
    QTRY_VERIFY(studio->mdiArea()->subWindowList().isEmpty());
    QVERIFY(toolMenuTitles().isEmpty());
    QVERIFY(!studio->activeStudioWindow());
    QVERIFY(!studio->closeAction()->isEnabled());
}

void TestApp::enabledStatesFollowActiveWindow_data()
{
    QTest::addColumn<bool>("print");
    QTest::addColumn<bool>("reload");
    QTest::newRow("print only") << true << false;
    QTest::newRow("reload only") << false << true;
}

void TestApp::enabledStatesFollowActiveWindow()
{
    QFETCH(bool, print);
    QFETCH(bool, reload);
    TestViewerWindow* one = open("one.txt");
    one->setEnabledStates(print, reload);
    TestViewerWindow* two = open("two.txt");
    two->setEnabledStates(!print, !reload);
    QCOMPARE(studio->printAction()->isEnabled(), !print);
    QCOMPARE(studio->reloadAction()->isEnabled(), !reload);

    activate(true);
    QCOMPARE(studio->printAction()->isEnabled(), print);
    QCOMPARE(studio->reloadAction()->isEnabled(), reload);
    QCOMPARE(studio->autoReloadAction()->isEnabled(), reload);

    // stateChanged() of the active window is heard; that of another window changes nothing.
    two->setEnabledStates(print, reload);
    QCOMPARE(studio->printAction()->isEnabled(), print);
    one->setEnabledStates(!print, !reload);
    QCOMPARE(studio->printAction()->isEnabled(), !print);
    QCOMPARE(studio->reloadAction()->isEnabled(), !reload);
}

void TestApp::outlineDockShowsActiveOutline()
{
    TestViewerWindow* one = open("one.txt");
    QPointer<TestViewerWindow> two = open("two.txt");
    QPointer<QListWidget> twoOutline = two->outline;
    QVERIFY(studio->outlineDock()->isAncestorOf(twoOutline) && twoOutline->isVisible());
    activate(true);
    QVERIFY(studio->outlineDock()->isAncestorOf(one->outline));
    QCOMPARE(twoOutline->parentWidget(), two.data());

    // A window that dies with its outline in the dock takes the outline along.
    activate(false);
    QVERIFY(studio->outlineDock()->isAncestorOf(twoOutline));
    delete two;
    QVERIFY(!twoOutline);
}

void TestApp::fileCommandsReachActiveWindow()
{
    TestViewerWindow* one = open("one.txt");
    studio->reloadAction()->trigger();
    studio->printAction()->trigger();
    studio->autoReloadAction()->trigger();
    QCOMPARE(one->refreshCount, 1);
    QCOMPARE(one->printCount, 1);
    QVERIFY(one->autoReload() && studio->autoReloadAction()->isChecked());
    // Disabled commands are not run.
    one->setEnabledStates(false, false);
    studio->mnReload();
    studio->mnPrint();
    QCOMPARE(one->refreshCount, 1);
    QCOMPARE(one->printCount, 1);
}

void TestApp::preferenceOkOrCancel_data()
{
    QTest::addColumn<bool>("ok");
    QTest::newRow("OK applies every page") << true;
    QTest::newRow("Cancel calls cancel") << false;
}

void TestApp::preferenceOkOrCancel()
{
    QFETCH(bool, ok);
    std::unique_ptr<PreferenceDialog> dialog(studio->createPreferenceDialog());
    QCOMPARE(dialog->pages().size(), 2);
    QSignalSpy accepted(dialog.get(), &QDialog::accepted);
    QSignalSpy rejected(dialog.get(), &QDialog::rejected);
    for (CountingPage* page : {plugin->general, plugin->detail}) {
        QCOMPARE(page->created, 1);
        QCOMPARE(page->updates, 1);
        QCOMPARE(page->edit->text(), page->value);
    }
    plugin->general->edit->setText(QStringLiteral("red"));
    plugin->detail->edit->setText(QStringLiteral("coarse"));
    QTest::mouseClick(ok ? dialog->okButton() : dialog->cancelButton(), Qt::LeftButton);
    QCOMPARE(accepted.count(), int(ok));
    QCOMPARE(rejected.count(), int(!ok));
    QCOMPARE(plugin->acceptedCount, int(ok));
    QCOMPARE(plugin->rejectedCount, int(!ok));
    for (CountingPage* page : {plugin->general, plugin->detail}) {
        QCOMPARE(page->applies, int(ok));
        QCOMPARE(page->cancels, int(!ok));
    }
    QCOMPARE(plugin->general->value, ok ? QStringLiteral("red") : QStringLiteral("blue"));
    QCOMPARE(plugin->detail->value, ok ? QStringLiteral("coarse") : QStringLiteral("fine"));
    // An accepted dialog writes the resources at once; a cancelled one writes nothing.
    QCOMPARE(QFile::exists(store->fileName()), ok);
    QCOMPARE(readAll(store->fileName()).contains("coarse"), ok);
}

void TestApp::preferenceDefaultsResetsCurrentPage()
{
    plugin->general->value = QStringLiteral("green");
    plugin->detail->value = QStringLiteral("rough");
    std::unique_ptr<PreferenceDialog> dialog(studio->createPreferenceDialog());
    dialog->setCurrentPage(plugin->detail);
    QCOMPARE(dialog->currentPage(), plugin->detail);
    QTest::mouseClick(dialog->defaultsButton(), Qt::LeftButton);
    QCOMPARE(plugin->detail->defaultsCalls, 1);
    QCOMPARE(plugin->detail->updates, 2);
    QCOMPARE(plugin->detail->edit->text(), QStringLiteral("fine"));
    // The other page is left alone.
    QCOMPARE(plugin->general->defaultsCalls, 0);
    QCOMPARE(plugin->general->edit->text(), QStringLiteral("green"));
}

void TestApp::resourcesRoundTrip()
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
    QString error;
    QVERIFY2(second.save(&error), qPrintable(error));

    ResourceStore again(store->fileName());
    QVERIFY(again.load(nullptr));
    QVERIFY(again.root()->isTag(ResourceStore::RootTag));
    QARes* first = again.root()->toResGroup()->firstChild();
    QVERIFY(first && first->search(QStringLiteral("other_plugin.flag")));
    TestViewerPlugin reader;
    reader.initialize(nullptr, again.root());
    QCOMPARE(reader.general->value, plugin->general->value);
    QCOMPARE(reader.detail->value, plugin->detail->value);
}

void TestApp::corruptResourcesKeptAside_data()
{
    QTest::addColumn<QByteArray>("contents");
    QTest::newRow("not XML") << QByteArray("\x01\x02 this is no resource file");
    QTest::newRow("truncated") << QByteArray("<resources version=\"1\"><group tag=\"studio\">");
    QTest::newRow("root not a group")
        << QByteArray("<resources version=\"1\"><string tag=\"s\">x</string></resources>");
    QTest::newRow("empty file") << QByteArray();
}

void TestApp::corruptResourcesKeptAside()
{
    QFETCH(QByteArray, contents);
    const QString file = dir->filePath(QStringLiteral("corrupt.xml"));
    writeFile(file, contents);
    ResourceStore corrupt(file);
    QString message;
    QVERIFY(!corrupt.load(&message));
    const QString backup = corrupt.backupFileName();
    QVERIFY(!backup.isEmpty());
    QVERIFY2(message.contains(file) && message.contains(backup), qPrintable(message));
    QCOMPARE(readAll(backup), contents);
    QVERIFY(!QFile::exists(file));
    QVERIFY(corrupt.root() && corrupt.root()->toResGroup());
    QVERIFY(!corrupt.root()->toResGroup()->firstChild());

    // Saving afterwards writes a fresh file and leaves the backup alone.
    corrupt.registerProducer(plugin);
    QVERIFY(corrupt.save(nullptr));
    QVERIFY(ResourceStore(file).load(nullptr));
    QCOMPARE(readAll(backup), contents);

    // A second corrupt file in the same second gets a backup of its own.
    writeFile(file, contents + "x");
    ResourceStore again(file);
    QVERIFY(!again.load(nullptr));
    QVERIFY(again.backupFileName() != backup);
    QCOMPARE(readAll(again.backupFileName()), contents + "x");
}

QTEST_MAIN(TestApp)
#include "tst_app.moc"
