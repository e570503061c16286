#include "viewer/qagvzicons.h"
#include "viewer/qagvzitem.h"
#include "viewer/qagvzviewer.h"

#include "tests/viewer/viewertestutil.h"
#include "config/qagvzconfig.h"
#include "data/qagvzvaluelist.h"
#include "graphic/qagvzgraphic.h"
#include "prefs/qagvzpref.h"
#include "host/chart/ditem.h"
#include "host/res/qares.h"
#include "host/studio/qalistview.h"

#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
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
    for (int i = 0; i < viewer.listView->topLevelItemCount(); ++i) {
        if (rowOf(viewer, i)->text(0) == name)
            return rowOf(viewer, i);
    }
    return nullptr;
}

QString nameOf(const QAGVZItem* row)
{
    return row ? row->text(0) : QStringLiteral("-");
}

// "name count flags" per row in list order, flags from T X Y Z; a row whose icon does not match
// its flags in the current chart type is marked "bad icon".
QStringList describeRows(const QAGVZViewer& viewer)
{
    QStringList rows;
    for (int i = 0; i < viewer.listView->topLevelItemCount(); ++i) {
        const QAGVZItem* r = rowOf(viewer, i);
        QString flags = QString(r->displayIfTime ? "T" : "") + (r->displayAsX ? "X" : "") +
                        (r->displayAsY ? "Y" : "") + (r->displayAsZ ? "Z" : "");
        rows << QStringLiteral("%1 %2 %3")
                    .arg(r->text(0), r->text(1), flags.isEmpty() ? "-" : flags);
        if (r->roleIcon() != QAGVZItem::roleIconFor(viewer.graphicType, r->displayIfTime,
                                                    r->displayAsX, r->displayAsY, r->displayAsZ))
            rows.last() += QStringLiteral(" bad icon");
    }
    return rows;
}

// The name of the first described row whose flags hold `flag`, "-" when none does.
QString rowWith(const QStringList& rows, QChar flag)
{
    for (const QString& row : rows) {
        if (row.section(QLatin1Char(' '), 2, 2).contains(flag))
            return row.section(QLatin1Char(' '), 0, 0);
    }
    return QStringLiteral("-");
}

QList<DItem*> childrenOf(const DItem* item)
{
    QList<DItem*> children;
    for (DItem* child = item->firstChild; child; child = child->next)
        children << child;
    return children;
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
    for (DItem* item : childrenOf(g)) {
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
        for (DItem* p : childrenOf(curve)) {
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

QAction* actionWithId(QMenu* menu, int id)
{
    for (QAction* action : menu->actions()) {
        if (!action->isSeparator() && action->data().toInt() == id)
            return action;
    }
    return nullptr;
}

// Chooses entry `id` of the next popup that opens, or closes it with Escape for -1.
void answerNextPopup(int id, bool* opened)
{
    *opened = false;
    QTimer::singleShot(50, qApp, [id, opened] {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        if (!menu)
            return;
        *opened = true;
        QAction* action = id < 0 ? nullptr : actionWithId(menu, id);
        if (action)
            menu->setActiveAction(action);
        QTest::keyClick(menu, action ? Qt::Key_Return : Qt::Key_Escape);
    });
}

// Runs "verb arg..." actions separated by ';' on the viewer, through the list as a user would
// where there is a user gesture; `beforeLast` gets the chart before the last action. Answers
// false when a row popup did not behave.
bool runScript(QAGVZViewer& viewer, const QString& script, DGraphic** beforeLast = nullptr)
{
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
        if (beforeLast)
            *beforeLast = viewer.graphic->graphic;
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
        } else if (verb == "itemy") {
            viewer.itemY = row;
        } else if (verb == "dbl") {
            QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, at);
        } else if (verb == "enter") {
            list->setCurrentItem(row);
            QTest::keyClick(list, Qt::Key_Return);
        } else if (verb == "menu") {
            bool opened = false;
            answerNextPopup(words.value(2).toInt(), &opened);
            QTest::mouseClick(list->viewport(), Qt::RightButton, {}, at);
            QTest::qWait(row ? 0 : 100);
            if (opened != (row != nullptr) || viewer.findChild<QMenu*>())
                return false;
        } else {
            return false;
        }
    }
    return true;
}

