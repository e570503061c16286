#include "app/pluginloader.h"
#include "app/preferencedialog.h"
#include "app/resourcestore.h"
#include "app/studioapp.h"
#include "app/studiomainwindow.h"
#include "host/res/qares.h"
#include "tests/studio/testviewerplugin.h"

#include <QDir>
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

// The titles of the menus in the bar between Tools and Window: the tool menus.
QStringList toolMenuTitles(StudioMainWindow& studio)
{
    QStringList titles;
    bool inside = false;
    for (QAction* action : studio.menuBar()->actions()) {
        const QString title = action->text();
        if (title == QStringLiteral("&Window"))
            break;
        if (inside)
            titles.append(title);
        if (title == QStringLiteral("&Tools"))
            inside = true;
    }
    return titles;
}

TestViewerWindow* testWindow(QAStViewerWindow* window)
{
    return static_cast<TestViewerWindow*>(window);
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
    void studioRefusesBadPlugin_data();
    void studioRefusesBadPlugin();
    void commandLineFilesOpenOneWindow();
    void resourcesWrittenAtExit();

    void toolMenuIds();
    void switchingWindowsLeavesActiveMenu();
    void closingActiveWindowRemovesItsMenu();
    void enabledStatesFollowActiveWindow_data();
    void enabledStatesFollowActiveWindow();
    void outlineDockShowsActiveOutline();
    void fileCommandsReachActiveWindow();

    void preferenceOkAppliesEveryPage();
    void preferenceCancelCallsCancel();
    void preferenceDefaultsResetsCurrentPage();

    void resourcesRoundTrip();
    void resourcesKeepOtherGroups();
    void corruptResourcesKeptAside_data();
    void corruptResourcesKeptAside();

private:
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
    const QStringList lines = {
        QStringLiteral("pattern=QT_UCM_VERIFICATION_DATA"), QStringLiteral("version=3.3.8"),
        QStringLiteral("flags=01"),
        QStringLiteral("buildkey=x86_64 Linux g++-4 full-config no-opengl QT_NO_LIBRARY_UNLOAD")};
    QCOMPARE(QString::fromLatin1(QAStViewerPluginVerificationData), lines.join(QLatin1Char('\n')));
}

void TestApp::loading_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("error");

    QTest::newRow("good plug-in") << QStringLiteral(GVZ_TEST_PLUGIN_GOOD) << QString();
    QTest::newRow("missing file") << QStringLiteral("/nonexistent/libgvzviewer.so")
                                  << QStringLiteral("no such file");
    QTest::newRow("not a library") << QStringLiteral(GVZ_SOURCE_FILE) << QStringLiteral("Cannot load");
    QTest::newRow("no verification symbol") << QStringLiteral(GVZ_TEST_PLUGIN_NOVERIFICATION)
                                            << QStringLiteral("qt_ucm_query_verification_data");
    QTest::newRow("no instantiate symbol") << QStringLiteral(GVZ_TEST_PLUGIN_NOINSTANTIATE)
                                           << QStringLiteral("ucm_instantiate");
    QTest::newRow("other verification text") << QStringLiteral(GVZ_TEST_PLUGIN_WRONGTEXT)
                                             << QStringLiteral("verification text differs");
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
        QCOMPARE(loaded->filters(), QStringList{QStringLiteral("Text files (*.txt)")});
        QSignalSpy destroyed(loaded, &QObject::destroyed);
        QCOMPARE(loaded->release(), 0ul);
        QCOMPARE(destroyed.count(), 1);
    } else {
        QVERIFY(!loaded);
        QVERIFY2(reason.contains(error), qPrintable(reason));
        QVERIFY2(reason.contains(path), qPrintable(reason));
    }
}

void TestApp::studioRefusesBadPlugin_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("reason");
    QTest::newRow("missing file") << QStringLiteral("/nonexistent/libgvzviewer.so")
                                  << QStringLiteral("no such file");
    QTest::newRow("no verification symbol") << QStringLiteral(GVZ_TEST_PLUGIN_NOVERIFICATION)
                                            << QStringLiteral("qt_ucm_query_verification_data");
    QTest::newRow("other verification text") << QStringLiteral(GVZ_TEST_PLUGIN_WRONGTEXT)
                                             << QStringLiteral("verification text differs");
}

