#pragma once

#include "prefs/qagvzprefgeneral.h"
#include "prefs/qagvzprefstyles.h"
#include "host/res/qares.h"

#include <QObject>

// The viewer's single set of display preferences: owns the general and styles pages, offers them
// as a two-node preference tree, loads them from the resource group "gvz_viewer" and writes them
// back when the studio asks its resource producers.
class QAGVZPref : public QObject, public QAResProducer
{
    Q_OBJECT
public:
    QAGVZPref();
    ~QAGVZPref() override;

    // The root of the viewer's preference tree (the general page, the styles page below it).
    PreferenceItem* preferenceSettings();

    // Loads the colours and styles from a "gvz_viewer" group; anything else loads nothing.
    void fromResources(QARes* res);
    // A new "gvz_viewer" group with the 27 current values; `name` is not used. The caller owns it.
    QARes* toResources(const char* name) override;

    QAGVZPrefGeneral* general; // owned
    QAGVZPrefStyles* styles;   // owned

signals:
    // The user accepted the preference dialog: every viewer repaints.
    void updated();

public slots:
    void prefDialogAccepted();
    void prefDialogRejected();
};

// The process-wide preference object; null until the viewer's one-time initialisation.
extern QAGVZPref* gvzpref;