// "id text[ *]: status text" per entry of the tool menu, "-" for a separator.
QStringList toolEntries(QAGVZViewer& viewer, QMainWindow& host)
{
    QStringList texts;
    for (QAction* a : viewer.toolMenu->actions()) {
        if (a->isSeparator()) {
            texts << QStringLiteral("-");
            continue;
        }
        host.statusBar()->showMessage(QStringLiteral("before"));
        emit viewer.toolMenu->hovered(a);
        texts << QStringLiteral("%1 %2%3: %4")
                     .arg(a->data().toInt())
                     .arg(a->text(), a->isChecked() ? " *" : "",
                          host.statusBar()->currentMessage());
    }
    return texts;
}

} // namespace

class TestViewer : public QObject
{
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> dir;
    std::unique_ptr<QMainWindow> hostWindow;

    QString trace(const QString& name, const QByteArray& text)
    {
        const QString path = dir->filePath(name);
        if (!writeTrace(path, text))
            qFatal("cannot write %s", qPrintable(path));
        return path;
    }

    ViewerPtr open(QStringList paths)
    {
        ViewerPtr viewer(new QAGVZViewer);
        viewer->setFiles(&paths, nullptr, QAStViewerWindow::FileMode);
        return viewer;
    }

    void useHostWindow()
    {
        hostWindow = std::make_unique<QMainWindow>();
        studio.window = hostWindow.get();
    }

private slots:
    void initTestCase()
    {
        QAResGroup root(QStringLiteral("resources"));
        auto* group = new QAResGroup(QStringLiteral("gvz_viewer"));
        group->addChild(new QAResRGB(QStringLiteral("pane"), 10, 20, 30));
        root.addChild(new QAResString(QStringLiteral("other"), QStringLiteral("x")));
        root.addChild(group);
        QVERIFY(!gvzpref);
        QAGVZViewer::initialize(&root, &studio);
    }

    void init()
    {
        dir = std::make_unique<QTemporaryDir>();
        studio.window = nullptr;
        studio.calls.clear();
        studio.insertedMenus.clear();
    }

    void cleanup()
    {
        hostWindow.reset();
        dir.reset();
    }

    void initializeRunsOnce()
    {
        QAGVZPref* first = gvzpref;
        QVERIFY(first);
        QCOMPARE(first->general->pane, QColor(10, 20, 30));
        QCOMPARE(studio.producers, QList<QAResProducer*>{first});
        QCOMPARE(QAGVZConfig::studioInterface(), static_cast<StudioInterface*>(&studio));

        FakeStudio other;
        QAResGroup root(QStringLiteral("resources"));
        auto* group = new QAResGroup(QStringLiteral("gvz_viewer"));
        group->addChild(new QAResRGB(QStringLiteral("pane"), 1, 2, 3));
        root.addChild(group);
        QAGVZViewer::initialize(&root, &other);
        QCOMPARE(gvzpref, first);
        QCOMPARE(gvzpref->general->pane, QColor(10, 20, 30));
        QCOMPARE(QAGVZViewer::studioInterface(), static_cast<StudioInterface*>(&studio));
        QVERIFY(other.calls.isEmpty());
    }

