#pragma once

#include <QDialog>
#include <QString>

#include <array>

class QARes;
class QRegularExpression;
class QCheckBox;
class QGroupBox;
class QLineEdit;
class QPushButton;
class StudioInterface;

// The configuration of one viewer window: chart title, automatic or manual axis set-up and, per
// axis, which grid lines, unit labels and dots are shown and how far apart.
//
// The stored values below are what the rest of the viewer reads; the widgets are what the user
// edits. OK copies the widgets into the stored values, Cancel copies the stored values back.
// "Save..." and "Load..." keep what the widgets show in .cfx files; a loaded file only fills the
// widgets until OK is pressed.
class QAGVZConfig : public QDialog
{
    Q_OBJECT
public:
    QAGVZConfig(QWidget* parent = nullptr, const char* name = nullptr);

    // The host's studio interface, through which "saved" reaches the main window's status bar.
    // The viewer's one-time initialisation sets it; while it is null no status text is shown.
    // Not owned.
    static void setStudioInterface(StudioInterface* studio);
    static StudioInterface* studioInterface();

    // stored values (every step stays finite and greater than 0):
    QString title;
    bool automaticScale;
    bool showLineX, showLineY, showLineZ;
    bool showUnitX, showUnitY, showUnitZ;
    bool showDotX, showDotY, showDotZ;
    float stepLineX, stepLineY, stepLineZ;
    float stepUnitX, stepUnitY, stepUnitZ;
    float stepDotX, stepDotY, stepDotZ;

    // widgets (children of the dialog), named as their members:
    QLineEdit* titleEdit;
    QCheckBox* autoScaleCheck;
    QCheckBox *showLineXCheck, *showLineYCheck, *showLineZCheck;
    QCheckBox *showUnitXCheck, *showUnitYCheck, *showUnitZCheck;
    QCheckBox *showDotXCheck, *showDotYCheck, *showDotZCheck;
    QLineEdit *stepLineXEdit, *stepLineYEdit, *stepLineZEdit;
    QLineEdit *stepUnitXEdit, *stepUnitYEdit, *stepUnitZEdit;
    QLineEdit *stepDotXEdit, *stepDotYEdit, *stepDotZEdit;
    QGroupBox *axisXGroup, *axisYGroup, *axisZGroup;
    QPushButton *saveButton, *loadButton;

protected slots:
    void accept() override;
    void reject() override;
    void help();
    void save();
    void load();
    void updateEnabled();
    void autoScaleToggled(bool on);
    // A new "gvzconfig" group of what the widgets show; the caller owns it.
    QARes* toResources();
    // Fills the widgets from a "gvzconfig" group; anything else changes nothing.
    void fromResources(QARes* res);

public:
    // What a step edit accepts: a number with a decimal point or comma, in any locale.
    static QRegularExpression numberSyntax();

protected:
    // reimplemented virtual methods:
    void done(int result) override;
    void showEvent(QShowEvent* event) override;

    // The questions save() and load() ask; an empty name means the user cancelled.
    virtual QString askSaveFileName();
    virtual QString askOpenFileName();
    // True only when the user answers Yes to replacing `fileName`.
    virtual bool askReplace(const QString& fileName);
    // A modal critical box with one OK button.
    virtual void showCritical(const QString& caption, const QString& text);

private:
    // One show flag with its step, its widgets and its resource keys.
    struct Spacing
    {
        bool& show;
        float& step;
        float defaultStep;
        QCheckBox*& check;
        QLineEdit*& edit;
        const char* name; // "LineX": the widgets are named showLineXCheck and stepLineXEdit
        const char* showKey;
        const char* stepKey;
    };
    // The nine spacings in the order X, Y, Z lines, X, Y, Z units, X, Y, Z dots.
    std::array<Spacing, 9> spacings();

    QGroupBox* buildAxisGroup(const QString& caption, int axis, QWidget* parent);
    void storedToWidgets();

    QByteArray lastGeometry; // where the dialog was last closed
    static StudioInterface* iface;
};
