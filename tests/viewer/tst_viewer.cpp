#include "viewer/qagvzitem.h"
#include "viewer/qagvzviewer.h"

#include "tests/viewer/viewertestutil.h"
#include "config/qagvzconfig.h"
#include "graphic/qagvzgraphic.h"
#include "prefs/qagvzpref.h"
#include "prefs/qagvzprefgeneral.h"
#include "host/res/qares.h"
#include "host/chart/ditem.h"
#include "host/studio/qalistview.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <cstring>
#include <limits>
#include <memory>

namespace {

using ViewerPtr = std::unique_ptr<QAGVZViewer>;

FakeStudio studio;
const QByteArray abc = "a\tb\tc\n1\t2\t3\n";

QAGVZItem* rowOf(const QAGVZViewer& viewer, int index)
{
    return static_cast<QAGVZItem*>(viewer.listView->topLevelItem(index));
}

QAGVZItem* rowNamed(const QAGVZViewer& viewer, const QString& name)
{
    return static_cast<QAGVZItem*>(viewer.listView->findItems(name, Qt::MatchExactly).value(0));
}

// "name count flags" per row in list order, flags from T X Y Z and * for itemY; "!" marks a row
// whose X flag disagrees with itemX or whose icon is not the one its flags give in the chart type.
QString describeRows(const QAGVZViewer& viewer)
{
    QStringList rows;
    for (int i = 0; i < viewer.listView->topLevelItemCount(); ++i) {
        const QAGVZItem* r = rowOf(viewer, i);
        const QString flags = QString(r->displayIfTime ? "T" : "") + (r->displayAsX ? "X" : "")
                              + (r->displayAsY ? "Y" : "") + (r->displayAsZ ? "Z" : "");
        const int type = viewer.graphicType;
        const QString icon = type == 0
                                 ? QString(r->displayIfTime ? "t" : "")
                                 : QString(r->displayAsX ? "x" : "") + (r->displayAsY ? "y" : "")
                                       + (type == 2 && r->displayAsZ ? "z" : "");
        const bool sound = r->displayAsX == (r == viewer.itemX)
                           && QAGVZItem::rolePixmapName(r->roleIcon())
                                  == "gvz_" + (icon.isEmpty() ? "0" : icon) + "_xpm";
        rows << QStringLiteral("%1 %2 %3%4%5")
                    .arg(r->text(0), r->text(1), flags.isEmpty() && r != viewer.itemY ? "-" : flags,
                         r == viewer.itemY ? "*" : "", sound ? "" : "!");
    }
    return rows.join(QStringLiteral(", "));
}

// "type title | id:name per axis | curve=x,y x,y..." or "none"; wrong links or styles are
// reported at the end.
QString describeChart(const QAGVZViewer& viewer)
{
    const DGraphic* g = viewer.graphic->graphic;
    if (!g)
        return QStringLiteral("none");
    const QAGVZPrefStyles* styles = gvzpref->styles;
    DStyle* const axisStyles[] = {styles->axisXStyle, styles->axisYStyle, styles->axisZStyle};
    QStringList parts{QStringLiteral("%1 %2").arg(g->type).arg(g->title)};
    bool sound = g->style == styles->graphicStyle;
    int axes = 0;
    for (DItem* item = g->firstChild; item; item = item->next) {
        sound = sound && item->parent == g;
        if (DAxis* axis = item->toAxis()) {
            sound = sound && axes < 3 && axis->style == axisStyles[axes++];
            parts << axis->id() + QLatin1Char(':') + axis->name();
            continue;
        }
        DCurve* curve = item->toCurve();
        const QAGVZItem* row = curve ? rowNamed(viewer, curve->name) : nullptr;
        sound = sound && row && curve->style == row->style && curve->type == 0;
        QStringList points;
        for (DItem* p = curve->firstChild; p; p = p->next) {
            sound = sound && p->parent == curve;
            QStringList coords;
            for (int slot = 0; slot < axes; ++slot)
                coords << QString::number(double(p->toPoint()->coord(slot)));
            points << coords.join(QLatin1Char(','));
        }
        parts << curve->name + QLatin1Char('=') + points.join(QLatin1Char(' '));
    }
    if (!sound)
        parts << QStringLiteral("bad links or styles");
    return parts.join(QStringLiteral(" | "));
}

// Runs "verb arg..." actions separated by ';' on the viewer, through the list as a user would
// where there is a user gesture; `rebuilt` tells whether the last action replaced the chart (a
// mark on the chart, not its address: a new chart may take a deleted one's).
bool runScript(QAGVZViewer& viewer, const QString& script, bool* rebuilt = nullptr)
{
    static int mark;
    bool hadChart = false;
    QAListView* list = viewer.listView; // the studio shows the curve list on its own
    list->setParent(nullptr);
    list->resize(300, 300);
    list->show();
    if (!QTest::qWaitForWindowExposed(list))
        return false;
    for (const QString& action : script.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
        const QStringList words = action.split(QLatin1Char(' '), Qt::SkipEmptyParts);
        const QString verb = words.value(0);
        QAGVZItem* row = rowNamed(viewer, words.value(1));
        const QPoint at = row ? list->visualItemRect(row).center() : QPoint(150, 290);
        hadChart = viewer.graphic->graphic;
        if (hadChart)
            viewer.graphic->graphic->userData = &mark;
        if (verb == "type") {
            viewer.setGraphicType(QAGVZViewer::GraphicType(words.value(1).toInt()));
        } else if (verb == "x") {
            viewer.setItemX(row);
        } else if (verb == "y") {
            viewer.setItemY(row);
        } else if (verb == "z") {
            viewer.setItemZ(row);
        } else if (verb == "t") { // a flag set directly: no rebuild
            row->setDisplayIfTime(!row->displayIfTime);
        } else if (verb == "set") { // host operation: "set t=a,b y=c", "-" an empty list
            QAStViewerWindow::CurveRoles roles;
            for (const QString& role : words.mid(1)) {
                const QString names = role.mid(2);
                const QStringList named = names == "-" ? QStringList() : names.split(',');
                if (role.startsWith('x'))
                    roles.x = named.value(0);
                else
                    (role.startsWith('t')   ? roles.time
                     : role.startsWith('y') ? roles.y
                                            : roles.z) = named;
            }
            viewer.setCurveRoles(roles);
        } else if (verb == "itemy") {
            viewer.itemY = row;
        } else if (verb == "dbl") {
            QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, at);
        } else if (verb == "enter") {
            list->setCurrentItem(row);
            QTest::keyClick(list, words.value(2) == "keypad" ? Qt::Key_Enter : Qt::Key_Return);
        } else {
            return false;
        }
    }
    if (rebuilt) {
        const DGraphic* now = viewer.graphic->graphic;
        *rebuilt = now ? now->userData != &mark : hadChart;
    }
    return true;
}

} // namespace

