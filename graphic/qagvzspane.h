#pragma once

#include "host/studio/qascrollpane.h"

class QAGVZGraphic;

// The overview pane of the graphic widget: the whole chart laid out afresh in the pane, with the
// fonts of the preference styles and the painter's size shrunk by the fit factor for the paint,
// and the view's visible area marked in XOR so that drawing the marker twice removes it.
class QAGVZSPane : public QAScrollPane
{
    Q_OBJECT
public:
    QAGVZSPane(Mode mode, QWidget* parent, const char* name, QAGVZGraphic* view);
    ~QAGVZSPane() override;

    // The factor that fits contents of `contentsW` x `contentsH` into `w` x `h` pixels; 0 when
    // either contents extent is not positive (nothing to scale).
    static float fitFactor(int w, int h, int contentsW, int contentsH);

    // Paints the pane (background, reduced chart, marker) into `image`, which must be at least as
    // large as the pane: the XOR marker needs a raster device.
    void render(QImage& image);
    // Draws the marker with `p` in XOR; `p` must work on a raster device.
    void paintPane(QPainter& p, bool show) override;

    QAGVZGraphic* view; // not owned, never null

protected:
    void paintEvent(QPaintEvent* e) override;
};