    void merge_data()
    {
        QTest::addColumn<QList<QByteArray>>("contents"); // "<missing>": no such file
        QTest::addColumn<QString>("script");             // run before the second read
        QTest::addColumn<QByteArray>("after");           // written to the first file; null: none
        QTest::addColumn<bool>("setFiles");              // the second read, else reload
        QTest::addColumn<QStringList>("rows");           // itemX and itemY are the X and Y rows
        using Files = QList<QByteArray>;
        const auto once = [](const char* name, const Files& files, const QStringList& rows) {
            QTest::newRow(name) << files << QString() << QByteArray() << false << rows;
        };
        once("first three curves take the defaults", {"a\tb\tc\td\n1\t2\t3\t4\n"},
             {"a 1 TX", "b 1 Y", "c 1 Z", "d 1 -"});
        once("one curve", {"a\n1\n2\n"}, {"a 2 TX"});
        once("same name in two files keeps the later values",
             {"a\tb\n1\t2\n", "b\tc\n5\t6\n7\t8\n"}, {"a 1 TX", "b 2 YZ", "c 2 -"});
        once("same name twice in one file", {"a\ta\tb\n1\t2\t3\n"}, {"a 1 TXY", "b 1 Z"});
        once("names compared in full", {"温度\t压力\t温度2\n1\t2\t3\n"},
             {"温度 1 TX", "压力 1 Y", "温度2 1 Z"});
        once("unreadable file contributes nothing", {"<missing>", "p\tq\n1\t2\n"},
             {"p 1 TX", "q 1 Y"});
        once("only unreadable files", {"<missing>", "<missing>"}, {});
        once("empty file", {""}, {});
        once("no files", {}, {});
        once("header ending with a tab", {"a\tb\t\n1\t2\t\n"}, {"a 1 TX", "b 1 Y"});
        once("header only", {"a\tb\n"}, {"a 0 TX", "b 0 Y"});
        // d and a change data, b (the Y curve) goes, e comes: the second curve read becomes Y.
        QTest::newRow("reload keeps roles and styles")
            << Files{"a\tb\tc\td\n1\t2\t3\t4\n"} << "t a; t d; z c; z d"
            << QByteArray("d\ta\tc\te\n10\t20\t30\t40\n11\t21\t31\t41\n") << false
            << QStringList{"a 2 XY", "c 2 -", "d 2 TZ", "e 2 -"};
        QTest::newRow("reload without the X curve")
            << Files{abc} << "x c" << QByteArray("b\ta\n1\t2\n") << false
            << QStringList{"a 1 T", "b 1 XY"};
        QTest::newRow("setFiles again resets") << Files{abc} << "x c; z c; t a; z b" << abc << true
                                               << QStringList{"a 1 TX", "b 1 Y", "c 1 Z"};
    }

