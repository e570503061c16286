#pragma once

#include <QDialog>
#include <QList>

class PreferencePageInterface;
class QPushButton;
class QStackedWidget;
class QTreeWidgetItem;
class QTreeWidget;

// The studio's preference dialog over a tree of pages: titles on the left, the current page on the
// right. Every page's widget is built and filled when the dialog is made. OK applies every page,
// Cancel cancels every page, Defaults resets the current page and shows its defaults.
class PreferenceDialog : public QDialog
{
    Q_OBJECT
public:
    // The pages stay their owner's; `root` may be null (an empty dialog).
    explicit PreferenceDialog(PreferencePageInterface* root, QWidget* parent = nullptr);

    QList<PreferencePageInterface*> pages() const { return pageList; }
    PreferencePageInterface* currentPage() const;
    void setCurrentPage(PreferencePageInterface* page);

    QPushButton* okButton() const { return ok; }
    QPushButton* cancelButton() const { return cancel; }
    QPushButton* defaultsButton() const { return defaults; }

public slots:
    void accept() override;
    void reject() override;
    void mnDefaults();

private:
    void addPages(PreferencePageInterface* first, QTreeWidgetItem* parentItem);

    QTreeWidget* tree;
    QStackedWidget* stack;
    QPushButton* ok;
    QPushButton* cancel;
    QPushButton* defaults;
    QList<PreferencePageInterface*> pageList; // in tree order, index = stack index
};
