#include "prefs/qagvzpref.h"

QAGVZPref* gvzpref = nullptr;

QAGVZPref::QAGVZPref()
    : QObject(nullptr),
      general(new QAGVZPrefGeneral(tr("Graphics Viewer", "Node name for plugin preferences"),
                                   QStringLiteral("pref-gvz"), QStringLiteral("pref-gvz"))),
      styles(new QAGVZPrefStyles(tr("Styles", "Node name for styles plugin preferences"),
                                 QStringLiteral("pref-gvz"), QStringLiteral("pref-gvz")))
{
    general->setChild(styles);
}

QAGVZPref::~QAGVZPref()
{
    // The pages do not own the nodes they link to: this object owns both.
    delete general;
    delete styles;
}

PreferenceItem* QAGVZPref::preferenceSettings()
{
    return general;
}

void QAGVZPref::fromResources(QARes* res)
{
    if (!res || !res->toResGroup() || !res->isTag("gvz_viewer"))
        return;
    QColor* const colors[] = {&general->background, &general->paneBack, &general->pane};
    const char* const keys[] = {"background", "pane_back", "pane"};
    for (QARes* child = res->toResGroup()->firstChild(); child; child = child->next()) {
        for (int i = 0; i < 3; ++i) {
            if (!child->isTag(keys[i]))
                continue;
            if (const QAResRGB* rgb = child->toResRGB())
                colors[i]->setRgb(rgb->red(), rgb->green(), rgb->blue());
            break;
        }
    }
    styles->fromResources(res);
}

QARes* QAGVZPref::toResources(const char*)
{
    auto* group = new QAResGroup(QStringLiteral("gvz_viewer"));
    auto* background = new QAResRGB(QStringLiteral("background"), general->background.red(),
                                    general->background.green(), general->background.blue());
    auto* paneBack = new QAResRGB(QStringLiteral("pane_back"), general->paneBack.red(),
                                  general->paneBack.green(), general->paneBack.blue());
    auto* pane = new QAResRGB(QStringLiteral("pane"), general->pane.red(), general->pane.green(),
                              general->pane.blue());
    background->setNext(paneBack)->setNext(pane)->setNext(styles->toResources());
    group->addChild(background);
    return group;
}

void QAGVZPref::prefDialogAccepted()
{
    emit updated();
}

void QAGVZPref::prefDialogRejected()
{
}