    void merge()
    {
        QFETCH(QList<QByteArray>, contents);
        QFETCH(QString, script);
        QFETCH(QByteArray, after);
        QFETCH(bool, setFiles);
        QFETCH(QStringList, rows);
        QStringList paths;
        for (int i = 0; i < contents.size(); ++i) {
            const QString name = QStringLiteral("f%1.gvz").arg(i);
            paths << (contents[i] == "<missing>" ? dir->filePath(name) : trace(name, contents[i]));
        }
        ViewerPtr viewer = open(paths);
        QMap<QString, DStyle*> styles;
        if (!after.isNull()) {
            QVERIFY(runScript(*viewer, script));
            for (int i = 0; i < viewer->listView->topLevelItemCount(); ++i)
                styles.insert(rowOf(*viewer, i)->text(0), rowOf(*viewer, i)->style);
            QVERIFY(writeTrace(paths.first(), after));
            if (setFiles)
                viewer->setFiles(&paths, nullptr, QAStViewerWindow::FileMode);
            else
                viewer->reload();
        }
        QCOMPARE(describeRows(*viewer), rows);
        QCOMPARE(nameOf(viewer->itemX), rowWith(rows, 'X'));
        QCOMPARE(nameOf(viewer->itemY), rowWith(rows, 'Y'));
        QCOMPARE(viewer->files, paths);
        // The number columns: count, then minimum and maximum with 6 significant digits.
        if (QAGVZItem* a = rowNamed(*viewer, "a")) {
            QCOMPARE(a->text(2),
                     a->values->min ? QString::number(a->values->min->value) : QString());
            QCOMPARE(a->text(3),
                     a->values->max ? QString::number(a->values->max->value) : QString());
        }
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

    void captionsCountWindows()
    {
        const int before = QAGVZViewer::viewerCount();
        auto caption = [before](int n) { return QStringLiteral("Graphic [%1]").arg(before + n); };
        ViewerPtr first(new QAGVZViewer);
        QPointer<QAGVZViewer> second(new QAGVZViewer);
        ViewerPtr third(new QAGVZViewer);
        QCOMPARE(first->windowTitle(), caption(1));
        QCOMPARE(second->windowTitle(), caption(2));
        QCOMPARE(third->windowTitle(), caption(3));
        second->setAttribute(Qt::WA_DeleteOnClose);
        QVERIFY(second->close());
        QTRY_VERIFY(!second);
        QCOMPARE(QAGVZViewer().windowTitle(), caption(4));
    }

    void numberColumnsSortByValue_data()
    {
        QTest::addColumn<int>("column");
        QTest::addColumn<QStringList>("order");
        // counts e 0, c9 9, c10 10, c100 100; minima 9, 10, 100; maxima c10 20, c9 30, c100 200.
        // Sorting the texts would put "10" before "9" and "200" before "30".
        QTest::newRow("values") << 1 << QStringList{"e", "c9", "c10", "c100"};
        QTest::newRow("min") << 2 << QStringList{"e", "c9", "c10", "c100"};
        QTest::newRow("max") << 3 << QStringList{"e", "c10", "c9", "c100"};
        QTest::newRow("name") << 0 << QStringList{"c10", "c100", "c9", "e"};
    }

    void numberColumnsSortByValue()
    {
        QFETCH(int, column);
        QFETCH(QStringList, order);
        QByteArray text = "c10\tc9\te\tc100\n";
        for (int i = 0; i < 100; ++i) {
            const QByteArray c10 = i < 10 ? QByteArray::number(i < 5 ? 10 : 20) : QByteArray();
            const QByteArray c9 = i < 9 ? QByteArray::number(i < 5 ? 9 : 30) : QByteArray();
            text += c10 + "\t" + c9 + "\t\t" + QByteArray::number(i < 50 ? 100 : 200) + "\n";
        }
        ViewerPtr viewer = open({trace("s.gvz", text)});
        viewer->listView->sortItems(column, Qt::AscendingOrder);
        QStringList names;
        for (int i = 0; i < viewer->listView->topLevelItemCount(); ++i)
            names << rowOf(*viewer, i)->text(0);
        QCOMPARE(names, order);
    }

    void roles_data()
    {
        QTest::addColumn<QString>("script");
        QTest::addColumn<QStringList>("rows"); // the file holds a, b, c: a TX, b Y, c Z at first
        QTest::addColumn<QString>("y");
        QTest::addColumn<bool>("rebuilds"); // by the last action
        using Rows = QStringList;
        const Rows start{"a 1 TX", "b 1 Y", "c 1 Z"};
        QTest::newRow("X on the X curve") << "x a" << start << "b" << false;
        QTest::newRow("X moves") << "x c" << Rows{"a 1 T", "b 1 Y", "c 1 XZ"} << "b" << true;
        QTest::newRow("xyz: Y moves")
            << "type 2; y c" << Rows{"a 1 TX", "b 1 -", "c 1 YZ"} << "c" << true;
        QTest::newRow("xyz: Y again stays") << "type 2; y b" << start << "b" << true;
        QTest::newRow("xy: Y toggles on, itemY follows")
            << "type 1; y c; y a" << Rows{"a 1 TXY", "b 1 Y", "c 1 YZ"} << "a" << true;
        QTest::newRow("xy: Y toggles off")
            << "type 1; y b" << Rows{"a 1 TX", "b 1 -", "c 1 Z"} << "b" << true;
        QTest::newRow("xy: no itemY stays none")
            << "itemy -; type 1; y c" << Rows{"a 1 TX", "b 1 Y", "c 1 YZ"} << "-" << true;
        QTest::newRow("Z toggles") << "z a" << Rows{"a 1 TXZ", "b 1 Y", "c 1 Z"} << "b" << true;
        QTest::newRow("time: double click")
            << "dbl c" << Rows{"a 1 TX", "b 1 Y", "c 1 TZ"} << "b" << true;
        QTest::newRow("xy: double click toggles Y")
            << "type 1; dbl c" << Rows{"a 1 TX", "b 1 Y", "c 1 YZ"} << "b" << true;
        QTest::newRow("xy: double click sets missing itemY")
            << "itemy -; type 1; dbl c" << Rows{"a 1 TX", "b 1 Y", "c 1 YZ"} << "c" << true;
        QTest::newRow("xyz: double click toggles Z, never Y")
            << "type 2; dbl b" << Rows{"a 1 TX", "b 1 YZ", "c 1 Z"} << "b" << true;
        QTest::newRow("Enter acts as double click")
            << "enter b" << Rows{"a 1 TX", "b 1 TY", "c 1 Z"} << "b" << true;
        QTest::newRow("xyz clears other Y, xy keeps them cleared")
            << "type 1; y c; y a; itemy b; type 2; type 1" << start << "b" << true;
        QTest::newRow("same type rebuilds") << "type 0" << start << "b" << true;
        QTest::newRow("menu: display curve")
            << "menu c 0" << Rows{"a 1 TX", "b 1 Y", "c 1 TZ"} << "b" << true;
        QTest::newRow("menu: display as X")
            << "type 1; menu c 1" << Rows{"a 1 T", "b 1 Y", "c 1 XZ"} << "b" << true;
        QTest::newRow("menu: display as Y")
            << "type 1; menu c 2" << Rows{"a 1 TX", "b 1 Y", "c 1 YZ"} << "c" << true;
        QTest::newRow("menu: display as Z")
            << "type 2; menu c 3" << Rows{"a 1 TX", "b 1 Y", "c 1 -"} << "b" << true;
        QTest::newRow("menu closed without choice") << "type 2; menu c -1" << start << "b" << false;
        QTest::newRow("right click outside rows") << "menu - 0" << start << "b" << false;
    }

    void roles()
    {
        QFETCH(QString, script);
        QFETCH(QStringList, rows);
        QFETCH(QString, y);
        QFETCH(bool, rebuilds);
        ViewerPtr viewer = open({trace("t.gvz", abc)});
        DGraphic* beforeLast = nullptr;
        QVERIFY(runScript(*viewer, script, &beforeLast));
        QCOMPARE(describeRows(*viewer), rows);
        QCOMPARE(nameOf(viewer->itemX), rowWith(rows, 'X'));
        QCOMPARE(nameOf(viewer->itemY), y);
        QCOMPARE(viewer->graphic->graphic != beforeLast, rebuilds);
    }

    void rowMenuStates_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<QList<bool>>("enabled");
        QTest::newRow("time") << 0 << QList<bool>{true, false, false, false};
        QTest::newRow("xy") << 1 << QList<bool>{false, true, true, false};
        QTest::newRow("xyz") << 2 << QList<bool>{false, true, true, true};
    }

