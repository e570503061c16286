#include "host/html/ddocument.h"

DDocument::DDocument(const QString& documentTitle, const QString& documentName, DItem* parentItem,
                     DStyle* documentStyle)
    : DItem(parentItem, documentStyle), title(documentTitle), name(documentName)
{
}

DDocument::~DDocument()
{
    // Unlink before DItem's destructor runs, which would delete the chain.
    for (DItem* child = firstChild; child; child = child->next) {
        if (child->parent == this)
            child->parent = nullptr;
    }
    firstChild = nullptr;
}

QList<DGraphic*> DDocument::graphics() const
{
    QList<DGraphic*> result;
    for (DItem* child = firstChild; child; child = child->next) {
        if (DGraphic* graphic = child->toGraphic())
            result.append(graphic);
    }
    return result;
}
