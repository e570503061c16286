#pragma once

#include "host/studio/preferenceitem.h"
#include "host/studio/qacolorbutton.h"

#include <QColor>
#include <QPointer>

// The general preference page: the three colours of the viewer. Root node "Graphics Viewer" of
// the viewer's preference tree. The graphic widget and its overview pane read the colours at
// every paint.
class QAGVZPrefGeneral : public PreferenceItem
{
    Q_OBJECT
public:
    // Builds the node and sets the default colours.
    QAGVZPrefGeneral(const QString& title, const QString& tag, const QString& helpTag);
    ~QAGVZPrefGeneral() override;

    // page operations:
    // Builds the page widget (the dialog owns it) and remembers its three buttons.
    QWidget* createWidget(QWidget* parent) override;
    // Shows the stored colours in the buttons.
    void updateContents() override;
    // Takes the buttons' colours into the stored colours.
    void apply() override;
    // Nothing to take back: the stored colours change only in apply() and defaults().
    void cancel() override;
    // Resets the stored colours (not the buttons) to their defaults.
    void defaults() override;

    // stored values and the buttons of the newest page widget (children of that widget):
    QColor background; // behind the chart in the graphic widget
    QPointer<QAColorButton> backgroundButton;
    QColor pane; // visible-area marker of the overview pane
    QPointer<QAColorButton> paneButton;
    QColor paneBack; // background of the overview pane
    QPointer<QAColorButton> paneBackButton;
};