class TestViewer : public QObject
{
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> dir;
    std::unique_ptr<QMainWindow> hostWindow;
    QStringList paths; // of the last open()

    ViewerPtr open(const QList<QByteArray>& contents) { return openTraces(*dir, contents, &paths); }

private slots:
    void initTestCase()
    {
        // The preferences are looked up among the siblings of the tree's first node.
        QAResGroup root(QStringLiteral("resources"));
        auto* prefs = new QAResGroup(QStringLiteral("gvz_viewer"));
        prefs->addChild(new QAResRGB(QStringLiteral("background"), 1, 2, 3));
        root.addChild(new QAResGroup(QStringLiteral("other")));
        root.addChild(prefs);
        QAGVZViewer::initialize(&root, &studio);
        QCOMPARE(gvzpref->general->background, QColor(1, 2, 3));
        FakeStudio other;
        prefs->setChildren(new QAResRGB(QStringLiteral("background"), 4, 5, 6));
        QAGVZViewer::initialize(&root, &other); // later calls do nothing
        QVERIFY(other.calls.isEmpty() && studio.producers == QList<QAResProducer*>{gvzpref});
        QCOMPARE(gvzpref->general->background, QColor(1, 2, 3));
        QCOMPARE(QAGVZConfig::studioInterface(), static_cast<StudioInterface*>(&studio));
    }

    void init()
    {
        dir = std::make_unique<QTemporaryDir>();
        hostWindow = std::make_unique<QMainWindow>();
        studio.window = hostWindow.get();
        studio.calls.clear();
        studio.insertedMenus.clear();
    }

    void merge_data()
    {
        QTest::addColumn<QList<QByteArray>>("contents");
        QTest::addColumn<QString>("script");   // run before the second read
        QTest::addColumn<QByteArray>("after"); // then written to the first file; null: no 2nd read
        QTest::addColumn<bool>("setFiles");    // the second read, else reload
        QTest::addColumn<QString>("rows");
        using Files = QList<QByteArray>;
        const auto once = [](const char* name, const Files& files, const char* rows) {
            QTest::newRow(name) << files << QString() << QByteArray() << false << QString(rows);
        };
        once("defaults", {"a\tb\tc\td\n1\t2\t3\t4\n"}, "a 1 TX, b 1 Y*, c 1 Z, d 1 -");
        once("same name in two files", {"a\tb\n1\t2\n", "b\tc\n5\t6\n7\t8\n"},
             "a 1 TX, b 2 YZ*, c 2 -");
        once("same name twice in one file", {"a\ta\tb\n1\t2\t3\n"}, "a 1 TXY*, b 1 Z");
        once("full names", {"温度\t压力\t温度2\n1\t2\t3\n"}, "温度 1 TX, 压力 1 Y*, 温度2 1 Z");
        once("unreadable file", {"<missing>", "p\tq\n1\t2\n"}, "p 1 TX, q 1 Y*");
        once("only an unreadable file", {"<missing>"}, "");
        // d and a change data, b (the Y curve) goes, e comes: the second curve read becomes Y.
        QTest::newRow("reload keeps roles and styles")
            << Files{"a\tb\tc\td\n1\t2\t3\t4\n"} << "t a; t d; z c; z d"
            << QByteArray("d\ta\tc\te\n10\t20\t30\t40\n11\t21\t31\t41\n") << false
            << "a 2 XY*, c 2 -, d 2 TZ, e 2 -";
        QTest::newRow("reload without the X curve")
            << Files{abc} << "x c" << QByteArray("b\ta\n1\t2\n") << false << "a 1 T, b 1 XY*";
        QTest::newRow("setFiles again resets")
            << Files{abc} << "x c; z c; t a; z b" << abc << true << "a 1 TX, b 1 Y*, c 1 Z";
    }

