#include "app/pluginloader.h"
#include "app/preferencedialog.h"
#include "app/resourcestore.h"
#include "app/studioapp.h"
#include "app/studiobatch.h"
#include "app/studiomainwindow.h"
#include "app/studiooptions.h"
#include "app/studioprogress.h"
#include "tests/studio/testviewerplugin.h"
#include "tests/testfiles.h"

#include <QDir>
#include <QDockWidget>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QMessageBox>
#include <QMimeData>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QProgressDialog>
#include <QTest>
#include <QTimer>

#include <cstdio>
#include <fcntl.h>
#include <functional>
#include <unistd.h>

namespace {

// What `work` writes to stderr, caught in `file`.
QString stderrOf(const QString& file, const std::function<void()>& work)
{
    std::fflush(stderr);
    const int saved = dup(2);
    const int fd = ::open(QFile::encodeName(file).constData(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    dup2(fd, 2);
    ::close(fd);
    work();
    std::fflush(stderr);
    dup2(saved, 2);
    ::close(saved);
    return QString::fromLocal8Bit(readAll(file));
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
        return static_cast<TestViewerWindow*>(studio->openFiles(makeFiles({file})));
    }
    // Makes below the test folder "name" (a small file), "name/" (a folder) or "-name" (none).
    QStringList makeFiles(const QStringList& entries)
    {
        QStringList paths;
        for (const QString& entry : entries) {
            paths << dir->filePath(QString(entry).remove(QRegularExpression("^-|/$")));
            QDir().mkpath(entry.endsWith('/') ? paths.last() : QFileInfo(paths.last()).path());
            if (!entry.startsWith('-') && !entry.endsWith('/'))
                writeFile(paths.last(), "t\n1\n");
        }
        return paths;
    }
    int windowCount() const { return int(studio->mdiArea()->subWindowList().size()); }
    // Drops `paths` on the studio as a file manager does.
    void drop(const QStringList& paths)
    {
        QMimeData data;
        for (const QString& path : paths)
            data.setUrls(data.urls() << QUrl::fromLocalFile(path));
        QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, {});
        QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, {});
        if (QCoreApplication::sendEvent(studio, &enter) && enter.isAccepted())
            QCoreApplication::sendEvent(studio, &drop);
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
        QVERIFY(store->load(nullptr, true));
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
        const QString cwd = QDir::currentPath();
        QDir::setCurrent(dir->path());
        writeFile("a.txt", "a\n");
        writeFile("b.txt", "b\n");
        QTimer::singleShot(0, qApp, [&] {
            for (QMdiSubWindow* sub : studioApp.mainWindow()->mdiArea()->subWindowList())
                files << qobject_cast<QAStViewerWindow*>(sub->widget())->fileList().join('+');
            QCoreApplication::quit();
        });
        QCOMPARE(studioApp.run({"gvz-studio", "--plugin", GVZ_TEST_PLUGIN_GOOD, "--resources",
                                resources, "a.txt", "b.txt"}),
                 0);
        QDir::setCurrent(cwd);
        QCOMPARE(files, QStringList{"a.txt+b.txt"});
        // At exit: the plug-in's group; a window-mode run also keeps the set by full paths, and
        // its layout.
        const QByteArray xml = readAll(resources);
        QVERIFY(xml.contains("test_viewer") && xml.contains(dir->filePath("a.txt").toUtf8())
                && xml.contains("window_state"));
    }

    void logMessagesGoToTheStatusBarOrStderr()
    {
        for (bool toStderr : {false, true}) {
            studio->setMessagesToStderr(toStderr);
            studio->statusBar()->clearMessage();
            const QString err = stderrOf(dir->filePath("err"), [&] { studio->logMessage("1\n2"); });
            QCOMPARE(err.count('\n'), toStderr ? 2 : 0);
            QCOMPARE(studio->statusBar()->currentMessage(), toStderr ? QString() : "1; 2");
        }
    }

