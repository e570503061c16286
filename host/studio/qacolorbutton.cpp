#include "host/studio/qacolorbutton.h"

#include <QColorDialog>
#include <QMenu>
#include <QPainter>

QAColorButton::QAColorButton(QWidget* parent, const char* name) : QPushButton(parent)
{
    if (name)
        setObjectName(QString::fromUtf8(name));
    connect(this, &QPushButton::clicked, this, &QAColorButton::pickColor);
    updateLook();
}

void QAColorButton::setColor(const QColor& color, bool notify)
{
    // Without "no colour" an invalid colour would show nothing the user could pick again.
    if (!color.isValid() && !allowNone)
        return;
    current = color;
    updateLook();
    if (notify)
        emit colorChanged(current);
}

void QAColorButton::setNoColorAllowed(bool allowed)
{
    allowNone = allowed;
}

void QAColorButton::pickColor()
{
    if (allowNone) {
        QMenu menu(this);
        QAction* none = menu.addAction(tr("No colour"));
        QAction* choose = menu.addAction(tr("Choose colour..."));
        QAction* chosen = menu.exec(mapToGlobal(rect().bottomLeft()));
        if (chosen == none) {
            if (current.isValid())
                setColor(QColor(), true);
            return;
        }
        if (chosen != choose)
            return;
    }
    const QColor picked = QColorDialog::getColor(current.isValid() ? current : QColor(Qt::white),
                                                 this, tr("Select colour"));
    if (picked.isValid() && picked != current)
        setColor(picked, true);
}

void QAColorButton::updateLook()
{
    const QSize size(32, 14);
    QPixmap swatch(size);
    swatch.fill(current.isValid() ? current : QColor(Qt::white));
    QPainter p(&swatch);
    p.setPen(Qt::black);
    p.drawRect(0, 0, size.width() - 1, size.height() - 1);
    if (!current.isValid()) {
        p.setPen(QPen(Qt::red, 2));
        p.drawLine(1, size.height() - 2, size.width() - 2, 1);
    }
    p.end();
    setIcon(swatch);
    setIconSize(size);
    setText(current.isValid() ? QString() : tr("None"));
    setToolTip(current.isValid() ? current.name() : tr("No colour"));
}
