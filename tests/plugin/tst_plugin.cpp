#include "plugin/gvzplugin.h"

#include "viewer/qagvzviewer.h"
#include "config/qagvzconfig.h"
#include "prefs/qagvzpref.h"
#include "host/res/qares.h"
#include "host/studio/qalistview.h"
#include "host/studio/studiointerface.h"
#include "tests/testfiles.h"

#include <QMenuBar>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <dlfcn.h>

#include <memory>

namespace {

// A host that records the identifiers it is asked for and has no StudioInterface; it leaves
// the output alone.
class RecordingHost : public QUnknownInterface
{
public:
    long queryInterface(const QUuid& id, QUnknownInterface**) override
    {
        asked << id;
        return NoInterface;
    }
    unsigned long addRef() override { return 1; }
    unsigned long release() override { return 1; }
    QList<QUuid> asked;
};

} // namespace

class TestPlugin : public QObject
{
    Q_OBJECT

private slots:
    // Runs first: before and at the one-time initialisation.
    void initializeWithoutStudio()
    {
        QVERIFY(!gvzpref);
        QAStGvzPlugin plugin;
        QVERIFY(!plugin.preferenceSettings());
        QObject sender; // no preference object to connect yet
        plugin.connectAccepted(&sender, SIGNAL(destroyed()));
        plugin.connectRejected(&sender, SIGNAL(destroyed()));
        QVERIFY(!QObject::disconnect(&sender, nullptr, nullptr, nullptr));

        RecordingHost host;
        QAResGroup root(QStringLiteral("resources"));
        auto* group = new QAResGroup(QStringLiteral("gvz_viewer"));
        group->addChild(new QAResRGB(QStringLiteral("pane_back"), 1, 2, 3));
        root.addChild(group);
        plugin.initialize(&host, &root);
        QCOMPARE(host.asked, QList<QUuid>{QUuid("{cedeb1c6-d23b-431d-a038-1275cd056913}")});
        QVERIFY(!QAStGvzPlugin::studioIFace && !QAGVZViewer::studioInterface());
        QCOMPARE(gvzpref->general->paneBack, QColor(1, 2, 3));
        QCOMPARE(plugin.preferenceSettings(), static_cast<PreferenceItem*>(gvzpref->general));
        QAGVZPref* first = gvzpref;
        QAStGvzPlugin().initialize(nullptr, nullptr);
        QCOMPARE(gvzpref, first);

        // Once initialised, an accepted preference dialog reaches the preferences.
        QSignalSpy updated(gvzpref, &QAGVZPref::updated);
        auto accepted = std::make_unique<QObject>();
        auto rejected = std::make_unique<QObject>();
        plugin.connectAccepted(accepted.get(), SIGNAL(destroyed()));
        plugin.connectRejected(rejected.get(), SIGNAL(destroyed()));
        rejected.reset();
        QCOMPARE(updated.size(), 0);
        accepted.reset();
        QCOMPARE(updated.size(), 1);
    }

    void createOpensTheFiles()
    {
        QTemporaryDir dir;
        QStringList files{dir.filePath(QStringLiteral("t.gvz"))};
        QVERIFY(writeFile(files.first(), "a\tb\n1\t2\n"));
        QAStGvzPlugin plugin;
        QPointer<QAStViewerWindow> window =
            static_cast<QAStViewerPlugin&>(plugin).create(files, nullptr, "v");
        auto* viewer = qobject_cast<QAGVZViewer*>(window);
        QVERIFY(viewer && viewer->testAttribute(Qt::WA_DeleteOnClose));
        QVERIFY(viewer->activateDisplayRequested());
        QCOMPARE(viewer->listView->topLevelItemCount(), 2);
        // Without a studio interface the window has no tool menu and no dialog parent.
        QVERIFY(!viewer->config->parent());
        viewer->activated();
        QVERIFY(viewer->active && !viewer->toolMenu && viewer->menuBar()->actions().isEmpty());
        QVERIFY(viewer->close());
        QTRY_VERIFY(!window);
    }

    void entryPointsThroughDlopen()
    {
        // The library keeps its own copy of the viewer, apart from the one linked into this test.
        // It is never unloaded, as the studio never unloads a plug-in.
        void* library = dlopen(GVZVIEWER_LIBRARY, RTLD_NOW | RTLD_LOCAL);
        QVERIFY2(library, dlerror());
        auto verification =
            reinterpret_cast<const char* (*)()>(dlsym(library, "qt_ucm_query_verification_data"));
        auto instantiate =
            reinterpret_cast<QUnknownInterface* (*)()>(dlsym(library, "ucm_instantiate"));
        QVERIFY(verification && instantiate);
        QCOMPARE(
            QByteArray(verification()),
            QByteArray("pattern=QT_UCM_VERIFICATION_DATA\nversion=3.3.8\nflags=01\n"
                       "buildkey=x86_64 Linux g++-4 full-config no-opengl QT_NO_LIBRARY_UNLOAD"));

        QUnknownInterface* first = instantiate();
        QUnknownInterface* second = instantiate();
        QVERIFY(first && second && first != second);
        QAStViewerPlugin* plugin = QAStViewerPlugin::fromInterface(first);
        QCOMPARE(plugin->metaObject()->className(), "QAStGvzPlugin");
        // The library's own preference object does not exist before its initialisation.
        QVERIFY(!plugin->preferenceSettings());
        plugin->initialize(nullptr, nullptr);
        const PreferenceItem* own = plugin->preferenceSettings();
        QVERIFY(own && own != gvzpref->general);
        plugin->release();
        first->release();
        second->release();
    }
};

QTEST_MAIN(TestPlugin)
#include "tst_plugin.moc"
