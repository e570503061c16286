#pragma once

#include "host/html/dhtmlwriter.h"

// The studio's writer for viewer pages: under each chart it lists the chart's axes with their
// ranges, and it can make the page's links relative to a folder other than the page's own
// (a page that a larger site includes from elsewhere).
class QAViewerHTMLWriter : public DHTMLWriter
{
    Q_DECLARE_TR_FUNCTIONS(QAViewerHTMLWriter)

public:
    // Links in the page are written relative to `directory`; empty: the page's folder.
    void setBaseForLink(const QString& directory);
    QString baseForLink() const { return linkDirectory; }

protected:
    // reimplemented hooks:
    QString chart(const DHTMLPage& page, const DHTMLChart& chart) const override;
    QString linkBase(const DHTMLPage& page) const override;

private:
    QString linkDirectory;
};