    // However a window opens, its title, tooltip, window-list entry and the outline name the
    // files it got; each unreadable one is said once, in a box and on stderr. Ctrl+W and Ctrl+F4
    // close the window whatever has the focus.
    void openingNamesTheWindowAndSaysWhatFailed_data()
    {
        QTest::addColumn<QString>("how"); // open, drop, or recent (with its last file gone)
        QTest::addColumn<QStringList>("files");
        QTest::addColumn<QString>("names"); // empty: no window
        QTest::addColumn<QString>("status");
        QTest::addColumn<QStringList>("said"); // "name: reason"
        QTest::addColumn<int>("closeKey");     // 0: the box has the focus
        const auto row = [](const char* name, const char* how, const QStringList& files,
                            const char* names, const char* status, const QStringList& said,
                            int key) {
            QTest::newRow(name) << how << files << names << status << said << key;
        };
        row("equal names and parents, more than three", "open",
            {"a/run/x", "b/run/x", "x", "1", "2"}, "a/run/x, b/run/x, x +2 more", "Opened", {},
            Qt::Key_W);
        row("a folder and a missing file beside a file", "open", {"d.gvz/", "a.gvz", "-b.gvz"},
            "a.gvz", "Opened", {"d.gvz: is not a regular file", "b.gvz: no such file"}, 0);
        row("dropped, any extension", "drop", {"a.gvz", "b.csv"}, "a.gvz, b.csv", "Opened", {},
            Qt::Key_F4);
        row("dropped folder", "drop", {"d/"}, "", "Folders cannot be opened", {}, 0);
        row("Open Recent, a file gone", "recent", {"x/b.gvz", "x/c.gvz"}, "b.gvz", "Opened",
            {"x/c.gvz: no such file"}, 0);
        row("Open Recent, all gone", "recent", {"a.gvz"}, "", "Removed from Open Recent: a.gvz",
            {"a.gvz: no such file"}, 0);
    }