void TestApp::studioRefusesBadPlugin()
{
    QFETCH(QString, path);
    QFETCH(QString, reason);
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    process.setProcessEnvironment(env);
    process.start(QStringLiteral(GVZ_STUDIO_EXECUTABLE),
                  {QStringLiteral("--plugin"), path, QStringLiteral("--resources"),
                   dir->filePath(QStringLiteral("r.xml"))});
    QVERIFY(process.waitForFinished(30000));
    QCOMPARE(process.exitStatus(), QProcess::NormalExit);
    QCOMPARE(process.exitCode(), 1);
    const QByteArray stderrText = process.readAllStandardError();
    QVERIFY2(stderrText.contains("gvz-studio: ") && stderrText.contains(path.toUtf8()),
             stderrText.constData());
    QVERIFY2(stderrText.contains(reason.toUtf8()), stderrText.constData());
    // Nothing was started, so nothing was written.
    QVERIFY(!QFile::exists(dir->filePath(QStringLiteral("r.xml"))));
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
    QCOMPARE(app.run({QStringLiteral("gvz-studio"), QStringLiteral("--plugin"),
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
    QCOMPARE(toolMenuTitles(*studio), (QStringList{QStringLiteral("&One"), QStringLiteral("&Two")}));
    // Inserting a menu that is in the bar keeps its id and its single place.
    QCOMPARE(studio->insertMenu(QStringLiteral("&One"), &first), a);
    QCOMPARE(toolMenuTitles(*studio).size(), 2);

    studio->removeMenu(a);
    QCOMPARE(toolMenuTitles(*studio), QStringList{QStringLiteral("&Two")});
    studio->removeMenu(a);
    studio->removeMenu(12345);
    QCOMPARE(toolMenuTitles(*studio), QStringList{QStringLiteral("&Two")});
    // Ids are not reused.
    const int c = studio->insertMenu(QStringLiteral("&One"), &first);
    QVERIFY(c != a && c != b);
    QCOMPARE(studio->toolMenu(c), &first);
    QVERIFY(!studio->toolMenu(a));
    QCOMPARE(studio->insertMenu(QStringLiteral("&None"), nullptr), -1);
}

void TestApp::switchingWindowsLeavesActiveMenu()
{
    auto* one = testWindow(studio->openFiles({QStringLiteral("one.txt")}));
    auto* two = testWindow(studio->openFiles({QStringLiteral("two.txt")}));
    QVERIFY(one && two);
    QCOMPARE(studio->activeStudioWindow(), two);
    QCOMPARE(toolMenuTitles(*studio), QStringList{two->windowTitle()});

    for (int round = 0; round < 3; ++round) {
        studio->mdiArea()->setActiveSubWindow(studio->mdiArea()->subWindowList().first());
        QCOMPARE(studio->activeStudioWindow(), one);
        QVERIFY(one->viewerActive && !two->viewerActive);
        QCOMPARE(toolMenuTitles(*studio), QStringList{one->windowTitle()});
        studio->mdiArea()->setActiveSubWindow(studio->mdiArea()->subWindowList().last());
        QCOMPARE(toolMenuTitles(*studio), QStringList{two->windowTitle()});
    }
    // Once when it opened, then once per round; each activation ended by a deactivation.
    QCOMPARE(one->activatedCount, 4);
    QCOMPARE(one->desactivatedCount, 4);
    QCOMPARE(studio->toolMenuIds().size(), 1);
}

void TestApp::closingActiveWindowRemovesItsMenu()
{
    auto* one = testWindow(studio->openFiles({QStringLiteral("one.txt")}));
    QPointer<TestViewerWindow> two = testWindow(studio->openFiles({QStringLiteral("two.txt")}));
    QCOMPARE(toolMenuTitles(*studio), QStringList{two->windowTitle()});
    studio->closeAction()->trigger();
    QTRY_VERIFY(!two);
    QCOMPARE(studio->mdiArea()->subWindowList().size(), 1);
    // The remaining window becomes active and only its menu is in the bar.
    QCOMPARE(studio->activeStudioWindow(), one);
    QCOMPARE(toolMenuTitles(*studio), QStringList{one->windowTitle()});

    studio->closeAction()->trigger();
    QTRY_VERIFY(studio->mdiArea()->subWindowList().isEmpty());
    QVERIFY(toolMenuTitles(*studio).isEmpty());
    QVERIFY(!studio->activeStudioWindow());
    QVERIFY(!studio->closeAction()->isEnabled());
}

void TestApp::enabledStatesFollowActiveWindow_data()
{
    QTest::addColumn<bool>("print");
    QTest::addColumn<bool>("reload");
    QTest::newRow("print only") << true << false;
    QTest::newRow("reload only") << false << true;
    QTest::newRow("both") << true << true;
    QTest::newRow("neither") << false << false;
}

void TestApp::enabledStatesFollowActiveWindow()
{
    QFETCH(bool, print);
    QFETCH(bool, reload);

    auto* one = testWindow(studio->openFiles({QStringLiteral("one.txt")}));
    one->setEnabledStates(print, reload);
    auto* two = testWindow(studio->openFiles({QStringLiteral("two.txt")}));
    two->setEnabledStates(!print, !reload);
    QCOMPARE(studio->printAction()->isEnabled(), !print);
    QCOMPARE(studio->reloadAction()->isEnabled(), !reload);

    studio->mdiArea()->setActiveSubWindow(studio->mdiArea()->subWindowList().first());
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
    auto* one = testWindow(studio->openFiles({QStringLiteral("one.txt")}));
    QPointer<TestViewerWindow> two = testWindow(studio->openFiles({QStringLiteral("two.txt")}));
    QPointer<QListWidget> twoOutline = two->outline;
    QVERIFY(studio->outlineDock()->isAncestorOf(two->outline));
    QVERIFY(two->outline->isVisible());
    studio->mdiArea()->setActiveSubWindow(studio->mdiArea()->subWindowList().first());
    QVERIFY(studio->outlineDock()->isAncestorOf(one->outline));
    QVERIFY(!studio->outlineDock()->isAncestorOf(two->outline));
    QCOMPARE(two->outline->parentWidget(), two.data());

    // A window that dies with its outline in the dock takes the outline along.
    studio->mdiArea()->setActiveSubWindow(studio->mdiArea()->subWindowList().last());
    QVERIFY(studio->outlineDock()->isAncestorOf(twoOutline));
    delete two;
    QVERIFY(!twoOutline);
}

void TestApp::fileCommandsReachActiveWindow()
{
    auto* one = testWindow(studio->openFiles({QStringLiteral("one.txt")}));
    studio->reloadAction()->trigger();
    studio->printAction()->trigger();
    QCOMPARE(one->refreshCount, 1);
    QCOMPARE(one->printCount, 1);
    studio->autoReloadAction()->trigger();
    QVERIFY(one->autoReload());
    QVERIFY(studio->autoReloadAction()->isChecked());
    // Disabled commands are not run.
    one->setEnabledStates(false, false);
    studio->mnReload();
    studio->mnPrint();
    QCOMPARE(one->refreshCount, 1);
    QCOMPARE(one->printCount, 1);
}

void TestApp::preferenceOkAppliesEveryPage()
{
    std::unique_ptr<PreferenceDialog> dialog(studio->createPreferenceDialog());
    QVERIFY(dialog);
    QCOMPARE(dialog->pages().size(), 2);
    QSignalSpy accepted(dialog.get(), &QDialog::accepted);
    for (CountingPage* page : {plugin->general, plugin->detail}) {
        QCOMPARE(page->created, 1);
        QCOMPARE(page->updates, 1);
        QVERIFY(page->edit);
        QCOMPARE(page->edit->text(), page->value);
    }
    plugin->general->edit->setText(QStringLiteral("red"));
    plugin->detail->edit->setText(QStringLiteral("coarse"));
    QTest::mouseClick(dialog->okButton(), Qt::LeftButton);
    QCOMPARE(accepted.count(), 1);
    QCOMPARE(plugin->acceptedCount, 1);
    QCOMPARE(plugin->rejectedCount, 0);
    QCOMPARE(plugin->general->applies, 1);
    QCOMPARE(plugin->detail->applies, 1);
    QCOMPARE(plugin->general->value, QStringLiteral("red"));
    QCOMPARE(plugin->detail->value, QStringLiteral("coarse"));
    QCOMPARE(plugin->general->cancels + plugin->detail->cancels, 0);
    // An accepted dialog writes the resources at once.
    const QByteArray written = readAll(store->fileName());
    QVERIFY(written.contains("coarse"));
    QVERIFY(written.contains("red"));
}

void TestApp::preferenceCancelCallsCancel()
{
    std::unique_ptr<PreferenceDialog> dialog(studio->createPreferenceDialog());
    QSignalSpy rejected(dialog.get(), &QDialog::rejected);
    plugin->general->edit->setText(QStringLiteral("red"));
    QTest::mouseClick(dialog->cancelButton(), Qt::LeftButton);
    QCOMPARE(rejected.count(), 1);
    QCOMPARE(plugin->rejectedCount, 1);
    QCOMPARE(plugin->acceptedCount, 0);
    QCOMPARE(plugin->general->cancels, 1);
    QCOMPARE(plugin->detail->cancels, 1);
    QCOMPARE(plugin->general->applies + plugin->detail->applies, 0);
    QCOMPARE(plugin->general->value, QStringLiteral("blue"));
    QVERIFY(!QFile::exists(store->fileName()));
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
    QVERIFY(dialog->isVisible() || !dialog->result());
}

void TestApp::resourcesRoundTrip()
{
    plugin->general->value = QStringLiteral("magenta <&> \"x\"");
    plugin->detail->value = QStringLiteral("ünïcode");
    QString error;
    QVERIFY2(store->save(&error), qPrintable(error));

    ResourceStore again(store->fileName());
    QVERIFY(again.load(nullptr));
    TestViewerPlugin reader;
    reader.initialize(nullptr, again.root());
    QCOMPARE(reader.general->value, plugin->general->value);
    QCOMPARE(reader.detail->value, plugin->detail->value);
    QVERIFY(again.root()->isTag(ResourceStore::RootTag));
}

void TestApp::resourcesKeepOtherGroups()
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
    QVERIFY(second.save(nullptr));

    ResourceStore third(store->fileName());
    QVERIFY(third.load(nullptr));
    QARes* first = third.root()->toResGroup()->firstChild();
    QVERIFY(first);
    QVERIFY(first->search(QStringLiteral("other_plugin.flag")));
    QARes* general = first->search(QStringLiteral("test_viewer.general"));
    QVERIFY(general && general->toResString());
    QCOMPARE(general->toResString()->value(), QStringLiteral("blue"));
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
    QVERIFY(message.contains(file));
    const QString backup = corrupt.backupFileName();
    QVERIFY(!backup.isEmpty());
    QVERIFY(message.contains(backup));
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