    void merge()
    {
        QFETCH(QList<QByteArray>, contents);
        QFETCH(QString, script);
        QFETCH(QByteArray, after);
        QFETCH(bool, setFiles);
        QFETCH(QString, rows);
        ViewerPtr viewer = open(contents);
        QMap<QString, DStyle*> styles;
        if (!after.isNull()) {
            QVERIFY(runScript(*viewer, script));
            for (int i = 0; i < viewer->listView->topLevelItemCount(); ++i)
                styles.insert(rowOf(*viewer, i)->text(0), rowOf(*viewer, i)->style);
            QVERIFY(writeTrace(paths.first(), after));
            QStringList files = paths;
            if (setFiles)
                viewer->setFiles(&files, nullptr, QAStViewerWindow::FileMode);
            else
                viewer->reload();
        }
        QCOMPARE(describeRows(*viewer), rows);
        QCOMPARE(viewer->files, paths);
        // A row kept over a reload keeps its style; any other takes the style of its column.
        const QByteArray last = after.isNull() ? contents.value(0) : after;
        const QStringList header = QString::fromUtf8(last.left(last.indexOf('\n'))).split('\t');
        for (int i = 0; contents.size() == 1 && i < viewer->listView->topLevelItemCount(); ++i) {
            const QAGVZItem* row = rowOf(*viewer, i);
            const bool kept = !setFiles && styles.contains(row->text(0));
            QCOMPARE(row->style, kept ? styles.value(row->text(0))
                                      : gvzpref->styles->curveStyles[header.indexOf(row->text(0))]);
        }
    }

    void unreadableAndOddFiles_data()
    {
        QTest::addColumn<QList<QByteArray>>("contents");
        QTest::addColumn<QString>("script");
        QTest::addColumn<QList<QByteArray>>("changes"); // then reloaded; per file: null kept,
        QTest::addColumn<QString>("rows");    // "<missing>" removed, "<dir>" a folder, else written
        QTest::addColumn<QString>("message"); // a part of what the studio is told; empty: nothing
        using Files = QList<QByteArray>;
        const QByteArray gone = "<missing>", tu = "t\tu\n1\t1\n", t56 = "t\n5\n6\n";
        const auto row = [](const char* name, const Files& contents, const char* script,
                            const Files& changes, const char* rows, const char* message) {
            QTest::newRow(name) << contents << QString(script) << changes << QString(rows)
                                << QString(message);
        };
        row("vanished file keeps its rows and roles", {abc, "p\tq\n1\t2\n"}, "z p; x c", {gone, {}},
            "a 1 T, b 1 Y*, c 1 XZ, p 1 Z, q 1 -",
            "f0.gvz (no such file): showing the data last read");
        row("folder in place of a file", {abc, "p\n1\n"}, "", {"<dir>", {}},
            "a 1 TX, b 1 Y*, c 1 Z, p 1 -", "f0.gvz (is not a regular file)");
        row("shared name, the later file vanished: its curve still wins", {tu, t56}, "",
            {"t\tu\n1\t1\n2\t2\n3\t3\n", gone}, "t 2 TXZ, u 3 Y*", "f1.gvz (no such file)");
        row("shared name, the earlier file vanished", {tu, t56}, "", {gone, "t\n7\n8\n9\n"},
            "t 3 TXZ, u 1 Y*", "f0.gvz (no");
        row("binary", {QByteArray("a\tb\n1\0\2\t3\n", 10)}, "", {}, "a 1 TX, b 1 Y*",
            "f0.gvz does not look like a trace file: it holds binary data");
        row("no number", {"name\tvalue\nfoo\tbar\n"}, "", {}, "name 1 TX, value 1 Y*",
            "no cell holds a number");
        row("header only", {"a\tb\n"}, "", {}, "a 0 TX, b 0 Y*", "");
        row("same name twice", {"a\ta\tb\n1\t2\t3\n"}, "", {}, "a 1 TXY*, b 1 Z",
            "f0.gvz names the curve \"a\" twice: the later column is shown");
    }