    void openingNamesTheWindowAndSaysWhatFailed()
    {
        QFETCH(QString, how);
        QFETCH(QStringList, files);
        QFETCH(QString, names);
        QFETCH(QString, status);
        QFETCH(QStringList, said);
        QFETCH(int, closeKey);
        const QStringList paths = makeFiles(files);
        if (how == "recent") {
            QVERIFY(studio->openFiles(paths) && open("later"));
            QVERIFY(QFile::remove(paths.last()));
        }
        const int before = windowCount();
        const QStringList lines = stderrOf(dir->filePath("err"), [&] {
                                      if (how == "recent")
                                          studio->openRecent(1);
                                      else if (how == "open")
                                          studio->openFiles(paths);
                                      else
                                          drop(paths);
                                  }).split('\n', Qt::SkipEmptyParts);
        QCOMPARE(windowCount() - before, int(!names.isEmpty()));
        QVERIFY2(studio->statusBar()->currentMessage().startsWith(status),
                 qPrintable(studio->statusBar()->currentMessage()));
        auto* box = studio->findChild<QMessageBox*>();
        QVERIFY(lines.size() == said.size() && (box != nullptr) == !said.isEmpty());
        for (int i = 0; i < said.size(); ++i) {
            QVERIFY2(lines[i].endsWith(dir->filePath(said[i])), qPrintable(lines[i]));
            QVERIFY(box->windowTitle() == "GVZ Viewer"
                    && box->text().contains(dir->filePath(said[i])));
        }
        if (names.isEmpty())
            return;
        QPointer<TestViewerWindow> window =
            static_cast<TestViewerWindow*>(studio->activeStudioWindow());
        const QString title = window->windowTitle() + " - " + names;
        QMdiSubWindow* sub = studio->mdiArea()->activeSubWindow();
        QVERIFY(sub->windowTitle() == title && sub->toolTip() == window->fileList().join('\n'));
        QCOMPARE(studio->outlineDock()->windowTitle(), "Outline - " + names);
        emit studio->windowListMenu()->aboutToShow();
        const QAction* entry = studio->windowListMenu()->actions().constLast();
        QVERIFY(entry->text() == title && entry->toolTip() == sub->toolTip());
        if (!closeKey)
            return;
        studio->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(studio));
        auto* edit = new QLineEdit(window);
        window->setCentralWidget(edit);
        edit->setFocus();
        QTRY_VERIFY(edit->hasFocus());
        QTest::keyClick(edit, Qt::Key(closeKey), Qt::ControlModifier);
        QTRY_VERIFY(!window);
        QCOMPARE(studio->outlineDock()->windowTitle(), QString("Outline"));
    }

    // The active window alone shows its tool menu, outline, readout and "Live"; its enabled
    // states decide the commands, and disabled commands never run.
    void activeWindowOwnsMenuOutlineAndCommands()
    {
        TestViewerWindow* one = open("one.txt");
        one->setEnabledStates(true, false);
        QPointer<TestViewerWindow> two = open("two.txt");
        two->setEnabledStates(false, true);
        QPointer<QListWidget> twoOutline = two->outline;
        const auto shows = [this](TestViewerWindow* window, QList<bool> enabled) {
            QCOMPARE(studio->activeStudioWindow(), window);
            QCOMPARE(toolMenuTitles(), QStringList{window->windowTitle()});
            QVERIFY(studio->outlineDock()->isAncestorOf(window->outline));
            QCOMPARE((QList<bool>{studio->printAction()->isEnabled(),
                                  studio->reloadAction()->isEnabled(),
                                  studio->autoReloadAction()->isEnabled()}),
                     enabled);
        };
        shows(two, {false, true, true});
        studio->showReadout(QStringLiteral("sample 3: rpm 800"));
        studio->reloadAction()->trigger();
        studio->autoReloadAction()->trigger();
        studio->mnPrint();
        QVERIFY(two->refreshCount == 1 && two->printCount == 0 && two->autoReload());
        QVERIFY(!studio->liveField()->isHidden());
        studio->mdiArea()->activateNextSubWindow(); // of two, the other
        shows(one, {true, false, false});
        QVERIFY(one->viewerActive && !two->viewerActive && twoOutline->parentWidget() == two);
        QVERIFY(studio->liveField()->isHidden() && studio->readoutField()->text().isEmpty());
        studio->printAction()->trigger();
        studio->mnReload();
        QVERIFY(one->printCount == 1 && one->refreshCount == 0);
        two->setEnabledStates(true, false); // not the active window: changes nothing here
        shows(one, {true, false, false});
        studio->mdiArea()->activateNextSubWindow();
        two->setAutoReload(false); // turned off by the window itself: the field follows
        QVERIFY(studio->liveField()->isHidden());

        studio->closeAction()->trigger();
        QTRY_VERIFY(!two && !twoOutline);
        shows(one, {true, false, false});
        one->close();
        QTRY_VERIFY(toolMenuTitles().isEmpty() && !studio->closeAction()->isEnabled());
    }

    // Cancel during an open leaves no window; closing the studio during a read cancels it first,
    // then closes. Meanwhile nothing can open, reload or close a window.
    void cancelledOpen_data()
    {
        QTest::addColumn<bool>("closeStudio");
        QTest::newRow("the dialog's Cancel") << false;
        QTest::newRow("main window closed") << true;
    }
    void cancelledOpen()
    {
        QFETCH(bool, closeStudio);
        QList<bool> enabled;
        TestViewerWindow::duringRead = [&] {
            for (const QAction* action :
                 {studio->openAction(), studio->reloadAction(), studio->closeAction()})
                enabled << action->isEnabled();
            if (closeStudio)
                studio->close();
            else
                studio->readProgress()->dialog()->findChild<QPushButton*>()->click();
        };
        const QStringList paths = makeFiles({"a.txt", "b.txt"});
        QAStViewerWindow* window = studio->openFiles(paths);
        TestViewerWindow::duringRead = nullptr;
        QVERIFY(!enabled.isEmpty() && !enabled.contains(true));
        QVERIFY(studio->openAction()->isEnabled());
        QVERIFY(!window && studio->mdiArea()->subWindowList().isEmpty());
        QVERIFY(!studio->readProgress()->running());
        QTRY_COMPARE(studio->isVisible(), !closeStudio);
        if (!closeStudio) {
            QVERIFY(studio->statusBar()->currentMessage().startsWith("Open cancelled"));
            QVERIFY(studio->openFiles(paths)); // the next open reads through
        }
    }

    // The parser says why a command line is bad, and never exits; --help wins over the rest.
    void commandLineErrors_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("error"); // its start; empty: the help
        const auto row = [](const char* name, const QStringList& arguments, const char* error) {
            QTest::newRow(name) << arguments << QString::fromUtf8(error);
        };
        row("help, bad chart", {"--help", "--chart", "pie"}, "");
        row("show in xy", {"--chart", "xy", "--show", "a"}, "--show does not fit the xy chart");
        row("x in time", {"--x", "a"}, "--x does not fit the time chart");
        row("y twice in xyz", {"--chart", "xyz", "--y", "a", "--y", "b"}, "--y is given 2 times");
        row("show and show-all", {"--show", "a", "--show-all"},
            "--show and --show-all exclude each other");
        row("range in xyz", {"--chart", "xyz", "--range", "0:1"}, "--range does not fit the xyz");
        for (const char* range : {"1:1", "a:b", "inf:1", "0:1,1:0", "0:1,2:3,4:5", "0:1:2"})
            QTest::addRow("bad range '%s'", range)
                << QStringList{"--range", range}
                << QStringLiteral("Bad range %1: give").arg(QString::fromUtf8(range));
        row("size verbatim", {"--size", "%1x%2"},
            "Bad size %1x%2: give WIDTHxHEIGHT, each from 32 to 4096 pixels");
    }

    void commandLineErrors()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, error);
        const StudioOptions o = StudioOptions::parse(QStringList{"gvz-studio"} + arguments);
        QCOMPARE(o.error.left(error.size()), error);
        QCOMPARE(o.action == StudioOptions::Action::ShowHelp && o.text.contains("--show-all"),
                 error.isEmpty());
    }

    // The batch drives the window through the host operations only.
    void batchThroughHostOperations_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("done"); // "chart roles range scales" the window got
        const auto row = [](const char* name, const QStringList& arguments, const char* done) {
            QTest::newRow(name) << arguments << QString::fromUtf8(done);
        };
        row("show-all", {"--show-all"}, "0 a,b,c d,ü,-t, - -");
        row("xy roles, a name like an option, a Y twice",
            {"--chart", "xy", "--x", "-t", "--y", "a,b", "--y", "a,b"}, "1 -t;a,b;a,b - -");
        row("xyz roles", {"--chart", "xyz", "--x", "a,b", "--y", "", "--z", "ü"}, "2 a,b;;ü - -");
        row("range", {"--chart", "xy", "--range", "1:2,-3:4"}, "1 - 1:2,-3:4 -");
        row("scales", {"--chart", "xy", "--log-x", "--stack"}, "1 - - SX-");
        row("log Y", {"--chart", "xy", "--log-y"}, "1 - - --Y");
    }

    void batchThroughHostOperations()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, done);
        const QString names = dir->filePath("names.txt");
        writeFile(names, "a,b\nc d\n\xc3\xbc\n-t\n\n");
        const StudioOptions options = StudioOptions::parse(QStringList{"gvz-studio"} + arguments);
        QVERIFY2(options.error.isEmpty(), qPrintable(options.error));
        StudioBatch batch(studio);
        QVERIFY(batch.open({names}));
        auto* window = static_cast<TestViewerWindow*>(studio->activeStudioWindow());
        QVERIFY2(batch.apply(options), qPrintable(batch.errorString()));
        const QAStViewerWindow::CurveRoles& roles = window->roles;
        const QString given = roles.time ? roles.time->join(',') : roles.names().join(';');
        const auto range = [](const QAStViewerWindow::Range& r) {
            return QStringLiteral("%1:%2").arg(r.from).arg(r.to);
        };
        const auto scales = [](const QAStViewerWindow::Scales& s) {
            return QString(s.stacked ? 'S' : '-') + (s.logX ? 'X' : '-') + (s.logY ? 'Y' : '-');
        };
        QCOMPARE(QStringLiteral("%1 %2 %3 %4")
                     .arg(QString::number(window->chart), given.isEmpty() ? "-" : given,
                          window->viewX ? range(*window->viewX) + "," + range(*window->viewY) : "-",
                          window->scales ? scales(*window->scales) : "-"),
                 done);
        // The picture is the window's drawing.
        QVERIFY(batch.render(dir->filePath("chart.png"), QSize(64, 48)));
        QCOMPARE(QImage(dir->filePath("chart.png")).pixelColor(32, 24),
                 TestViewerWindow::chartColour(window->chart));
    }

    // With a window too, a bad name ends the run before the window shows.
    void windowRunRefusesUnknownNames()
    {
        const QString names = dir->filePath("names.txt");
        writeFile(names, "a\n");
        StudioApp studioApp;
        QTimer shown; // a window that did show closes; the timer dies with the test
        connect(&shown, &QTimer::timeout, qApp, &QCoreApplication::quit);
        shown.start(0);
        QCOMPARE(studioApp.run({"gvz-studio", "--plugin", GVZ_TEST_PLUGIN_GOOD, "--resources",
                                dir->filePath("w.xml"), "--show", "b", names}),
                 2);
        QVERIFY(!studioApp.mainWindow()->isVisible() && !QFile::exists(dir->filePath("w.xml")));
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
        QCOMPARE(plugin->detail->edit->text(), QStringLiteral("rough"));
        // Defaults resets the current page only.
        dialog->setCurrentPage(plugin->detail);
        QTest::mouseClick(dialog->defaultsButton(), Qt::LeftButton);
        QVERIFY(plugin->detail->defaultsCalls == 1 && plugin->general->defaultsCalls == 0);
        QCOMPARE(plugin->detail->edit->text(), QStringLiteral("fine"));
        plugin->general->edit->setText(QStringLiteral("red"));
        QTest::mouseClick(ok ? dialog->okButton() : dialog->cancelButton(), Qt::LeftButton);
        QVERIFY(plugin->acceptedCount == int(ok) && plugin->rejectedCount == int(!ok));
        for (CountingPage* page : {plugin->general, plugin->detail})
            QVERIFY(page->applies == int(ok) && page->cancels == int(!ok));
        QCOMPARE(plugin->general->value, ok ? QStringLiteral("red") : QStringLiteral("blue"));
        // An accepted dialog writes the resources at once; a cancelled one writes nothing.
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
        QVERIFY(second.load(nullptr, true));
        second.registerProducer(plugin);
        plugin->general->value = QStringLiteral("magenta <&> \"x\"");
        plugin->detail->value = QStringLiteral("ünïcode");
        QVERIFY(second.save(nullptr));

        ResourceStore again(store->fileName());
        QVERIFY(again.load(nullptr, true) && again.root()->isTag(ResourceStore::RootTag));
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
        QVERIFY(!corrupt.load(&message, true));
        const QString backup = corrupt.backupFileName();
        QVERIFY2(!backup.isEmpty() && message.contains(file) && message.contains(backup),
                 qPrintable(message));
        QCOMPARE(readAll(backup), contents);
        QVERIFY(!QFile::exists(file));
        QVERIFY(!corrupt.root()->toResGroup()->firstChild()); // an empty tree to go on with
        // A second corrupt file in the same second gets a backup of its own.
        writeFile(file, contents + "x");
        ResourceStore again(file);
        QVERIFY(!again.load(nullptr, true) && again.backupFileName() != backup);
        QCOMPARE(readAll(again.backupFileName()), contents + "x");
    }
};

QTEST_MAIN(TestApp)
#include "tst_app.moc"
