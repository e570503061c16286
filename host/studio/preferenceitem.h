#pragma once

#include <QObject>
#include <QString>

class QWidget;

// One page of the studio's preference dialog, as the dialog sees it.
class PreferencePageInterface
{
public:
    virtual QString tag() const = 0;
    virtual QString title() const = 0;
    virtual QString helpTag() const = 0;
    // Builds the page's widget under `parent` (the dialog owns it).
    virtual QWidget* createWidget(QWidget* parent) = 0;
    // Shows the stored values in the widget.
    virtual void updateContents() = 0;
    // Takes the widget's values into the stored values.
    virtual void apply() = 0;
    virtual void cancel() = 0;
    // Resets the stored values to their defaults.
    virtual void defaults() = 0;
    virtual PreferencePageInterface* child() const = 0;
    virtual PreferencePageInterface* next() const = 0;

protected:
    ~PreferencePageInterface() = default;
};

// A node of the preference tree: a page with a first child and a next sibling.
// Links do not own: whoever created the nodes deletes them.
class PreferenceItem : public QObject, public PreferencePageInterface
{
    Q_OBJECT
public:
    PreferenceItem(const QString& title, const QString& tag, const QString& helpTag);

    QString title() const override;
    QString tag() const override;
    QString helpTag() const override;
    PreferencePageInterface* child() const override;
    PreferencePageInterface* next() const override;
    virtual void setChild(PreferenceItem* item);
    virtual void setNext(PreferenceItem* item);

private:
    QString itemTitle;
    QString itemTag;
    QString itemHelpTag;
    PreferenceItem* childItem = nullptr;
    PreferenceItem* nextItem = nullptr;
};
