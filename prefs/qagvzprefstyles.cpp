#include "prefs/qagvzprefstyles.h"

#include "host/chart/dstyle.h"
#include "host/chart/dstyleserialize.h"
#include "host/chart/dstyleview.h"
#include "host/res/qares.h"
#include "host/studio/qafontutil.h"

#include <QFontInfo>
#include <QVBoxLayout>

namespace {

// Second colours of the curve styles 0 to 19.
constexpr unsigned char CurveColors[QAGVZPrefStyles::CurveStyleCount][3] = {
    {0, 0, 255},     {0, 255, 0},   {255, 0, 0},     {255, 0, 255}, {0, 152, 152},
    {255, 255, 0},   {255, 170, 0}, {170, 0, 255},   {170, 0, 0},   {0, 0, 127},
    {85, 0, 0},      {85, 0, 127},  {170, 170, 0},   {85, 170, 0},  {170, 85, 127},
    {170, 170, 255}, {170, 255, 0}, {170, 255, 255}, {85, 85, 127}, {191, 0, 0},
};

constexpr int NamedStyleCount = 4;

} // namespace

QAGVZPrefStyles::QAGVZPrefStyles(const QString& title, const QString& tag, const QString& helpTag)
    : PreferenceItem(title, tag, helpTag)
{
    const QString names[NamedStyleCount] = {QStringLiteral("Graphic"), QStringLiteral("X Axis"),
                                            QStringLiteral("Y Axis"), QStringLiteral("Z Axis")};
    const QString displayNames[NamedStyleCount] = {
        tr("Graphic", "Style name for graphic"), tr("X Axis", "Style name for X Axis"),
        tr("Y Axis", "Style name for Y Axis"), tr("Z Axis", "Style name for Z Axis")};
    DStyle** const named[NamedStyleCount] = {&graphicStyle, &axisXStyle, &axisYStyle, &axisZStyle};
    for (int i = 0; i < NamedStyleCount; ++i)
        *named[i] = new DStyle(names[i], nullptr, nullptr, nullptr, false);
    for (int i = 0; i < NamedStyleCount; ++i)
        styleNames.insert(names[i], displayNames[i]);
    for (int i = 0; i < NamedStyleCount; ++i)
        styleList.append(*named[i]);

    for (int n = 0; n < CurveStyleCount; ++n) {
        const QString name = QStringLiteral("Curve %1").arg(n);
        styleNames.insert(name, tr("Curve %1", "Style name for curve number %1").arg(n));
        curveStyles[n] = new DStyle(name, nullptr, nullptr, nullptr, false);
        styleList.append(curveStyles[n]);
    }
    defaults();
}

QAGVZPrefStyles::~QAGVZPrefStyles()
{
    qDeleteAll(styleList);
}

QWidget* QAGVZPrefStyles::createWidget(QWidget* parent)
{
    auto* page = new QWidget(parent);
    auto* layout = new QVBoxLayout(page);
    layout->setContentsMargins(10, 10, 10, 10);
    styleView = new DStyleView(QStringList(), page, nullptr, false, 0);
    layout->addWidget(styleView);
    styleView->setStyleNameTranslation(styleNames);
    return page;
}

void QAGVZPrefStyles::updateContents()
{
    if (styleView)
        styleView->load(styleList);
}

void QAGVZPrefStyles::apply()
{
    if (styleView)
        styleView->store();
}

void QAGVZPrefStyles::cancel()
{
}

void QAGVZPrefStyles::defaults()
{
    const QFont font = QAFontUtil::defaultFont();
    // A font set in pixels has no point size of its own.
    const int size = font.pointSize() > 0 ? font.pointSize() : QFontInfo(font).pointSize();
    for (int i = 0; i < styleList.size(); ++i) {
        DStyle* style = styleList.at(i);
        delete style->font;
        delete style->fillColor;
        delete style->penColor;
        style->font = new DFont(font.family(), size, 0);
        style->fillColor = nullptr;
        style->penColor = nullptr;
        if (i >= NamedStyleCount) {
            const unsigned char* rgb = CurveColors[i - NamedStyleCount];
            style->penColor = new DColor(rgb[0], rgb[1], rgb[2]);
        }
    }
}

QString QAGVZPrefStyles::resourceKey(int index)
{
    static const char* const named[NamedStyleCount] = {"sty_graphic", "sty_axis_x", "sty_axis_y",
                                                       "sty_axis_z"};
    if (index < NamedStyleCount)
        return QLatin1String(named[index]);
    return QStringLiteral("sty_curve_%1").arg(index - NamedStyleCount + 1);
}

QARes* QAGVZPrefStyles::toResources()
{
    QARes* first = nullptr;
    QARes* last = nullptr;
    for (int i = 0; i < styleList.size(); ++i) {
        QARes* node = DStyleSerialize::styleToResources(resourceKey(i).toLatin1().constData(),
                                                        styleList.at(i));
        if (last)
            last->setNext(node);
        else
            first = node;
        last = node;
    }
    return first;
}

void QAGVZPrefStyles::fromResources(QARes* res)
{
    if (!res || !res->toResGroup() || !res->isTag("gvz_viewer"))
        return;
    for (QARes* child = res->toResGroup()->firstChild(); child; child = child->next()) {
        for (int i = 0; i < styleList.size(); ++i) {
            if (!child->isTag(resourceKey(i)))
                continue;
            if (QAResGroup* group = child->toResGroup())
                DStyleSerialize::styleFromResources(group, styleList.at(i));
            break;
        }
    }
}
