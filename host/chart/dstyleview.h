#pragma once

#include <QList>
#include <QMap>
#include <QStringList>
#include <QWidget>

#include <memory>
#include <vector>

class DStyle;
class QAColorButton;
class QCheckBox;
class QComboBox;
class QListWidget;
class QSpinBox;

// Editor of a list of styles: a list of the styles by their (translated) names, and for the
// selected one its font family and size, its fill and pen colours (each may be "none") and its
// markers flag. It edits working copies; store() writes them into the styles loaded.
class DStyleView : public QWidget
{
    Q_OBJECT
public:
    // `fontFamilies`: the families offered (empty: the system's). `readOnly` shows without
    // editing. `flags` are window flags.
    DStyleView(const QStringList& fontFamilies, QWidget* parent = nullptr,
               const char* name = nullptr, bool readOnly = false, unsigned int flags = 0);
    ~DStyleView() override;

    // Display names by style name; styles without an entry show their own name.
    void setStyleNameTranslation(const QMap<QString, QString>& names);
    // Shows and edits these styles (not owned; they must outlive the editor or the next load).
    virtual void load(const QList<DStyle*>& styles);
    // Writes the edited values into the loaded styles.
    virtual void store();

    // getters (for the page and tests):
    int currentStyle() const;
    void setCurrentStyle(int row);

private:
    void fillList();
    void showCurrent();
    void takeFamily(const QString& family);
    void takeSize(int size);
    void takeFill(const QColor& color);
    void takePen(const QColor& color);
    void takeMarkers(bool on);
    DStyle* working() const;

    QListWidget* styleList;
    QComboBox* familyBox;
    QSpinBox* sizeBox;
    QAColorButton* fillButton;
    QAColorButton* penButton;
    QCheckBox* markersBox;

    QMap<QString, QString> translations;
    QList<DStyle*> targets;                      // not owned
    std::vector<std::unique_ptr<DStyle>> copies; // one working copy per target
    bool showing = false;                        // widgets are being filled, not edited
};