    void rowMenuStates()
    {
        QFETCH(int, type);
        QFETCH(QList<bool>, enabled);
        ViewerPtr viewer = open({trace("t.gvz", abc)});
        viewer->setGraphicType(QAGVZViewer::GraphicType(type));
        QAGVZItem* a = rowNamed(*viewer, "a");
        a->setDisplayAsZ(true); // a is T, X and Z
        std::unique_ptr<QMenu> menu(viewer->createItemMenu(a));
        const QStringList texts{"Display Curve", "Display as X", "Display as Y", "Display as Z"};
        QCOMPARE(menu->actions().size(), 4);
        for (int id = 0; id < 4; ++id) {
            const QAction* action = menu->actions().at(id);
            QCOMPARE(action->data().toInt(), id);
            QCOMPARE(action->text(), texts[id]);
            QCOMPARE(action->isEnabled(), enabled[id]);
            QCOMPARE(action->isChecked(), id != 2);
        }
    }

    void roleImages_data()
    {
        QTest::addColumn<QImage>("image");
        QTest::addColumn<QStringList>("colours"); // opaque colours, by first column from the left
        QTest::addColumn<bool>("transparent");
        const QString g = "#28ba00", b = "#00b6ff", r = "#ea0000";
        const QStringList roleColours[] = {{},     {b},    {g},    {b},      {r},
                                           {g, b}, {b, r}, {g, r}, {g, b, r}};
        for (int i = 0; i < QAGVZItem::RoleIconCount; ++i) {
            const auto icon = QAGVZItem::RoleIcon(i);
            QTest::newRow(QAGVZItem::rolePixmapName(icon))
                << QAGVZItem::rolePixmap(icon).toImage() << roleColours[i] << true;
        }
        QTest::newRow("window icon")
            << QAGVZViewer().windowIcon().pixmap(16, 16).toImage()
            << QStringList{"#ffffff", "#969696", "#009902", "#e20000", "#0029ce"} << false;
        QTest::newRow("reload icon")
            << QPixmap(reload_xpm).toImage()
            << QStringList{"#000000", "#00c8c8", "#009696", "#00ffff", "#006464"} << true;
    }

    void roleImages()
    {
        QFETCH(QImage, image);
        QFETCH(QStringList, colours);
        QFETCH(bool, transparent);
        image = image.convertToFormat(QImage::Format_ARGB32);
        QCOMPARE(image.size(), QSize(16, 16));
        QStringList seen;
        bool anyTransparent = false;
        for (int x = 0; x < 16; ++x) {
            for (int y = 0; y < 16; ++y) {
                const QColor pixel = image.pixelColor(x, y);
                anyTransparent = anyTransparent || pixel.alpha() == 0;
                if (pixel.alpha() == 255 && !seen.contains(pixel.name()))
                    seen << pixel.name();
            }
        }
        QCOMPARE(seen, colours);
        QCOMPARE(anyTransparent, transparent);
    }

