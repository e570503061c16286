#include "host/studio/preferenceitem.h"

PreferenceItem::PreferenceItem(const QString& title, const QString& tag, const QString& helpTag)
    : itemTitle(title), itemTag(tag), itemHelpTag(helpTag)
{
}

QString PreferenceItem::title() const
{
    return itemTitle;
}

QString PreferenceItem::tag() const
{
    return itemTag;
}

QString PreferenceItem::helpTag() const
{
    return itemHelpTag;
}

PreferencePageInterface* PreferenceItem::child() const
{
    return childItem;
}

PreferencePageInterface* PreferenceItem::next() const
{
    return nextItem;
}

void PreferenceItem::setChild(PreferenceItem* item)
{
    childItem = item;
}

void PreferenceItem::setNext(PreferenceItem* item)
{
    nextItem = item;
}
