#include "host/chart/dstyleserialize.h"

#include "host/chart/dstyle.h"
#include "host/res/qares.h"

namespace {

const char* const NameTag = "name";
const char* const FamilyTag = "font_family";
const char* const SizeTag = "font_size";
const char* const WeightTag = "font_weight";
const char* const FillTag = "fill_color";
const char* const PenTag = "pen_color";
const char* const MarkersTag = "markers";

QARes* colorNode(const char* tag, const DColor* color)
{
    if (color)
        return new QAResRGB(QString::fromLatin1(tag), color->red, color->green, color->blue);
    return new QAResBoolean(QString::fromLatin1(tag), false);
}

// An RGB node sets the colour, a false boolean clears it ("none"); anything else leaves it.
void readColor(QARes* node, DColor*& color)
{
    if (const QAResRGB* rgb = node->toResRGB()) {
        delete color;
        color = new DColor(static_cast<unsigned char>(rgb->red()),
                           static_cast<unsigned char>(rgb->green()),
                           static_cast<unsigned char>(rgb->blue()));
    } else if (const QAResBoolean* flag = node->toResBoolean(); flag && !flag->value()) {
        delete color;
        color = nullptr;
    }
}

DFont& fontOf(DStyle* style)
{
    if (!style->font)
        style->font = new DFont(QString(), 10, 0);
    return *style->font;
}

} // namespace

QARes* DStyleSerialize::styleToResources(const char* tag, DStyle* style)
{
    if (!style)
        return nullptr;
    auto* group = new QAResGroup(QString::fromLatin1(tag));
    group->addChild(new QAResString(QString::fromLatin1(NameTag), style->name));
    if (style->font) {
        group->addChild(new QAResString(QString::fromLatin1(FamilyTag), style->font->family));
        group->addChild(
            new QAResString(QString::fromLatin1(SizeTag), QString::number(style->font->size)));
        group->addChild(
            new QAResString(QString::fromLatin1(WeightTag), QString::number(style->font->weight)));
    }
    group->addChild(colorNode(FillTag, style->fillColor));
    group->addChild(colorNode(PenTag, style->penColor));
    group->addChild(new QAResBoolean(QString::fromLatin1(MarkersTag), style->markers));
    return group;
}

void DStyleSerialize::styleFromResources(QAResGroup* group, DStyle* style)
{
    if (!group || !style)
        return;
    for (QARes* node = group->firstChild(); node; node = node->next()) {
        const QAResString* text = node->toResString();
        if (text && node->isTag(NameTag) && !text->value().isEmpty()) {
            style->name = text->value();
        } else if (text && node->isTag(FamilyTag)) {
            fontOf(style).family = text->value();
        } else if (text && (node->isTag(SizeTag) || node->isTag(WeightTag))) {
            bool ok = false;
            const int value = text->value().trimmed().toInt(&ok);
            if (!ok)
                continue;
            if (node->isTag(SizeTag))
                fontOf(style).size = value;
            else
                fontOf(style).weight = value;
        } else if (node->isTag(FillTag)) {
            readColor(node, style->fillColor);
        } else if (node->isTag(PenTag)) {
            readColor(node, style->penColor);
        } else if (const QAResBoolean* flag = node->toResBoolean();
                   flag && node->isTag(MarkersTag)) {
            style->markers = flag->value();
        }
    }
}
