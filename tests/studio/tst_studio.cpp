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

// A view that remembers what it was asked to paint.
class TestView : public QAScrollPaneView
{
public:
    using QAScrollPaneView::QAScrollPaneView;
    QRect lastPaint;
    QTransform lastTransform;

protected:
    void drawContents(QPainter* p, int cx, int cy, int cw, int ch) override
    {
        lastPaint = QRect(cx, cy, cw, ch);
        lastTransform = p->transform();
        QAScrollPaneView::drawContents(p, cx, cy, cw, ch);
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

    // The view scrolls and paints in contents coordinates; its pane marks the visible part, and a
    // click there centres the view on the point clicked.
    void scrollViewAndItsPane()
    {
        TestView view;
        view.resize(400, 300);
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        view.resizeContents(2000, 1500);
        view.setContentsPos(330, 220);
        view.scrollBy(-30, -20);
        QCOMPARE(view.viewportToContents(QPoint(5, 6)), QPoint(305, 206));
        const QSize visible(view.visibleWidth(), view.visibleHeight());
        view.repaintContents(300, 200, visible.width(), visible.height());
        QCOMPARE(view.lastPaint, QRect(QPoint(300, 200), visible));
        QCOMPARE(view.lastTransform.map(QPoint(300, 200)), QPoint(0, 0));
        QAScrollPane* pane = view.scrollPane();
        QVERIFY(pane && pane->isVisible());
        QCOMPARE(pane->markedRect(), QRect(QPoint(300, 200), visible));
        const QPoint centre = pane->contentsRect().center();
        QTest::mouseClick(pane, Qt::LeftButton, {}, centre);
        QCOMPARE(
            QPoint(view.contentsX() + visible.width() / 2, view.contentsY() + visible.height() / 2),
            QPoint(pane->pixelToLogicalX(centre.x()), pane->pixelToLogicalY(centre.y())));

        view.resizeContents(600, 450); // shrinking pulls the position back inside
        QCOMPARE(QPoint(view.contentsX(), view.contentsY()),
                 QPoint(600 - visible.width(), 450 - visible.height()));
        view.resizeContents(50, 40);          // nothing to scroll: no pane
        view.repaintContents(0, 0, 300, 300); // clipped to the contents
        QCOMPARE(view.lastPaint, QRect(0, 0, 50, 40));
        QVERIFY(!pane->isVisible() && view.horizontalScrollBar()->maximum() == 0);
    }

    // A refresh count that stays `n` for one reload delay: nothing more arrives. No event tells
    // that a debounced reload will not come, so this is the one settle wait of each test; it ends
    // at once when an extra reload shows.
    bool staysAt(int n)
    {
        return !QTest::qWaitFor([&] { return window->refreshCount != n; },
                                window->autoReloadDelay() + 50);
    }

    // One reload per burst of writes; a file replaced by a rename is followed, and its
    // replacement watched in turn.
    void autoReloadOncePerBurstAndFollowsReplacedFile()
    {
        window->setAutoReloadDelay(300); // far longer than the gaps inside a burst
        window->setAutoReload(true);
        for (int i = 0; i < 5; ++i) {
            writeFile(path, "1\t2\n", true);
            QTest::qWait(20);
        }
        QTRY_COMPARE(window->refreshCount, 1);
        // Written beside and renamed over, as editors and loggers do.
        const QString temp = dir->filePath(QStringLiteral("trace.tmp"));
        writeFile(temp, "a\n1\n", true);
        QVERIFY(QFile::remove(path) && QFile::rename(temp, path));
        QTRY_COMPARE(window->refreshCount, 2);
        writeFile(path, "2\n", true);
        QTRY_COMPARE(window->refreshCount, 3);
        QVERIFY(staysAt(3)); // a late extra reload of either shows here
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
        QDialog box(parent);
        box.setModal(true);
        QMenu menu(parent);
        menu.addAction(QStringLiteral("row"));
        QWidget* open = dialog ? static_cast<QWidget*>(&box) : &menu;
        open->show();
        QTRY_VERIFY(QApplication::activePopupWidget() == open
                    || QApplication::activeModalWidget() == open);
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
        QTimer::singleShot(0, this, [] {
            auto* dialog = qobject_cast<QColorDialog*>(QApplication::activeModalWidget());
            QVERIFY(dialog);
            dialog->setCurrentColor(QColor(1, 2, 3));
            dialog->accept();
        });
        QTest::mouseClick(&button, Qt::LeftButton);
        QCOMPARE(button.color(), QColor(1, 2, 3));
        QCOMPARE(changed.count(), 1);
    }

    void getpixCachesByName()
    {
        const QPixmap first = GETPIX("tiny_xpm", tinyXpm);
        QCOMPARE(first.toImage().pixelColor(0, 0), QColor(Qt::red));
        // The name decides: other data under a cached name answers the cached pixmap.
        QCOMPARE(GETPIX("tiny_xpm", otherXpm).cacheKey(), first.cacheKey());
    }
};

QTEST_MAIN(TestStudio)
#include "tst_studio.moc"
