#pragma once

#include "host/chart/ditem.h"

#include <QList>
#include <QString>

// One page of an HTML export: a title, a file name, and the charts linked under it.
//
// A document only links: whatever is linked under `firstChild` (the charts, DGraphic) stays
// owned by whoever made it, typically the widget that shows the chart. Deleting a document
// never deletes its children; it drops the links and clears the parent link of each child
// that still points at the document. So a caller may clear the links before deleting, or
// forget to: both are safe while the linked chart is alive. A chart must not be deleted while
// it is linked under a document that is still read (clear the link first).
class DDocument : public DItem
{
public:
    // `name` is the page's file name without extension ("index" writes index.html).
    // Like every item, the document records `parent` but links nothing.
    DDocument(const QString& title, const QString& name, DItem* parent = nullptr,
              DStyle* style = nullptr);
    ~DDocument() override;

    // The charts linked under the document, in sibling order (other items are skipped).
    QList<DGraphic*> graphics() const;

    QString title;
    QString name;
};