    void unreadableAndOddFiles()
    {
        QFETCH(QList<QByteArray>, contents);
        QFETCH(QString, script);
        QFETCH(QList<QByteArray>, changes);
        QFETCH(QString, rows);
        QFETCH(QString, message);
        studio.messages.clear();
        ViewerPtr viewer = open(contents);
        QVERIFY(runScript(*viewer, script));
        const QString before = describeRows(*viewer);
        for (int i = 0; i < changes.size(); ++i) {
            if (changes[i].startsWith('<'))
                QVERIFY(QFile::remove(paths[i])
                        && (changes[i] == "<missing>" || QDir().mkdir(paths[i])));
            else if (!changes[i].isNull())
                QVERIFY(writeTrace(paths[i], changes[i]));
        }
        if (!changes.isEmpty())
            viewer->reload();
        QCOMPARE(describeRows(*viewer), rows);
        const QString said = studio.messages.join('|');
        QVERIFY2(message.isEmpty() ? said.isEmpty() : said.contains(message), qPrintable(said));
        // The files back as they were: every row shows their data again, roles kept.
        for (int i = 0; i < changes.size(); ++i) {
            QDir().rmdir(paths[i]);
            QVERIFY(writeTrace(paths[i], contents[i]));
        }
        viewer->reload();
        QCOMPARE(describeRows(*viewer), before);
    }

    void noCurveHint_data()
    {
        QTest::addColumn<QString>("script");
        QTest::addColumn<QString>("status"); // a part; empty: no message
        QTest::newRow("time chart without") << "t a; type 0"
                                            << "double-click a curve in the Outline";
        QTest::newRow("XYZ chart") << "type 2"
                                   << "give them the X, Y and Z roles";
        QTest::newRow("hint gone once a curve shows") << "type 1; type 0"
                                                      << "";
    }

    void noCurveHint()
    {
        QFETCH(QString, script);
        QFETCH(QString, status);
        ViewerPtr viewer = open({"a\n1\n"});
        viewer->activated();
        QVERIFY(runScript(*viewer, script));
        const QString shown = hostWindow->statusBar()->currentMessage();
        QVERIFY2(status.isEmpty()
                     ? shown.isEmpty()
                     : shown.startsWith("No curve is shown: ") && shown.contains(status),
                 qPrintable(shown));
    }

    void roles_data()
    {
        QTest::addColumn<QString>("script");
        QTest::addColumn<bool>("rebuilds"); // by the last action
        QTest::addColumn<QString>("rows");
        const QString start = "a 1 TX, b 1 Y*, c 1 Z";
        QTest::newRow("X on the X curve") << "x a" << false << start;
        QTest::newRow("X moves") << "x c" << true << "a 1 T, b 1 Y*, c 1 XZ";
        QTest::newRow("xyz: Y moves") << "type 2; y c" << true << "a 1 TX, b 1 -, c 1 YZ*";
        QTest::newRow("xyz: Y again stays") << "type 2; y b" << true << start;
        QTest::newRow("xy: Y on") << "type 1; y c; y a" << true << "a 1 TXY*, b 1 Y, c 1 YZ";
        QTest::newRow("xy: Y toggles off") << "type 1; y b" << true << "a 1 TX, b 1 *, c 1 Z";
        QTest::newRow("xy: no itemY") << "itemy -; type 1; y c" << true << "a 1 TX, b 1 Y, c 1 YZ";
        QTest::newRow("Z toggles") << "z a" << true << "a 1 TXZ, b 1 Y*, c 1 Z";
        QTest::newRow("time: dbl") << "dbl c" << true << "a 1 TX, b 1 Y*, c 1 TZ";
        QTest::newRow("xy: dbl toggles Y") << "type 1; dbl c" << true << "a 1 TX, b 1 Y*, c 1 YZ";
        QTest::newRow("xy: dbl sets itemY")
            << "itemy -; type 1; dbl c" << true << "a 1 TX, b 1 Y, c 1 YZ*";
        QTest::newRow("xyz: dbl toggles Z") << "type 2; dbl b" << true << "a 1 TX, b 1 YZ*, c 1 Z";
        QTest::newRow("keypad Enter") << "enter c keypad" << true << "a 1 TX, b 1 Y*, c 1 TZ";
        QTest::newRow("dbl beside the rows") << "dbl -" << false << start;
        QTest::newRow("xyz clears Y, xy too")
            << "type 1; y c; y a; itemy b; type 2; type 1" << true << start;
        QTest::newRow("same type rebuilds") << "type 0" << true << start;
        // Roles set by name through the host operation: set, not toggled, one rebuild.
        QTest::newRow("host: time") << "set t=b,c" << true << "a 1 X, b 1 TY*, c 1 TZ";
        QTest::newRow("host: X, Z") << "type 2; set x=c z=a,b" << true << "a 1 TZ, b 1 YZ*, c 1 X";
        QTest::newRow("host: xy Ys") << "type 1; set y=a,c" << true << "a 1 TXY*, b 1 -, c 1 YZ";
        QTest::newRow("host: xyz Y") << "type 2; set y=c" << true << "a 1 TX, b 1 -, c 1 YZ*";
        QTest::newRow("host: none shown") << "set t=-" << true << "a 1 X, b 1 Y*, c 1 Z";
        QTest::newRow("host: unknown name") << "set t=a x=nope" << false << start;
    }

