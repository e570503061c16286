#pragma once

#include "host/studio/preferenceitem.h"

#include <QList>
#include <QMap>
#include <QPointer>
#include <QString>

class DStyle;
class DStyleView;
class QARes;

// The styles preference page: the 24 chart styles every viewer window draws with (graphic, the
// three axes, 20 curve styles handed out to curves in turn). The style objects are made once and
// edited in place, so chart items that point at them follow every change.
class QAGVZPrefStyles : public PreferenceItem
{
    Q_OBJECT
public:
    static constexpr int CurveStyleCount = 20;

    // Builds the node, the 24 styles with their names, and sets the defaults.
    QAGVZPrefStyles(const QString& title, const QString& tag, const QString& helpTag);
    ~QAGVZPrefStyles() override;

    // page operations:
    // Builds the page widget with a new style editor (remembered in styleView).
    QWidget* createWidget(QWidget* parent) override;
    // Loads the styles into the editor.
    void updateContents() override;
    // Has the editor write its values into the styles.
    void apply() override;
    void cancel() override;
    // Gives all 24 styles the default font and colours, in place.
    void defaults() override;

    // resources:
    // The first of 24 new style nodes linked as siblings ("sty_graphic" ... "sty_curve_20");
    // the caller owns the chain.
    QARes* toResources();
    // Reads the styles from the children of a "gvz_viewer" group; anything else is ignored.
    void fromResources(QARes* res);

    // The resource key of list entry `index` (0 graphic, 1 to 3 axes, 4 + n curve n).
    static QString resourceKey(int index);

    DStyle* graphicStyle;                 // owned
    DStyle* axisXStyle;                   // owned
    DStyle* axisYStyle;                   // owned
    DStyle* axisZStyle;                   // owned
    DStyle* curveStyles[CurveStyleCount]; // owned
    QPointer<DStyleView> styleView;       // editor of the newest page widget; not owned
    QList<DStyle*> styleList;             // the same 24 styles: graphic, X, Y, Z, curves 0 to 19
    QMap<QString, QString> styleNames;    // untranslated style name -> display name
};
