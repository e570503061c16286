#include "prefs/qagvzprefgeneral.h"

#include <QApplication>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QVBoxLayout>

namespace {

// A titled box whose children fill rows of two: a label, then its widget.
QGridLayout* addTwoColumnBox(QWidget* page, const QString& title)
{
    auto* box = new QGroupBox(title, page);
    page->layout()->addWidget(box);
    return new QGridLayout(box);
}

QAColorButton* addColorRow(QGridLayout* grid, const QString& label)
{
    QWidget* box = grid->parentWidget();
    const int row = grid->rowCount();
    grid->addWidget(new QLabel(label, box), row, 0);
    auto* button = new QAColorButton(box, nullptr);
    grid->addWidget(button, row, 1);
    return button;
}

} // namespace

QAGVZPrefGeneral::QAGVZPrefGeneral(const QString& title, const QString& tag, const QString& helpTag)
    : PreferenceItem(title, tag, helpTag)
{
    defaults();
}

QAGVZPrefGeneral::~QAGVZPrefGeneral() = default;

QWidget* QAGVZPrefGeneral::createWidget(QWidget* parent)
{
    auto* page = new QWidget(parent);
    auto* layout = new QVBoxLayout(page);
    layout->setContentsMargins(10, 10, 10, 10);

    QGridLayout* viewer = addTwoColumnBox(page, tr("Viewer"));
    backgroundButton = addColorRow(viewer, tr("Background color"));
    backgroundButton->setFixedWidth(backgroundButton->width() / 2);

    QGridLayout* panel = addTwoColumnBox(page, tr("Panel"));
    paneButton = addColorRow(panel, tr("Color"));
    paneButton->setFixedWidth(backgroundButton->width());
    paneBackButton = addColorRow(panel, tr("Background color"));
    paneBackButton->setFixedWidth(backgroundButton->width());
    return page;
}

void QAGVZPrefGeneral::updateContents()
{
    if (backgroundButton)
        backgroundButton->setColor(background, false);
    if (paneButton)
        paneButton->setColor(pane, false);
    if (paneBackButton)
        paneBackButton->setColor(paneBack, false);
}

void QAGVZPrefGeneral::apply()
{
    if (backgroundButton)
        background = backgroundButton->color();
    if (paneButton)
        pane = paneButton->color();
    if (paneBackButton)
        paneBack = paneBackButton->color();
}

void QAGVZPrefGeneral::cancel()
{
}

void QAGVZPrefGeneral::defaults()
{
    background = QApplication::palette().color(QPalette::Active, QPalette::Base);
    pane = QColor(0, 0, 255);
    paneBack = QColor(255, 255, 200);
}