    void roles()
    {
        QFETCH(QString, script);
        QFETCH(bool, rebuilds);
        QFETCH(QString, rows);
        ViewerPtr viewer = open({abc});
        bool rebuilt = false;
        QVERIFY(runScript(*viewer, script, &rebuilt));
        QCOMPARE(describeRows(*viewer), rows);
        QCOMPARE(rebuilt, rebuilds);
    }

    void charts_data()
    {
        QTest::addColumn<QString>("script");
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("chart");
        const QByteArray three = "a\tb\tc\n5\t7\t1\n6\t\t2\n-4\t\t3\n"; // b holds one sample
        const QByteArray xy = "x\tlong\tshort\n1\t10\t100\n2\t20\t200\n3\t30\n\t40\n";
        QTest::newRow("time: positions")
            << "t b; type 0" << three << "0 Graphic | x:time | y:Y | a=0,5 1,6 2,-4 | b=0,7";
        QTest::newRow("time: no samples")
            << "" << QByteArray("a\tb\n") << "0 Graphic | x:time | y:Y | a=";
        QTest::newRow("time: nothing chosen") << "t a; type 0" << three << "none";
        QTest::newRow("xy: shorter chain")
            << "type 1; y short" << xy
            << "0 Graphic | x:x | y:Y | long=1,10 2,20 3,30 | short=1,100 2,200";
        QTest::newRow("xy: X row as Y")
            << "type 1; y a" << three << "0 Graphic | x:a | y:Y | a=5,5 6,6 -4,-4 | b=5,7";
        QTest::newRow("xy: no Y curve") << "type 1; y b" << three << "none";
        QTest::newRow("xy: no samples") << "type 1" << QByteArray("x\ty\n") << "none";
        QTest::newRow("xyz: three chains")
            << "type 2" << QByteArray("x\ty\tz\n1\t2\t3\n4\t5\t6\n7\t8\n")
            << "7 Graphic | x:x | y:y | z:Z | z=1,2,3 4,5,6";
        QTest::newRow("xyz: no itemY") << "z x; type 2" << QByteArray("x\n1\n") << "none";
        for (const char* type : {"0", "1", "2"})
            QTest::addRow("empty list: type %s", type)
                << "type " + QString(type) << QByteArray() << "none";
    }

    void charts()
    {
        QFETCH(QString, script);
        QFETCH(QByteArray, file);
        QFETCH(QString, chart);
        ViewerPtr viewer = open({file});
        QVERIFY(runScript(*viewer, script));
        QCOMPARE(describeChart(*viewer), chart);
        if (!viewer->graphic->graphic)
            return;
        // The builder had the ranges computed and set the spacings of every axis with points.
        const bool points = !chart.endsWith(QLatin1Char('='));
        for (DItem* item = viewer->graphic->graphic->firstChild; item; item = item->next)
            QVERIFY(!item->toAxis() || item->toAxis()->hasProperty(DAxis::DotSpacing) == points);
    }

    void viewKeptOrFitted_data()
    {
        QTest::addColumn<QString>("before"); // script before the view is set
        QTest::addColumn<QPointF>("view");   // X range set
        QTest::addColumn<QString>("after");  // script afterwards; "reload": 5 samples appended
        QTest::addColumn<QPointF>("shown");  // X range then; null: the whole chart
        const auto row = [](const char* name, const char* before, QPointF view, const char* after,
                            QPointF shown) {
            QTest::newRow(name) << before << view << after << shown;
        };
        row("time: reload keeps", "", {2, 6}, "reload", {2, 6});
        row("time: hiding a curve keeps", "", {2, 6}, "dbl b", {2, 6});
        row("time: rebuild (configuration) keeps", "", {2, 6}, "build", {2, 6});
        row("time: at the last sample follows", "", {5, 10}, "reload", {10, 15});
        row("switching the type fits", "", {2, 6}, "type 1", {});
        row("xy: a role change fits", "type 1", {2, 6}, "x b", {});
        row("xy: reload keeps", "type 1", {2, 6}, "reload", {2, 6});
    }

