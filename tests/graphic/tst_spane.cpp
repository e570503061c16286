#include "graphic/qagvzspane.h"

#include "chartfixture.h"
#include "graphic/qagvzgraphic.h"
#include "host/chart/dchartpainter.h"
#include "host/chart/dstyle.h"
#include "prefs/qagvzpref.h"

#include <QPainter>
#include <QTest>

namespace {

// A pane of 200 x 200 pixels inside its one-pixel frame over `view`.
struct PaneFixture
{
    explicit PaneFixture(QSize contents)
    {
        view.resizeContents(contents.width(), contents.height());
        pane.resize(202, 202);
        pane.setLogicalSize(contents.width(), contents.height());
    }

    QImage render()
    {
        QImage image(pane.size(), QImage::Format_RGB32);
        image.fill(Qt::black);
        pane.render(image);
        return image;
    }

    void paintMarkerAgain(QImage& image)
    {
        QPainter p(&image);
        pane.paintPane(p, true);
    }

    QAGVZGraphic view{nullptr, nullptr, 0};
    QAGVZSPane pane{QAScrollPane::ShowAlways, nullptr, nullptr, &view};
};

QList<int> fontSizes()
{
    QList<int> sizes;
    for (const DStyle* style : gvzpref->styles->styleList)
        sizes << style->font->size;
    return sizes;
}

void setFontSizes(const QList<int>& sizes)
{
    for (int i = 0; i < sizes.size(); ++i)
        gvzpref->styles->styleList.at(i)->font->size = sizes.at(i);
}

int countPixels(const QImage& image, const QRect& area, const QColor& color)
{
    int n = 0;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x)
            n += image.pixel(x, y) == color.rgb() ? 1 : 0;
    }
    return n;
}

DGraphic* chartWithCurves()
{
    QList<QVector3D> a;
    QList<QVector3D> b;
    for (int i = 0; i < 40; ++i) {
        a << QVector3D(float(i), float(i * i % 17), 0);
        b << QVector3D(float(i), float(20 - i % 9), 0);
    }
    QAGVZPrefStyles* s = gvzpref->styles;
    return ChartFixture::make(DGraphic::Chart2D, {a, b}, {s->curveStyles[0], s->curveStyles[1]},
                              s->graphicStyle);
}

} // namespace

