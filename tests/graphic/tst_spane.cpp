#include "graphic/qagvzspane.h"

#include "tests/chartfixture.h"
#include "graphic/qagvzgraphic.h"
#include "host/chart/dchartpainter.h"
#include "host/chart/dstyle.h"
#include "prefs/qagvzpref.h"

#include <QPainter>
#include <QTest>

namespace {

// A pane of 200 x 200 pixels (`Area`) inside its one-pixel frame over `view`.
const QRect Area(1, 1, 200, 200);

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

void setFontSizes(const QList<int>& sizes)
{
    for (int i = 0; i < sizes.size(); ++i)
        gvzpref->styles->styleList.at(i)->font->size = sizes.at(i);
}

DGraphic* chartWithCurve()
{
    QList<QVector3D> points;
    for (int i = 0; i < 40; ++i)
        points << QVector3D(float(i), float(i * i % 17), 0);
    const QAGVZPrefStyles* s = gvzpref->styles;
    return ChartFixture::make(DGraphic::Chart2D, {points}, {s->curveStyles[0]}, s->graphicStyle);
}

} // namespace

class TestSPane : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        if (!gvzpref)
            gvzpref = new QAGVZPref;
        gvzpref->general->defaults();
        gvzpref->styles->defaults();
    }

    void reducedChartUsesScaledFonts()
    {
        setFontSizes(QList<int>(24, 12));
        PaneFixture f(QSize(1000, 500));
        QCOMPARE(QAGVZSPane::fitFactor(200, 200, 1000, 500), 0.2f);
        f.view.setGraphic(chartWithCurve());
        f.pane.setMarkedRect(QRect(0, 0, 400, 300));
        QImage image = f.render();
        for (const DStyle* style : gvzpref->styles->styleList) // every style's size comes back
            QCOMPARE(style->font->size, 12);
        f.paintMarkerAgain(image); // leaves the reduced chart alone

        // The same chart laid out at 12 x 0.2 = 2.4, truncated to 2, with the painter at 20%.
        const auto reference = [&](int fontSize, int painterSize) {
            QImage ref(Area.size(), QImage::Format_RGB32);
            ref.fill(gvzpref->general->paneBack);
            setFontSizes(QList<int>(24, fontSize));
            DChartPainter painter;
            painter.size = painterSize;
            QPainter p(&ref);
            painter.draw(p, ref.rect(), f.view.graphic);
            p.end();
            return ref;
        };
        const QImage drawn = image.copy(Area);
        QCOMPARE(drawn, reference(2, 20));
        QVERIFY(drawn != reference(12, 100));
    }

    void markerShapes_data()
    {
        // Contents 1000 x 1000 onto 200 x 200 pixels: 5 logical units per pixel, from (1, 1).
        // A cross: a vertical line through the left edge, a horizontal one half the height lower.
        QTest::addColumn<QRect>("mark");
        QTest::addColumn<QColor>("pane");
        QTest::addColumn<int>("marked"); // pixels in the marker colour
        QTest::addColumn<QPoint>("on");  // one of them
        const QColor blue(0, 0, 255);
        const QRect large(100, 100, 400, 250);
        const QPoint corner(21, 21);
        QTest::newRow("large: double frame")
            << large << blue << 2 * (80 + 50) - 4 + 2 * (78 + 48) - 4 << QPoint(22, 70);
        QTest::newRow("2 x 2: single frame") << QRect(100, 100, 10, 10) << blue << 4 << corner;
        QTest::newRow("no extent: cross") << QRect(500, 0, 0, 0) << blue << 399 << QPoint(101, 200);
        QTest::newRow("pane equals background")
            << large << QColor(255, 255, 200) << 200 * 200 << corner;
    }

    void markerShapes()
    {
        QFETCH(QRect, mark);
        QFETCH(QColor, pane);
        QFETCH(int, marked);
        QFETCH(QPoint, on);
        gvzpref->general->pane = pane;
        PaneFixture f(QSize(1000, 1000));
        f.pane.setMarkedRect(mark);
        QImage image = f.render();
        const QColor back = gvzpref->general->paneBack;
        const auto count = [&image](const QColor& colour) {
            return countPixels(image, Area, [&](const QColor& c) { return c == colour; });
        };
        QCOMPARE(count(pane), marked);
        QCOMPARE(image.pixelColor(on), pane);
        QCOMPARE(count(back) + (pane == back ? 0 : marked), 200 * 200);
        f.paintMarkerAgain(image); // an XOR marker drawn twice is gone
        QCOMPARE(count(back), 200 * 200);
    }
};

QTEST_MAIN(TestSPane)
#include "tst_spane.moc"