    void viewKeptOrFitted()
    {
        QFETCH(QString, before);
        QFETCH(QPointF, view);
        QFETCH(QString, after);
        QFETCH(QPointF, shown);
        QByteArray trace = "a\tb\tc\n";
        for (int i = 0; i <= 10; ++i)
            trace += QByteArray::number(i) + '\t' + QByteArray::number(i * i) + "\t1\n";
        ViewerPtr viewer = open({trace});
        QVERIFY(runScript(*viewer, before));
        QVERIFY(viewer->setChartView(view.x(), view.y()));
        if (after == "reload") {
            for (int i = 11; i <= 15; ++i)
                trace += QByteArray::number(i) + '\t' + QByteArray::number(i * i) + "\t1\n";
            QVERIFY(writeTrace(paths.first(), trace));
            viewer->reload();
        } else if (after == "build") {
            viewer->updateGraphic();
        } else {
            QVERIFY(runScript(*viewer, after));
        }
        const QRectF r = viewer->graphic->visibleRange();
        QCOMPARE(viewer->graphic->isZoomed(), !shown.isNull());
        if (!shown.isNull())
            QCOMPARE(QPointF(r.left(), r.right()), shown);
    }

    void chartViewRanges_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<QList<double>>("range"); // X from, to (, Y from, to)
        QTest::addColumn<float>("unitStep");      // of the zoomed X axis; 0: refused
        const double nan = std::numeric_limits<double>::quiet_NaN();
        const auto row = [](const char* name, int type, const QList<double>& range, float step) {
            QTest::newRow(name) << type << range << step;
        };
        // A span of 10,000 samples gets a quarter of it between labels (the time axis's own
        // rule would give none at all there).
        row("time: samples 1,000,000 to 1,010,000", 0, {1e6, 1.01e6}, 2500.0f);
        row("xy with a Y range", 1, {0, 1, -5, 5}, 0.3f);
        row("start not below end", 0, {3, 3}, 0.0f);
        row("not a number", 0, {nan, 3}, 0.0f);
        row("bad Y range", 1, {0, 1, 2, -2}, 0.0f);
        row("xyz chart", 2, {0, 1}, 0.0f);
    }

    void chartViewRanges()
    {
        QFETCH(int, type);
        QFETCH(QList<double>, range);
        QFETCH(float, unitStep);
        ViewerPtr viewer = open({"a\tb\tc\n1\t2\t3\n4\t5\t7\n"});
        viewer->setGraphicType(QAGVZViewer::GraphicType(type));
        std::optional<std::pair<double, double>> y;
        if (range.size() > 2)
            y = std::pair{range[2], range[3]};
        QCOMPARE(viewer->setChartView(range[0], range[1], y), unitStep > 0);
        const DGraphic* g = viewer->graphic->graphic;
        QCOMPARE(g->view.isSet(), unitStep > 0);
        if (unitStep <= 0)
            return;
        QCOMPARE(g->view.spacing[0][1], unitStep);
        QCOMPARE(g->view.rect.top(), y ? y->first : 1.0); // else Y stays whole (a: 1 to 4)
    }

    void readoutReachesTheStudio()
    {
        ViewerPtr viewer = open({"a\tb\n1\t2\n4\t5\n"});
        viewer->resize(600, 400);
        viewer->show();
        QVERIFY(QTest::qWaitForWindowExposed(viewer.get()));
        viewer->activated();
        QAGVZGraphic* g = viewer->graphic;
        const QPointF at = g->chartPainter.plotMap()(1, 3);
        QMouseEvent move(QEvent::MouseMove, at, g->viewport()->mapToGlobal(at), Qt::NoButton,
                         Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(g->viewport(), &move);
        QVERIFY(studio.calls.contains("showReadout sample 1: a 4"));
        QEvent leave(QEvent::Leave);
        QApplication::sendEvent(g, &leave);
        QCOMPARE(studio.calls.last(), "showReadout ");
    }

    void beautifulStepValue_data()
    {
        QTest::addColumn<float>("value");
        QTest::addColumn<quint32>("bits");
        const std::pair<float, quint32> rows[] = {
            {0.0f, 0x3f800000},    {0.037f, 0x3d23d70b}, {0.1f, 0x3dcccccd},   {0.25f, 0x3e99999a},
            {0.95f, 0x3f800000},   {1.3f, 0x3fc00000},   {2.75f, 0x40400000},  {7.4f, 0x40e00000},
            {-12.0f, 0x41200000},  {12.5f, 0x41700000},  {23.0f, 0x41c80000},  {73.0f, 0x428c0000},
            {75.0f, 0x42a00000},   {100.5f, 0x42c80000}, {137.0f, 0x430c0000}, {730.0f, 0x44368000},
            {1234.0f, 0x44960000}, {3e38f, 0x7f61b1e7}};
        for (const auto& [value, bits] : rows)
            QTest::addRow("%g", double(value)) << value << bits;
        QTest::newRow("infinity") << std::numeric_limits<float>::infinity() << 0x3f800000u;
        QTest::newRow("NaN") << std::numeric_limits<float>::quiet_NaN() << 0x3f800000u;
    }

    void beautifulStepValue()
    {
        QFETCH(float, value);
        QFETCH(quint32, bits);
        const float step = QAGVZViewer().beautifulStepValue(value);
        quint32 stepBits;
        std::memcpy(&stepBits, &step, sizeof stepBits);
        QCOMPARE(QString::number(stepBits, 16), QString::number(bits, 16));
    }

    void automaticSpacing_data()
    {
        QTest::addColumn<bool>("time");
        QTest::addColumn<QList<float>>("range"); // min, max; empty when the engine found none
        QTest::addColumn<QList<float>>("steps"); // lines, units, dots; empty when none is set
        // The time rule reads only the maximum.
        const float timeRows[][2] = {{0, 1},  {1, 1},  {4, 1},   {5, 2},   {9, 3},    {10, 3},
                                     {19, 5}, {20, 5}, {49, 13}, {99, 25}, {100, 25}, {999, 250}};
        for (const auto& r : timeRows) {
            QTest::addRow("time, max %g", double(r[0]))
                << true << QList<float>{37, r[0]} << QList<float>{r[1], r[1], 0.25f * r[1]};
        }
        QTest::newRow("range 100") << false << QList<float>{-50, 50} << QList<float>{25, 25, 10};
        QTest::newRow("range 1") << false << QList<float>{2, 3} << QList<float>{0.3f, 0.3f, 0.1f};
        QTest::newRow("single value") << false << QList<float>{7, 7} << QList<float>{1, 1, 1};
        QTest::newRow("overflowing range")
            << false << QList<float>{-3e38f, 3e38f} << QList<float>{1, 1, 1};
        QTest::newRow("no range") << false << QList<float>{} << QList<float>{};
    }

    void automaticSpacing()
    {
        QFETCH(bool, time);
        QFETCH(QList<float>, range);
        QFETCH(QList<float>, steps);
        QAGVZViewer viewer;
        DAxis axis(time ? "x" : "y", QString(), time ? "time" : "Y", nullptr, nullptr);
        if (!range.isEmpty()) {
            axis.setProperty(DAxis::RangeMin, range[0]);
            axis.setProperty(DAxis::RangeMax, range[1]);
        }
        viewer.config->showLineX = viewer.config->showLineY = false; // ignored by automatic scale
        time ? viewer.configAxisX(&axis, true) : viewer.configAxisY(&axis);
        const DAxis::Property props[] = {DAxis::GridSpacing, DAxis::UnitSpacing, DAxis::DotSpacing};
        for (int k = 0; k < 3; ++k) {
            QCOMPARE(axis.hasProperty(props[k]), !steps.isEmpty());
            QCOMPARE(axis.property(props[k]), steps.value(k));
        }
        viewer.config->automaticScale = false;
        QVERIFY(!viewer.autoConfigAxis(&axis, time));
    }

    void manualSpacing_data()
    {
        QTest::addColumn<QString>("shown"); // per axis X, Y, Z: L lines, U units, D dots
        QTest::newRow("X dots only") << "D//";
        QTest::newRow("X all, Y lines") << "LUD/L/";
        QTest::newRow("Y lines and units, Z units") << "/LU/U";
        QTest::newRow("none") << "//";
    }

    void manualSpacing()
    {
        QFETCH(QString, shown);
        QAGVZViewer viewer;
        QAGVZConfig& c = *viewer.config;
        c.automaticScale = false;
        bool* show[9] = {&c.showLineX, &c.showUnitX, &c.showDotX,  &c.showLineY, &c.showUnitY,
                         &c.showDotY,  &c.showLineZ, &c.showUnitZ, &c.showDotZ};
        float* step[9] = {&c.stepLineX, &c.stepUnitX, &c.stepDotX,  &c.stepLineY, &c.stepUnitY,
                          &c.stepDotY,  &c.stepLineZ, &c.stepUnitZ, &c.stepDotZ};
        DAxis axes[3] = {{"x", QString(), "x", nullptr, nullptr},
                         {"y", QString(), "y", nullptr, nullptr},
                         {"z", QString(), "z", nullptr, nullptr}};
        for (int k = 0; k < 9; ++k) {
            *show[k] = shown.section('/', k / 3, k / 3).contains("LUD"[k % 3]);
            *step[k] = 10.0f + float(k); // distinct per axis and kind
        }
        viewer.configAxisX(&axes[0], true);
        viewer.configAxisY(&axes[1]);
        viewer.configAxisZ(&axes[2]);
        const DAxis::Property props[] = {DAxis::GridSpacing, DAxis::UnitSpacing, DAxis::DotSpacing};
        for (int k = 0; k < 9; ++k) {
            QCOMPARE(axes[k / 3].hasProperty(props[k % 3]), *show[k]);
            QCOMPARE(axes[k / 3].property(props[k % 3]), *show[k] ? *step[k] : 0.0f);
        }
    }

    // The list as data and the chart type, as a studio without a user sees them.
    void hostOperations()
    {
        ViewerPtr viewer = open({"a,b\t\t\xc3\xbc\n1\t-2.5\t7\n3\n"});
        const auto texts = [](const QAStViewerWindow::CurveInfo& c) {
            return QStringList{c.name, c.values, c.min, c.max}.join('|');
        };
        QStringList list;
        for (const QAStViewerWindow::CurveInfo& curve : viewer->curveList())
            list << texts(curve);
        QCOMPARE(list, (QStringList{"a,b|2|1|3", "|1|-2.5|-2.5", "\u00fc|1|7|7"}));
        QCOMPARE(viewer->unknownCurveNames({"", "x", "a", "x", "a,b"}), (QStringList{"x", "a"}));
        QVERIFY(viewer->setViewRange({0.5, 1}, QAStViewerWindow::Range{-3, 3}));
        QCOMPARE(viewer->graphic->graphic->view.rect, QRectF(0.5, -3, 0.5, 6));
        QVERIFY(!viewer->setViewRange({1, 1}, std::nullopt));
        QVERIFY(viewer->setChartType(QAStViewerWindow::XYZChart));
        QVERIFY(viewer->graphicType == QAGVZViewer::XYZGraphic && viewer->graphic->graphic->is3D());
        QVERIFY(!viewer->setViewRange({0, 1}, std::nullopt));
    }

    void configureRebuildsOnlyOnOk()
    {
        ViewerPtr viewer = open({"a\n1\n2\n"});
        QCOMPARE(viewer->config->parent(), hostWindow.get());
        viewer->activated();
        for (bool ok : {false, true}) {
            DGraphic* before = viewer->graphic->graphic;
            QTimer::singleShot(0, viewer->config, [config = viewer->config.data(), ok] {
                config->titleEdit->setText(QStringLiteral("Edited"));
                QMetaObject::invokeMethod(config, ok ? "accept" : "reject");
            });
            viewer->toolMenu->actions().at(4)->trigger(); // Configure ...
            QCOMPARE(viewer->graphic->graphic != before, ok);
            QCOMPARE(viewer->graphic->graphic->title, QString(ok ? "Edited" : "Graphic"));
        }
        // An accepted preference dialog repaints without a rebuild.
        DGraphic* before = viewer->graphic->graphic;
        gvzpref->prefDialogAccepted();
        QCOMPARE(viewer->graphic->graphic, before);
    }

    void toolMenuInHostMenuBar()
    {
        ViewerPtr viewer = open({abc});
        viewer->activated();
        QCOMPARE(studio.calls.filter("insertMenu"), QStringList{"insertMenu &Graphics"});
        QCOMPARE(studio.insertedMenus.value(viewer->toolMenuId), viewer->toolMenu);
        QVERIFY(viewer->menuBar()->actions().isEmpty());
        const QList<QAction*> entries = viewer->toolMenu->actions();
        entries[2]->trigger();
        QCOMPARE(viewer->graphicType, QAGVZViewer::XYZGraphic);
        QVERIFY(!entries[0]->isChecked() && !entries[1]->isChecked() && entries[2]->isChecked());

        // Activating an active window does nothing; deactivating takes the menu out and empties it.
        studio.calls.clear();
        viewer->activated();
        const int id = viewer->toolMenuId;
        viewer->desactivated();
        QCOMPARE(studio.calls, QStringList{QStringLiteral("removeMenu %1").arg(id)});
        QVERIFY(viewer->toolMenu->actions().isEmpty());
        viewer->activated();
        QVERIFY(viewer->toolMenu->actions().at(2)->isChecked());
    }

    void ownMenuBarKeepsOneCommandsMenu()
    {
        hostWindow.reset();
        ViewerPtr viewer = open({});
        for (int i = 0; i < 3; ++i) {
            viewer->activated();
            QCOMPARE(viewer->toolMenu->actions().size(), 9);
            viewer->desactivated();
        }
        viewer->activated();
        const QList<QAction*> bar = viewer->menuBar()->actions();
        QCOMPARE(bar.size(), 1);
        QVERIFY(bar.first()->text() == "&Commands" && bar.first()->menu() == viewer->toolMenu);
        QVERIFY(studio.calls.filter("insertMenu").isEmpty());
    }

    void closing_data()
    {
        QTest::addColumn<bool>("hostAlive");
        QTest::addColumn<bool>("activate");
        QTest::newRow("active with host") << true << true;
        QTest::newRow("inactive with host") << true << false;
        QTest::newRow("host main window destroyed") << false << true;
    }

    void closing()
    {
        QFETCH(bool, hostAlive);
        QFETCH(bool, activate);
        QPointer<QAGVZViewer> viewer(new QAGVZViewer);
        viewer->setAttribute(Qt::WA_DeleteOnClose);
        if (activate)
            viewer->activated();
        const QString remove = QStringLiteral("removeMenu %1").arg(viewer->toolMenuId);
        if (!hostAlive)
            hostWindow.reset(); // takes the configuration dialog with it
        studio.calls.clear();
        QVERIFY(viewer->close());
        QTRY_VERIFY(!viewer);
        // Only an active window whose host lives takes its menu out, once.
        QCOMPARE(studio.calls, hostAlive && activate ? QStringList{remove} : QStringList());
    }
};

QTEST_MAIN(TestViewer)
#include "tst_viewer.moc"