class TestSPane : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        if (!gvzpref)
            gvzpref = new QAGVZPref;
    }

    void init()
    {
        gvzpref->general->defaults();
        gvzpref->styles->defaults();
    }

    void fontSizesRestoredAfterPaints_data()
    {
        QTest::addColumn<int>("paints");
        QTest::addColumn<QSize>("contents");
        QTest::newRow("one paint, f 0.2") << 1 << QSize(1000, 500);
        QTest::newRow("five paints, f 0.2") << 5 << QSize(1000, 500);
        QTest::newRow("three paints, pane larger than contents") << 3 << QSize(100, 150);
    }

    void fontSizesRestoredAfterPaints()
    {
        QFETCH(int, paints);
        QFETCH(QSize, contents);
        QList<int> sizes;
        for (int i = 0; i < 24; ++i)
            sizes << 5 + i * 3;
        setFontSizes(sizes);
        PaneFixture f(contents);
        f.view.setGraphic(chartWithCurves());
        for (int i = 0; i < paints; ++i)
            f.render();
        QCOMPARE(fontSizes(), sizes);
    }

    void reducedChartUsesScaledFonts()
    {
        setFontSizes(QList<int>(24, 12));
        PaneFixture f(QSize(1000, 500));
        QCOMPARE(QAGVZSPane::fitFactor(200, 200, 1000, 500), 0.2f);
        f.view.setGraphic(chartWithCurves());
        f.pane.setMarkedRect(QRect(0, 0, 400, 300));
        QImage image = f.render();
        f.paintMarkerAgain(image); // leaves the reduced chart alone

        // The same chart laid out at 12 x 0.2 = 2.4, truncated to 2, with the painter at 20
        // percent.
        const QRect area = f.pane.contentsRect();
        QCOMPARE(area, QRect(1, 1, 200, 200));
        const auto reference = [&](int fontSize, int painterSize) {
            QImage ref(area.size(), QImage::Format_RGB32);
            ref.fill(gvzpref->general->paneBack);
            setFontSizes(QList<int>(24, fontSize));
            DChartPainter painter;
            painter.size = painterSize;
            QPainter p(&ref);
            painter.draw(p, QRect(QPoint(0, 0), area.size()), f.view.graphic);
            p.end();
            setFontSizes(QList<int>(24, 12));
            return ref;
        };
        const QImage drawn = image.copy(area);
        QCOMPARE(drawn, reference(2, 20));
        QVERIFY(drawn != reference(12, 100));
        QCOMPARE(fontSizes(), QList<int>(24, 12));
    }

    void emptyContentsPaintBackgroundAndMarkerOnly_data()
    {
        QTest::addColumn<QSize>("contents");
        QTest::newRow("never resized") << QSize(0, 0);
        QTest::newRow("zero width") << QSize(0, 500);
        QTest::newRow("zero height") << QSize(700, 0);
    }

    void emptyContentsPaintBackgroundAndMarkerOnly()
    {
        QFETCH(QSize, contents);
        const QList<int> sizes = fontSizes();
        PaneFixture f(contents);
        QCOMPARE(QAGVZSPane::fitFactor(200, 200, contents.width(), contents.height()), 0.0f);
        f.view.setGraphic(chartWithCurves());
        QImage image = f.render();
        QCOMPARE(fontSizes(), sizes);
        f.paintMarkerAgain(image);
        const QRect area = f.pane.contentsRect();
        QCOMPARE(countPixels(image, area, gvzpref->general->paneBack),
                 area.width() * area.height());
    }

    void markerShapes_data()
    {
        // Contents 1000 x 1000 onto 200 x 200 pixels: 5 logical units per pixel.
        QTest::addColumn<QRect>("mark");
        QTest::addColumn<QColor>("pane");
        QTest::addColumn<int>("marked"); // pixels in the marker colour
        const QColor blue(0, 0, 255);
        QTest::newRow("large: double frame")
            << QRect(100, 100, 400, 250) << blue << (2 * (80 + 50) - 4) + (2 * (78 + 48) - 4);
        QTest::newRow("3 x 3: double frame fills it") << QRect(100, 100, 15, 15) << blue << 9;
        QTest::newRow("2 x 2: single frame") << QRect(100, 100, 10, 10) << blue << 4;
        QTest::newRow("1 x 5: single frame") << QRect(100, 100, 5, 25) << blue << 5;
        QTest::newRow("zero width: cross") << QRect(100, 100, 0, 250) << blue << 200 + 199;
        QTest::newRow("no extent: cross") << QRect(500, 0, 0, 0) << blue << 200 + 199;
        QTest::newRow("other colour") << QRect(100, 100, 400, 250) << QColor(200, 10, 90) << 504;
        QTest::newRow("pane equals background")
            << QRect(100, 100, 400, 250) << QColor(255, 255, 200) << 200 * 200;
    }

    void markerShapes()
    {
        QFETCH(QRect, mark);
        QFETCH(QColor, pane);
        QFETCH(int, marked);
        gvzpref->general->pane = pane;
        PaneFixture f(QSize(1000, 1000));
        f.pane.setMarkedRect(mark);
        QImage image = f.render();
        const QRect area = f.pane.contentsRect();
        QCOMPARE(countPixels(image, area, pane), marked);
        QCOMPARE(countPixels(image, area, gvzpref->general->paneBack) + marked -
                     (pane == gvzpref->general->paneBack ? marked : 0),
                 area.width() * area.height());

        // Drawn a second time, the XOR marker is gone.
        f.paintMarkerAgain(image);
        QCOMPARE(countPixels(image, area, gvzpref->general->paneBack),
                 area.width() * area.height());
    }

    void crossForZeroWidthMark()
    {
        PaneFixture f(QSize(1000, 1000));
        f.pane.setMarkedRect(QRect(100, 200, 0, 250)); // pixels x 21, y 41, 0 x 50
        const QImage image = f.render();
        const QRgb mark = gvzpref->general->pane.rgb();
        const QRgb back = gvzpref->general->paneBack.rgb();
        const QRect area = f.pane.contentsRect();
        // The vertical line passes through the left edge of the mark, over the whole pane.
        QCOMPARE(image.pixel(21, area.top()), mark);
        QCOMPARE(image.pixel(21, area.bottom()), mark);
        QCOMPARE(image.pixel(22, area.top()), back);
        QCOMPARE(image.pixel(20, area.bottom()), back);
        // The horizontal line lies half the mark's height below its top.
        QCOMPARE(image.pixel(area.left(), 41 + 25), mark);
        QCOMPARE(image.pixel(area.right(), 41 + 25), mark);
        QCOMPARE(image.pixel(area.right(), 41 + 24), back);
        QCOMPARE(image.pixel(21, 41 + 25), mark);
    }
};

QTEST_MAIN(TestSPane)
#include "tst_spane.moc"
