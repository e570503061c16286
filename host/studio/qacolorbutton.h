#pragma once

#include <QColor>
#include <QPushButton>

// A button that shows a colour and lets the user pick another one in a colour dialog.
// Where "no colour" is allowed, the dialog offers it and color() answers an invalid QColor.
class QAColorButton : public QPushButton
{
    Q_OBJECT
public:
    explicit QAColorButton(QWidget* parent = nullptr, const char* name = nullptr);

    QColor color() const { return current; }
    // Shows `color`; emits colorChanged only when `notify` is true.
    void setColor(const QColor& color, bool notify = false);
    void setNoColorAllowed(bool allowed);
    bool noColorAllowed() const { return allowNone; }

signals:
    void colorChanged(const QColor& color);

private:
    void pickColor();
    void updateLook();

    QColor current;
    bool allowNone = false;
};