    void charts_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("script");
        QTest::addColumn<QString>("chart");
        const QByteArray three = "a\tb\tc\n5\t7\t1\n6\t\t2\n-4\t\t3\n"; // b holds one sample
        QTest::newRow("time: drawn rows over their positions")
            << three << "t b; type 0"
            << "0 Graphic | x:time | y:Y | a=0,5 1,6 2,-4 | b=0,7";
        QTest::newRow("time: a curve without samples keeps its place")
            << QByteArray("a\tb\n") << ""
            << "0 Graphic | x:time | y:Y | a=";
        QTest::newRow("time: nothing chosen") << three << "t a; type 0"
                                              << "none";
        QTest::newRow("xy: each curve as long as the shorter chain")
            << QByteArray("x\tlong\tshort\n1\t10\t100\n2\t20\t200\n3\t30\n\t40\n")
            << "type 1; y short"
            << "0 Graphic | x:x | y:Y | long=1,10 2,20 3,30 | short=1,100 2,200";
        QTest::newRow("xy: the X row drawn as Y too")
            << three << "type 1; y a"
            << "0 Graphic | x:a | y:Y | a=5,5 6,6 -4,-4 | b=5,7";
        QTest::newRow("xy: no Y curve") << three << "type 1; y b"
                                        << "none";
        QTest::newRow("xy: Y curve without samples") << QByteArray("x\ty\n") << "type 1"
                                                     << "none";
        QTest::newRow("xyz: three chains")
            << QByteArray("x\ty\tz\n1\t2\t3\n4\t5\t6\n7\t8\n") << "type 2"
            << "7 Graphic | x:x | y:y | z:Z | z=1,2,3 4,5,6";
        QTest::newRow("xyz: no itemY") << QByteArray("x\n1\n") << "z x; type 2"
                                       << "none";
        QTest::newRow("empty list: time") << QByteArray() << ""
                                          << "none";
        QTest::newRow("empty list: xy") << QByteArray() << "type 1"
                                        << "none";
        QTest::newRow("empty list: xyz") << QByteArray() << "type 2"
                                         << "none";
    }

    void charts()
    {
        QFETCH(QByteArray, file);
        QFETCH(QString, script);
        QFETCH(QString, chart);
        ViewerPtr viewer = open({trace("t.gvz", file)});
        QVERIFY(runScript(*viewer, script));
        QCOMPARE(describeChart(*viewer), chart);
        if (!viewer->graphic->graphic)
            return;
        // The builder had the ranges computed and set the spacings of every axis with points.
        const bool points = !chart.endsWith(QLatin1Char('='));
        for (DItem* item : childrenOf(viewer->graphic->graphic)) {
            if (DAxis* axis = item->toAxis())
                QCOMPARE(axis->hasProperty(DAxis::DotSpacing), points);
        }
    }

    void beautifulStepValue_data()
    {
        QTest::addColumn<float>("value");
        QTest::addColumn<quint32>("bits");
        const struct
        {
            float value;
            quint32 bits;
        } rows[] = {{0.0f, 0x3f800000},      {0.037f, 0x3d23d70b},  {0.0049f, 0x3ba3d70b},
                    {0.001234f, 0x3a83126f}, {0.09f, 0x3db851ec},   {0.1f, 0x3dcccccd},
                    {0.25f, 0x3e99999a},     {0.95f, 0x3f800000},   {1.0f, 0x3f800000},
                    {1.2f, 0x3f800000},      {1.3f, 0x3fc00000},    {2.75f, 0x40400000},
                    {4.75f, 0x40a00000},     {5.5f, 0x40c00000},    {7.4f, 0x40e00000},
                    {12.0f, 0x41200000},     {12.5f, 0x41700000},   {23.0f, 0x41c80000},
                    {47.5f, 0x42480000},     {73.0f, 0x428c0000},   {75.0f, 0x42a00000},
                    {95.0f, 0x42c80000},     {100.5f, 0x42c80000},  {137.0f, 0x430c0000},
                    {730.0f, 0x44368000},    {1234.0f, 0x44960000}, {1e6f, 0x49742400},
                    {3e38f, 0x7f61b1e7},     {-12.0f, 0x41200000},  {-0.0f, 0x3f800000}};
        for (const auto& row : rows)
            QTest::addRow("%g", double(row.value)) << row.value << row.bits;
        QTest::newRow("infinity") << std::numeric_limits<float>::infinity() << 0x3f800000u;
        QTest::newRow("-infinity") << -std::numeric_limits<float>::infinity() << 0x3f800000u;
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
        if (time)
            viewer.configAxisX(&axis, true);
        else
            viewer.configAxisY(&axis);
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
        QTest::addColumn<int>("axis");
        QTest::addColumn<QString>("shown"); // L lines, U units, D dots
        QTest::newRow("X dots only") << 0 << "D";
        QTest::newRow("X all") << 0 << "LUD";
        QTest::newRow("Y lines and units") << 1 << "LU";
        QTest::newRow("Z units") << 2 << "U";
        QTest::newRow("none") << 2 << "";
    }

    void manualSpacing()
    {
        QFETCH(int, axis);
        QFETCH(QString, shown);
        QAGVZViewer viewer;
        QAGVZConfig& c = *viewer.config;
        c.automaticScale = false;
        bool* show[3][3] = {{&c.showLineX, &c.showUnitX, &c.showDotX},
                            {&c.showLineY, &c.showUnitY, &c.showDotY},
                            {&c.showLineZ, &c.showUnitZ, &c.showDotZ}};
        float* step[3][3] = {{&c.stepLineX, &c.stepUnitX, &c.stepDotX},
                             {&c.stepLineY, &c.stepUnitY, &c.stepDotY},
                             {&c.stepLineZ, &c.stepUnitZ, &c.stepDotZ}};
        DAxis axes[3] = {{"x", QString(), "x", nullptr, nullptr},
                         {"y", QString(), "y", nullptr, nullptr},
                         {"z", QString(), "z", nullptr, nullptr}};
        for (int a = 0; a < 3; ++a) {
            axes[a].setProperty(DAxis::RangeMax, 100.0f);
            for (int k = 0; k < 3; ++k) {
                *show[a][k] = a == axis && shown.contains("LUD"[k]);
                *step[a][k] = 10.0f * float(a + 1) + float(k); // distinct per axis and kind
            }
        }
        viewer.configAxisX(&axes[0], true);
        viewer.configAxisY(&axes[1]);
        viewer.configAxisZ(&axes[2]);
        const DAxis::Property props[3] = {DAxis::GridSpacing, DAxis::UnitSpacing,
                                          DAxis::DotSpacing};
        for (int a = 0; a < 3; ++a) {
            for (int k = 0; k < 3; ++k) {
                const bool set = a == axis && shown.contains("LUD"[k]);
                QCOMPARE(axes[a].hasProperty(props[k]), set);
                QCOMPARE(axes[a].property(props[k]), set ? *step[a][k] : 0.0f);
            }
        }
    }

    void configureRebuildsOnlyOnOk_data()
    {
        QTest::addColumn<bool>("ok");
        QTest::newRow("OK") << true;
        QTest::newRow("Cancel") << false;
    }

    void configureRebuildsOnlyOnOk()
    {
        QFETCH(bool, ok);
        useHostWindow();
        ViewerPtr viewer = open({trace("t.gvz", "a\n1\n2\n")});
        QCOMPARE(viewer->config->parent(), hostWindow.get());
        viewer->activated();
        DGraphic* before = viewer->graphic->graphic;
        QTimer::singleShot(0, viewer->config, [config = viewer->config.data(), ok] {
            config->titleEdit->setText(QStringLiteral("Edited"));
            QMetaObject::invokeMethod(config, ok ? "accept" : "reject");
        });
        actionWithId(viewer->toolMenu, QAGVZViewer::IdConfigure)->trigger();
        QCOMPARE(viewer->graphic->graphic != before, ok);
        QCOMPARE(viewer->graphic->graphic->title, QString(ok ? "Edited" : "Graphic"));
        // An accepted preference dialog repaints without a rebuild.
        before = viewer->graphic->graphic;
        gvzpref->prefDialogAccepted();
        QCOMPARE(viewer->graphic->graphic, before);
    }

    void toolMenuInHostMenuBar()
    {
        useHostWindow();
        ViewerPtr viewer = open({trace("t.gvz", "a\tb\n1\t2\n")});
        QVERIFY(!viewer->toolMenu);
        viewer->activated();
        QVERIFY(viewer->active && viewer->viewerActive);
        QCOMPARE(studio.calls.filter("insertMenu"), QStringList{"insertMenu &Graphics"});
        QCOMPARE(studio.insertedMenus.last(), viewer->toolMenu);
        QCOMPARE(viewer->toolMenuId, int(studio.insertedMenus.size()) - 1);
        QVERIFY(viewer->menuBar()->actions().isEmpty());
        // Hovering an entry shows its status text; Configure clears the status bar.
        QCOMPARE(
            toolEntries(*viewer, *hostWindow),
            (QStringList{"100 Display Curves *: Display multiple curve",
                         "101 Display XY Curve: Display XY curve",
                         "102 Display XYZ Curve: Display XYZ curve", "-",
                         "103 Configure ...: ", "-", "104 Reload: Reload dynamic trace file", "-",
                         "105 Generate HTML: Generate the viewer's content in a HTML file"}));
        QVERIFY(!actionWithId(viewer->toolMenu, QAGVZViewer::IdReload)->icon().isNull());
        QCOMPARE(actionWithId(viewer->toolMenu, QAGVZViewer::IdGenerateHtml)->shortcut(),
                 QKeySequence(Qt::Key_unknown));

        actionWithId(viewer->toolMenu, QAGVZViewer::IdDisplayXYZ)->trigger();
        QCOMPARE(viewer->graphicType, QAGVZViewer::XYZGraphic);
        QCOMPARE(toolEntries(*viewer, *hostWindow).mid(0, 3),
                 (QStringList{"100 Display Curves: Display multiple curve",
                              "101 Display XY Curve: Display XY curve",
                              "102 Display XYZ Curve *: Display XYZ curve"}));
        viewer->setGraphicType(QAGVZViewer::XYGraphic);

        // Activating an active window does nothing; deactivating takes the menu out and empties it.
        studio.calls.clear();
        viewer->activated();
        QVERIFY(studio.calls.isEmpty());
        const int id = viewer->toolMenuId;
        viewer->desactivated();
        QCOMPARE(studio.calls, QStringList{QStringLiteral("removeMenu %1").arg(id)});
        QVERIFY(viewer->toolMenu->actions().isEmpty());
        QVERIFY(!viewer->active && !viewer->viewerActive);
        viewer->activated();
        QCOMPARE(viewer->toolMenu->actions().at(1)->isChecked(), true);

        // Without a host main window hovering shows nothing anywhere.
        hostWindow.reset();
        for (QAction* a : viewer->toolMenu->actions())
            emit viewer->toolMenu->hovered(a);
        QVERIFY(!viewer->findChild<QStatusBar*>());
    }

    void ownMenuBarKeepsOneCommandsMenu()
    {
        ViewerPtr viewer = open({});
        for (int i = 0; i < 3; ++i) {
            viewer->activated();
            QCOMPARE(viewer->toolMenu->actions().size(), 9);
            viewer->desactivated();
            QVERIFY(viewer->toolMenu->actions().isEmpty());
        }
        viewer->activated();
        const QList<QAction*> bar = viewer->menuBar()->actions();
        QCOMPARE(bar.size(), 1);
        QCOMPARE(bar.first()->text(), QStringLiteral("&Commands"));
        QCOMPARE(bar.first()->menu(), viewer->toolMenu);
        QVERIFY(studio.calls.filter("insertMenu").isEmpty());
    }

    void closing_data()
    {
        QTest::addColumn<bool>("hostAlive");
        QTest::addColumn<bool>("activate");
        QTest::addColumn<bool>("removes");
        QTest::newRow("active with host") << true << true << true;
        QTest::newRow("inactive with host") << true << false << false;
        QTest::newRow("host main window destroyed") << false << true << false;
    }

    void closing()
    {
        QFETCH(bool, hostAlive);
        QFETCH(bool, activate);
        QFETCH(bool, removes);
        useHostWindow();
        QPointer<QAGVZViewer> viewer(new QAGVZViewer);
        viewer->setAttribute(Qt::WA_DeleteOnClose);
        if (activate)
            viewer->activated();
        const QStringList expected{QStringLiteral("removeMenu %1").arg(viewer->toolMenuId)};
        if (!hostAlive)
            hostWindow.reset(); // takes the configuration dialog with it
        QCOMPARE(viewer->mainWindowDestroyed, !hostAlive);
        studio.calls.clear();
        QVERIFY(viewer->close());
        QCOMPARE(studio.calls, removes ? expected : QStringList());
        QTRY_VERIFY(!viewer);
        QCOMPARE(studio.calls, removes ? expected : QStringList()); // the destructor makes no call
    }
};

QTEST_MAIN(TestViewer)
#include "tst_viewer.moc"
