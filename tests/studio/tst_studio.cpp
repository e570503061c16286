#include "host/studio/getpix.h"
#include "host/studio/qacolorbutton.h"
#include "host/studio/qascrollpaneview.h"
#include "tests/studio/testviewerplugin.h"
#include "tests/testfiles.h"

#include <QApplication>
#include <QColorDialog>
#include <QDialog>
#include <QFile>
#include <QMenu>
#include <QPainter>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

namespace {

// A pane that remembers the mark it drew last.
class CountingPane : public QAScrollPane
{
public:
    using QAScrollPane::QAScrollPane;
    QRect paintedMark;

protected:
    void paintPane(QPainter& p, bool show) override
    {
        paintedMark = markedRect();
        QAScrollPane::paintPane(p, show);
    }
};

// A view that remembers what it was asked to paint and makes CountingPanes.
class TestView : public QAScrollPaneView
{
public:
    using QAScrollPaneView::QAScrollPaneView;
    QRect lastPaint;
    QTransform lastTransform;
    int panesMade = 0;

protected:
    void drawContents(QPainter* p, int cx, int cy, int cw, int ch) override
    {
        lastPaint = QRect(cx, cy, cw, ch);
        lastTransform = p->transform();
        QAScrollPaneView::drawContents(p, cx, cy, cw, ch);
    }
    QAScrollPane* newScrollPane(QAScrollPane::Mode mode, QWidget* parent, const char* name) override
    {
        ++panesMade;
        return new CountingPane(mode, parent, name);
    }
};

const char* const tinyXpm[] = {"2 2 2 1", "a c #ff0000", "b c #0000ff", "ab", "ba"};
const char* const otherXpm[] = {"1 1 1 1", "a c #00ff00", "a"};

} // namespace

class TestStudio : public QObject
{
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> dir;
    QString path;
    std::unique_ptr<TestViewerWindow> window;

private slots:
    void init()
    {
        dir = std::make_unique<QTemporaryDir>();
        path = dir->filePath(QStringLiteral("trace.txt"));
        writeFile(path, "a\tb\n", true);
        window = std::make_unique<TestViewerWindow>(nullptr, QStringLiteral("w"));
        window->setFile(path);
    }

    void scrollViewScrollsAndPaintsInContents()
    {
        TestView view;
        view.resize(300, 200);
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        view.resizeContents(1000, 800);
        view.setContentsPos(100, 50);
        view.scrollBy(30, -20);
        QCOMPARE(QPoint(view.contentsX(), view.contentsY()), QPoint(130, 30));
        QCOMPARE(view.viewportToContents(QPoint(5, 6)), QPoint(135, 36));
        QCOMPARE(view.contentsToViewport(QPoint(135, 36)), QPoint(5, 6));
        const QSize visible(view.visibleWidth(), view.visibleHeight());
        view.repaintContents(130, 30, visible.width(), visible.height());
        QCOMPARE(view.lastPaint, QRect(QPoint(130, 30), visible));
        QCOMPARE(view.lastTransform.map(QPoint(130, 30)), QPoint(0, 0));

        view.setContentsPos(5000, 5000);
        QCOMPARE(QPoint(view.contentsX(), view.contentsY()),
                 QPoint(1000 - visible.width(), 800 - visible.height()));
        view.setContentsPos(600, 500);
        view.resizeContents(400, 300); // shrinking pulls the position back inside
        QCOMPARE(QPoint(view.contentsX(), view.contentsY()),
                 QPoint(400 - visible.width(), 300 - visible.height()));
        view.resizeContents(50, 40);
        view.repaintContents(0, 0, 300, 300); // clipped to the contents
        QCOMPARE(view.lastPaint, QRect(0, 0, 50, 40));
        QCOMPARE(view.horizontalScrollBar()->maximum() + view.verticalScrollBar()->maximum(), 0);
    }

    void paneMapping_data()
    {
        QTest::addColumn<QSize>("logical");
        QTest::addColumn<QPoint>("point");
        QTest::addColumn<QPoint>("pixel");
        // Pane 202 x 102 with a 1-pixel frame: contents rectangle (1, 1, 200, 100).
        QTest::newRow("origin") << QSize(1000, 500) << QPoint(0, 0) << QPoint(1, 1);
        QTest::newRow("far corner") << QSize(1000, 500) << QPoint(1000, 500) << QPoint(201, 101);
        QTest::newRow("each axis its own scale")
            << QSize(400, 1000) << QPoint(100, 100) << QPoint(51, 11);
        QTest::newRow("no logical size") << QSize(0, 0) << QPoint(300, 300) << QPoint(1, 1);
    }

