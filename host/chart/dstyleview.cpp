#include "host/chart/dstyleview.h"

#include "host/chart/dstyle.h"
#include "host/studio/qacolorbutton.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFontDatabase>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QListWidget>
#include <QSpinBox>

namespace {

constexpr int MinFontSize = 1;
constexpr int MaxFontSize = 200;

QColor toColor(const DColor* color)
{
    return color ? color->toQColor() : QColor();
}

// Replaces `color` by `value`, or by none when `value` is invalid.
void setColor(DColor*& color, const QColor& value)
{
    delete color;
    color = value.isValid() ? new DColor(static_cast<unsigned char>(value.red()),
                                         static_cast<unsigned char>(value.green()),
                                         static_cast<unsigned char>(value.blue()))
                            : nullptr;
}

DFont& fontOf(DStyle& style)
{
    if (!style.font)
        style.font = new DFont(QString(), 10, 0);
    return *style.font;
}

} // namespace

DStyleView::DStyleView(const QStringList& fontFamilies, QWidget* parent, const char* name,
                       bool readOnly, unsigned int flags)
    : QWidget(parent, Qt::WindowFlags(int(flags)))
{
    if (name)
        setObjectName(QString::fromLatin1(name));
    styleList = new QListWidget(this);
    styleList->setObjectName(QStringLiteral("styleList"));
    familyBox = new QComboBox(this);
    familyBox->setObjectName(QStringLiteral("familyBox"));
    familyBox->addItems(fontFamilies.isEmpty() ? QFontDatabase::families() : fontFamilies);
    familyBox->setEditable(true);
    sizeBox = new QSpinBox(this);
    sizeBox->setObjectName(QStringLiteral("sizeBox"));
    sizeBox->setRange(MinFontSize, MaxFontSize);
    fillButton = new QAColorButton(this, "fillButton");
    fillButton->setObjectName(QStringLiteral("fillButton"));
    fillButton->setNoColorAllowed(true);
    penButton = new QAColorButton(this, "penButton");
    penButton->setObjectName(QStringLiteral("penButton"));
    penButton->setNoColorAllowed(true);
    markersBox = new QCheckBox(tr("Mark every point", "Style flag"), this);
    markersBox->setObjectName(QStringLiteral("markersBox"));

    auto* form = new QFormLayout;
    form->addRow(tr("Font:", "Style font family"), familyBox);
    form->addRow(tr("Size:", "Style font size"), sizeBox);
    form->addRow(tr("Background:", "Style first colour"), fillButton);
    form->addRow(tr("Foreground:", "Style second colour"), penButton);
    form->addRow(QString(), markersBox);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(styleList, 1);
    layout->addLayout(form, 2);

    for (QWidget* editor : {static_cast<QWidget*>(familyBox), static_cast<QWidget*>(sizeBox),
                            static_cast<QWidget*>(fillButton), static_cast<QWidget*>(penButton),
                            static_cast<QWidget*>(markersBox)})
        editor->setEnabled(!readOnly);

    connect(styleList, &QListWidget::currentRowChanged, this, &DStyleView::showCurrent);
    connect(familyBox, &QComboBox::currentTextChanged, this, &DStyleView::takeFamily);
    connect(sizeBox, &QSpinBox::valueChanged, this, &DStyleView::takeSize);
    connect(fillButton, &QAColorButton::colorChanged, this, &DStyleView::takeFill);
    connect(penButton, &QAColorButton::colorChanged, this, &DStyleView::takePen);
    connect(markersBox, &QCheckBox::toggled, this, &DStyleView::takeMarkers);
    showCurrent();
}

DStyleView::~DStyleView() = default;

void DStyleView::setStyleNameTranslation(const QMap<QString, QString>& names)
{
    translations = names;
    fillList();
}

void DStyleView::load(const QList<DStyle*>& styles)
{
    targets.clear();
    copies.clear();
    for (DStyle* style : styles) {
        if (!style)
            continue;
        targets.append(style);
        auto copy = std::make_unique<DStyle>(style->name, nullptr, nullptr, nullptr, false);
        copy->copyLook(*style);
        copies.push_back(std::move(copy));
    }
    fillList();
}

void DStyleView::store()
{
    for (int i = 0; i < targets.size(); ++i)
        targets[i]->copyLook(*copies[std::size_t(i)]);
}

int DStyleView::currentStyle() const
{
    return styleList->currentRow();
}

void DStyleView::setCurrentStyle(int row)
{
    styleList->setCurrentRow(row);
}

void DStyleView::fillList()
{
    const int row = std::max(0, styleList->currentRow());
    showing = true;
    styleList->clear();
    for (const auto& copy : copies)
        styleList->addItem(translations.value(copy->name, copy->name));
    showing = false;
    styleList->setCurrentRow(copies.empty() ? -1 : std::min(row, int(copies.size()) - 1));
    showCurrent();
}

DStyle* DStyleView::working() const
{
    const int row = styleList->currentRow();
    return row >= 0 && std::size_t(row) < copies.size() ? copies[std::size_t(row)].get() : nullptr;
}

void DStyleView::showCurrent()
{
    if (showing)
        return;
    const DStyle* style = working();
    showing = true;
    familyBox->setCurrentText(style && style->font ? style->font->family : QString());
    sizeBox->setValue(style && style->font ? style->font->size : MinFontSize);
    fillButton->setColor(style ? toColor(style->fillColor) : QColor());
    penButton->setColor(style ? toColor(style->penColor) : QColor());
    markersBox->setChecked(style && style->markers);
    showing = false;
}

void DStyleView::takeFamily(const QString& family)
{
    if (DStyle* style = working(); style && !showing)
        fontOf(*style).family = family;
}

void DStyleView::takeSize(int size)
{
    if (DStyle* style = working(); style && !showing)
        fontOf(*style).size = size;
}

void DStyleView::takeFill(const QColor& color)
{
    if (DStyle* style = working(); style && !showing)
        setColor(style->fillColor, color);
}

void DStyleView::takePen(const QColor& color)
{
    if (DStyle* style = working(); style && !showing)
        setColor(style->penColor, color);
}

void DStyleView::takeMarkers(bool on)
{
    if (DStyle* style = working(); style && !showing)
        style->markers = on;
}
