#include "graphic/qagvzspane.h"

#include "graphic/qagvzgraphic.h"
#include "host/chart/dchartpainter.h"
#include "host/chart/dstyle.h"
#include "prefs/qagvzpref.h"

#include <QImage>
#include <QPainter>

#include <algorithm>
#include <optional>
#include <vector>

namespace {

// Shrinks the font of every preference style by a factor for its lifetime, then puts each size
// back: the widget, printing and the pages always see the sizes the user chose.
class ScaledStyleFonts
{
public:
    ScaledStyleFonts(const QList<DStyle*>& list, float f) : styles(list), saved(list.size())
    {
        for (int i = 0; i < styles.size(); ++i) {
            DFont* font = styles.at(i)->font;
            saved[i] = font ? font->size : 0;
            if (font)
                font->size = int(float(font->size) * f);
        }
    }
    ~ScaledStyleFonts()
    {
        for (int i = 0; i < styles.size(); ++i) {
            if (DFont* font = styles.at(i)->font)
                font->size = saved[i];
        }
    }
    ScaledStyleFonts(const ScaledStyleFonts&) = delete;
    ScaledStyleFonts& operator=(const ScaledStyleFonts&) = delete;

private:
    const QList<DStyle*>& styles;
    std::vector<int> saved;
};

QColor paneBackColor()
{
    return gvzpref ? gvzpref->general->paneBack : QColor(255, 255, 200);
}

QColor paneColor()
{
    return gvzpref ? gvzpref->general->pane : QColor(0, 0, 255);
}

// The outline of `r` one pixel wide, each pixel touched once (XOR draws it exactly).
void fillOutline(QPainter& p, const QRect& r, const QColor& c)
{
    p.fillRect(QRect(r.left(), r.top(), r.width(), 1), c);
    if (r.height() > 1)
        p.fillRect(QRect(r.left(), r.bottom(), r.width(), 1), c);
    if (r.height() > 2) {
        p.fillRect(QRect(r.left(), r.top() + 1, 1, r.height() - 2), c);
        if (r.width() > 1)
            p.fillRect(QRect(r.right(), r.top() + 1, 1, r.height() - 2), c);
    }
}

} // namespace

QAGVZSPane::QAGVZSPane(Mode mode, QWidget* parent, const char* name, QAGVZGraphic* graphicView)
    : QAScrollPane(mode, parent, name), view(graphicView)
{
}

QAGVZSPane::~QAGVZSPane() = default;

float QAGVZSPane::fitFactor(int w, int h, int contentsW, int contentsH)
{
    if (w <= 0 || h <= 0 || contentsW <= 0 || contentsH <= 0)
        return 0.0f;
    return std::min(float(w) / float(contentsW), float(h) / float(contentsH));
}

void QAGVZSPane::paintEvent(QPaintEvent*)
{
    // The XOR marker needs a raster device: paint into an image, then show it.
    const qreal ratio = devicePixelRatioF();
    QImage image(size() * ratio, QImage::Format_RGB32);
    image.setDevicePixelRatio(ratio);
    render(image);
    QPainter p(this);
    p.drawImage(0, 0, image);
}

void QAGVZSPane::render(QImage& image)
{
    QPainter p(&image);
    drawFrame(&p);
    const QRect area = contentsRect();
    p.fillRect(area, paneBackColor());

    // Before the view's first resize its contents are empty: there is nothing to fit.
    const float f =
        fitFactor(area.width(), area.height(), view->contentsWidth(), view->contentsHeight());
    if (view->graphic && f > 0.0f) {
        DChartPainter painter;
        painter.size = int(float(painter.size) * f);
        p.save();
        p.translate(area.topLeft());
        std::optional<ScaledStyleFonts> scaled;
        if (gvzpref)
            scaled.emplace(gvzpref->styles->styleList, f);
        painter.draw(p, QRect(0, 0, area.width(), area.height()), view->graphic);
        p.restore();
    }
    paintPane(p, true);
}

void QAGVZSPane::paintPane(QPainter& p, bool)
{
    const int px = logicalToPixelX(markX());
    const int py = logicalToPixelY(markY());
    const int pw = logicalToPixelX(markWidth()) - logicalToPixelX(0);
    const int ph = logicalToPixelY(markHeight()) - logicalToPixelY(0);
    const int pw1 = pw > 0 ? pw : 1;
    const int ph1 = ph > 0 ? ph : 1;

    // Over the pane background the XOR shows the marker colour; a second drawing removes it.
    const QColor back = paneBackColor();
    const QColor markColor = paneColor();
    const QColor pen(markColor.red() ^ back.red(), markColor.green() ^ back.green(),
                     markColor.blue() ^ back.blue());
    p.save();
    p.setPen(pen);
    p.setBrush(Qt::NoBrush);
    p.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
    if (pw > 0 && ph > 0) {
        fillOutline(p, QRect(px, py, pw, ph), pen);
        if (pw - 2 > 0 && ph - 2 > 0)
            fillOutline(p, QRect(px + 1, py + 1, pw - 2, ph - 2), pen);
    } else {
        // No extent: a cross through the spot over the whole pane.
        const QRect area = contentsRect();
        const int y = py + ph1 / 2;
        const int x = px + pw1 / 2;
        p.fillRect(QRect(area.left(), y, area.width(), 1), pen);
        p.fillRect(QRect(x, area.top(), 1, y - area.top()), pen);
        p.fillRect(QRect(x, y + 1, 1, area.bottom() - y), pen);
    }
    p.restore();
}