    void paneMapping()
    {
        QFETCH(QSize, logical);
        QFETCH(QPoint, point);
        QFETCH(QPoint, pixel);
        QAScrollPane pane(QAScrollPane::ShowAlways);
        pane.resize(202, 102);
        pane.setLogicalSize(logical.width(), logical.height());
        QCOMPARE(QPoint(pane.logicalToPixelX(point.x()), pane.logicalToPixelY(point.y())), pixel);
        if (!logical.isEmpty())
            QCOMPARE(QPoint(pane.pixelToLogicalX(pixel.x()), pane.pixelToLogicalY(pixel.y())),
                     point);
    }

    void paneMarkFollowsVisibleArea()
    {
        TestView view;
        view.resize(400, 300);
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        view.resizeContents(100, 100); // only contents that scroll get a pane
        QVERIFY(!view.scrollPane());
        view.resizeContents(2000, 1500);
        auto* pane = dynamic_cast<CountingPane*>(view.scrollPane());
        QVERIFY(pane && pane->isVisible());
        const auto visible = [&] { return QSize(view.visibleWidth(), view.visibleHeight()); };
        QCOMPARE(pane->markedRect(), QRect(QPoint(0, 0), visible()));
        view.setContentsPos(300, 200);
        QCOMPARE(pane->markedRect(), QRect(QPoint(300, 200), visible()));
        // The pane repaints, drawing the mark where it is now.
        QTRY_COMPARE(pane->paintedMark, QRect(QPoint(300, 200), visible()));
        // Keeps the contents' aspect (4:3 here) and sits in the viewport's bottom-right corner.
        const QRect r = pane->contentsRect();
        QVERIFY(qAbs(r.width() * 3 - r.height() * 4) <= 4);
        QVERIFY(view.viewport()->geometry().contains(pane->geometry()));
        // A click in the pane makes the clicked point the centre of the view.
        QTest::mouseClick(pane, Qt::LeftButton, {}, r.center());
        QCOMPARE(
            QPoint(view.contentsX(), view.contentsY())
                + QPoint(visible().width() / 2, visible().height() / 2),
            QPoint(pane->pixelToLogicalX(r.center().x()), pane->pixelToLogicalY(r.center().y())));

        view.resizeContents(100, 100);
        QVERIFY(!pane->isVisible());
        view.setScrollPaneMode(QAScrollPane::ShowAlways);
        QVERIFY(pane->isVisible());
        QCOMPARE(view.panesMade, 1);
    }

    // A refresh count that stays `n` for one reload delay: nothing more arrives. No event tells
    // that a debounced reload will not come, so this is the one settle wait of each test; it ends
    // at once when an extra reload shows.
    bool staysAt(int n)
    {
        return !QTest::qWaitFor([&] { return window->refreshCount != n; },
                                window->autoReloadDelay() + 50);
    }

    void autoReloadOncePerBurst()
    {
        window->setAutoReloadDelay(500); // far longer than the gaps inside a burst
        window->setAutoReload(true);
        for (int burst = 1; burst <= 2; ++burst) {
            for (int i = 0; i < 5; ++i) {
                writeFile(path, "1\t2\n", true);
                QTest::qWait(20);
            }
            QTRY_COMPARE(window->refreshCount, burst); // a late extra one shows in the next burst
        }
        QVERIFY(staysAt(2));
    }

    void autoReloadFollowsReplacedFile()
    {
        window->setAutoReloadDelay(300);
        window->setAutoReload(true);
        // Written beside and renamed over, as editors and loggers do.
        const QString temp = dir->filePath(QStringLiteral("trace.tmp"));
        writeFile(temp, "a\n1\n", true);
        QVERIFY(QFile::remove(path) && QFile::rename(temp, path));
        QTRY_COMPARE(window->refreshCount, 1);
        writeFile(path, "2\n", true); // the new file is watched in its turn
        QTRY_COMPARE(window->refreshCount, 2);
        QVERIFY(staysAt(2)); // the replacement gave one reload, not one per event
    }

    // After a reload that took T, the next starts no sooner than max(delay, 3 T) after its end.
    void autoReloadPacesItself_data()
    {
        QTest::addColumn<int>("cost");
        QTest::newRow("fast reloads keep the delay") << 0;
        QTest::newRow("slow reloads wait three times their cost") << 120;
    }
    void autoReloadPacesItself()
    {
        QFETCH(int, cost);
        window->refreshCost = cost;
        window->setAutoReloadDelay(60);
        window->setAutoReload(true);
        writeFile(path, "1\t2\n", true);
        QTRY_COMPARE(window->refreshCount, 1);
        writeFile(path, "3\t4\n", true); // at once: the pacing, not the debounce, decides
        QTRY_COMPARE(window->refreshCount, 2);
        QVERIFY(window->lastAutoReloadCost() >= cost);
        const qint64 gap = window->refreshTimes[1].first - window->refreshTimes[0].second;
        QVERIFY2(gap >= qMax(60, 3 * cost), qPrintable(QString::number(gap)));
    }

