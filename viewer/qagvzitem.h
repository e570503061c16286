#pragma once

#include <QString>
#include <QTreeWidgetItem>

class DStyle;
class QAGVZValueList;
class QAGVZViewer;
class QPixmap;

// One row of a viewer's curve list: a curve with its style and its roles in the three charts.
// Columns: 0 the name with the role icon, 1 the number of samples, 2 the minimum, 3 the maximum.
// The number columns sort by value.
class QAGVZItem : public QTreeWidgetItem
{
public:
    // the role images, in the order of their names in rolePixmapName()
    enum RoleIcon {
        IconNone = 0,
        IconTime = 1,
        IconX = 2,
        IconY = 3,
        IconZ = 4,
        IconXY = 5,
        IconYZ = 6,
        IconXZ = 7,
        IconXYZ = 8,
        RoleIconCount = 9
    };

    // Appends a row named `name` to `list`, taking ownership of `values` (may be null).
    QAGVZItem(QAGVZViewer* viewer, QAGVZValueList* values, QTreeWidget* list, const QString& name);
    ~QAGVZItem() override;

    // Replaces the curve (the old one is deleted) and refreshes the number columns; roles,
    // style and name stay.
    void setValues(QAGVZValueList* newValues);
    // Refreshes the number columns after samples were appended to the curve.
    void valuesGrew() { fillColumns(); }
    // Each stores its flag and refreshes the icon; none rebuilds the chart.
    void setDisplayIfTime(bool on);
    void setDisplayAsX(bool on);
    void setDisplayAsY(bool on);
    void setDisplayAsZ(bool on);
    // Shows the icon of the roles that count in the viewer's chart type.
    void setupPixmap();
    // The icon shown now.
    RoleIcon roleIcon() const { return currentIcon; }

    // The icon of a row with these flags in a chart of `graphicType`.
    static RoleIcon roleIconFor(int graphicType, bool time, bool x, bool y, bool z);
    static const char* rolePixmapName(RoleIcon index);
    static QPixmap rolePixmap(RoleIcon index);

    // reimplemented virtual methods:
    bool operator<(const QTreeWidgetItem& other) const override;

    QAGVZValueList* values;  // owned
    QAGVZViewer* viewer;     // not owned
    DStyle* style = nullptr; // a preference curve style, not owned
    bool displayIfTime = false;
    bool displayAsX = false;
    bool displayAsY = false;
    bool displayAsZ = false;
    bool obsolete = false; // the merge's mark: no curve of this name read yet
    QString sourceFile;    // the file of the set the current curve was read from

private:
    void fillColumns();

    RoleIcon currentIcon = IconNone;
};
