#include "app/preferencedialog.h"

#include "host/studio/preferenceitem.h"

#include <QAbstractItemView>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QScreen>
#include <QStackedWidget>
#include <QTreeWidget>
#include <QVBoxLayout>

PreferenceDialog::PreferenceDialog(PreferencePageInterface* root, QWidget* parent)
    : QDialog(parent), tree(new QTreeWidget(this)), stack(new QStackedWidget(this))
{
    setWindowTitle(tr("Preferences"));
    tree->setHeaderHidden(true);
    tree->setColumnCount(1);
    tree->setMaximumWidth(260);

    auto* buttons = new QDialogButtonBox(
        QDialogButtonBox::Ok | QDialogButtonBox::Cancel | QDialogButtonBox::RestoreDefaults, this);
    ok = buttons->button(QDialogButtonBox::Ok);
    cancel = buttons->button(QDialogButtonBox::Cancel);
    defaults = buttons->button(QDialogButtonBox::RestoreDefaults);
    connect(buttons, &QDialogButtonBox::accepted, this, &PreferenceDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &PreferenceDialog::reject);
    connect(defaults, &QPushButton::clicked, this, &PreferenceDialog::mnDefaults);

    auto* pagesLayout = new QHBoxLayout;
    pagesLayout->addWidget(tree);
    pagesLayout->addWidget(stack, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(pagesLayout, 1);
    layout->addWidget(buttons);

    addPages(root, nullptr);
    tree->expandAll();
    connect(tree, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* item) {
        if (item)
            stack->setCurrentIndex(item->data(0, Qt::UserRole).toInt());
    });
    if (tree->topLevelItemCount() > 0)
        tree->setCurrentItem(tree->topLevelItem(0));
    defaults->setEnabled(!pageList.isEmpty());

    // Tall enough for every row of the pages' lists (the style list holds two dozen), within the
    // screen.
    int extra = 0;
    for (const QAbstractItemView* view : stack->findChildren<QAbstractItemView*>()) {
        const int rows = view->model() ? view->model()->rowCount() : 0;
        if (rows > 0) {
            const int full = rows * view->sizeHintForRow(0) + 2 * view->frameWidth();
            extra = qMax(extra, full - view->sizeHint().height());
        }
    }
    QSize size = sizeHint() + QSize(0, extra);
    if (const QScreen* screen = this->screen())
        size = size.boundedTo(screen->availableGeometry().size() * 9 / 10);
    resize(size);
}

void PreferenceDialog::addPages(PreferencePageInterface* first, QTreeWidgetItem* parentItem)
{
    // The links are the plug-in's: a node seen twice (a cycle) would loop for ever.
    for (PreferencePageInterface* page = first; page && !pageList.contains(page);
         page = page->next()) {
        auto* item = parentItem ? new QTreeWidgetItem(parentItem) : new QTreeWidgetItem(tree);
        item->setText(0, page->title());
        item->setData(0, Qt::UserRole, pageList.size());
        pageList.append(page);
        QWidget* widget = page->createWidget(stack);
        stack->addWidget(widget ? widget : new QWidget(stack));
        page->updateContents();
        addPages(page->child(), item);
    }
}

PreferencePageInterface* PreferenceDialog::currentPage() const
{
    const int index = stack->currentIndex();
    return index >= 0 && index < pageList.size() ? pageList.at(index) : nullptr;
}

void PreferenceDialog::setCurrentPage(PreferencePageInterface* page)
{
    const int index = int(pageList.indexOf(page));
    if (index < 0)
        return;
    const QList<QTreeWidgetItem*> items =
        tree->findItems(QStringLiteral("*"), Qt::MatchWildcard | Qt::MatchRecursive);
    for (QTreeWidgetItem* item : items) {
        if (item->data(0, Qt::UserRole).toInt() == index)
            tree->setCurrentItem(item);
    }
}

void PreferenceDialog::accept()
{
    for (PreferencePageInterface* page : std::as_const(pageList))
        page->apply();
    QDialog::accept();
}

void PreferenceDialog::reject()
{
    for (PreferencePageInterface* page : std::as_const(pageList))
        page->cancel();
    QDialog::reject();
}

void PreferenceDialog::mnDefaults()
{
    if (PreferencePageInterface* page = currentPage()) {
        page->defaults();
        page->updateContents();
    }
}
