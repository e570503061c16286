#pragma once

class DGraphic;
class DItem;

// Lays out a chart description: computes what the painter needs from the points.
class DUpdater
{
public:
    DUpdater() = default;
    virtual ~DUpdater() = default;

    // Sets properties RangeMin and RangeMax of every axis of the graphic that `item` belongs to
    // from the finite coordinates of all its points. An axis without a finite coordinate has
    // neither property afterwards. Each curve gets a summary of its points, unless it holds one
    // that still describes them (DCurveSummary::describes()), as a builder leaves it.
    virtual void doItem(DItem* item);

private:
    static DGraphic* graphicOf(DItem* item);
};