    // A due reload waits while a popup or modal dialog of the window is open, and comes when it
    // closes; one of another window does not hold it.
    void autoReloadWaitsForPopup_data()
    {
        QTest::addColumn<bool>("dialog");
        QTest::addColumn<bool>("ours");
        QTest::newRow("popup menu") << false << true;
        QTest::newRow("modal dialog") << true << true;
        QTest::newRow("another window's menu") << false << false;
    }
    void autoReloadWaitsForPopup()
    {
        QFETCH(bool, dialog);
        QFETCH(bool, ours);
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
        QWidget other;
        QWidget* parent = ours ? static_cast<QWidget*>(window.get()) : &other;
        std::unique_ptr<QWidget> open;
        if (dialog) {
            auto* box = new QDialog(parent);
            box->setModal(true);
            open.reset(box);
        } else {
            auto* menu = new QMenu(parent);
            menu->addAction(QStringLiteral("row"));
            open.reset(menu);
        }
        open->show();
        QTRY_VERIFY(QApplication::activePopupWidget() == open.get()
                    || QApplication::activeModalWidget() == open.get());
        window->setAutoReloadDelay(50);
        window->setAutoReload(true);
        writeFile(path, "1\t2\n", true);
        if (!ours) {
            QTRY_COMPARE(window->refreshCount, 1);
            return;
        }
        QVERIFY(staysAt(0));
        writeFile(path, "3\t4\n", true); // further changes do not slip past it either
        QVERIFY(staysAt(0));
        open->close();
        QTRY_COMPARE(window->refreshCount, 1);
        QVERIFY(staysAt(1));
    }

    void autoReloadOffStopsWatching()
    {
        window->setAutoReloadDelay(50);
        window->setAutoReload(true);
        window->setAutoReload(false);
        writeFile(path, "1\n", true);
        // A new file set is followed, the old one no longer.
        const QString other = dir->filePath(QStringLiteral("other.txt"));
        writeFile(other, "b\n", true);
        window->setAutoReload(true);
        window->setFile(other);
        writeFile(path, "2\n", true);
        QVERIFY(staysAt(0));
        writeFile(other, "3\n", true);
        QTRY_COMPARE(window->refreshCount, 1);
    }

    void colorButtonDialogPicks()
    {
        QAColorButton button;
        button.setColor(Qt::white);
        button.show();
        QSignalSpy changed(&button, &QAColorButton::colorChanged);
        button.setColor(QColor(), true); // no colour is refused unless allowed
        button.setColor(Qt::red);        // and a quiet change says nothing
        QVERIFY(button.color() == Qt::red && changed.isEmpty());
        QTimer::singleShot(0, this, [] {
            auto* dialog = qobject_cast<QColorDialog*>(QApplication::activeModalWidget());
            QVERIFY(dialog);
            dialog->setCurrentColor(QColor(1, 2, 3));
            dialog->accept();
        });
        QTest::mouseClick(&button, Qt::LeftButton);
        QCOMPARE(button.color(), QColor(1, 2, 3));
        // With "no colour" allowed the button first offers it.
        button.setNoColorAllowed(true);
        QTimer::singleShot(0, this, [] {
            auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
            QVERIFY(menu);
            menu->setActiveAction(menu->actions().first());
            QTest::keyClick(menu, Qt::Key_Return);
        });
        QTest::mouseClick(&button, Qt::LeftButton);
        QVERIFY(!button.color().isValid());
        QCOMPARE(changed.count(), 2);
    }

    void getpixCachesByName()
    {
        const QPixmap first = GETPIX("tiny_xpm", tinyXpm);
        QCOMPARE(first.size(), QSize(2, 2));
        QCOMPARE(first.toImage().pixelColor(0, 0), QColor(Qt::red));
        // The name decides: other data under a cached name answers the cached pixmap.
        QCOMPARE(GETPIX("tiny_xpm", otherXpm).cacheKey(), first.cacheKey());
        QCOMPARE(GETPIX("other_xpm", otherXpm).size(), QSize(1, 1));
        QVERIFY(GETPIX(nullptr, tinyXpm).isNull() && GETPIX("none_xpm", nullptr).isNull());
    }
};

QTEST_MAIN(TestStudio)
#include "tst_studio.moc"
