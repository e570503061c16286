#include "app/studioprogress.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QProgressDialog>

#include <cstdio>

#include <unistd.h>

StudioProgress::StudioProgress(QWidget* parentWindow) : window(parentWindow)
{
}

StudioProgress::~StudioProgress() = default;

QProgressDialog* StudioProgress::dialog() const
{
    return box;
}

void StudioProgress::setTotalSteps(int steps)
{
    total = steps;
    const bool started = !busy;
    busy = true;
    canceled = false;
    lineShown = false;
    since.start();
    if (started && runningChanged)
        runningChanged();
    if (toStderr)
        return;
    if (!box) {
        box = new QProgressDialog(window);
        box->setWindowModality(Qt::WindowModal);
        box->setMinimumDuration(500); // a short read shows nothing, so nothing flickers
        box->setAutoClose(true);
        box->setAutoReset(true);
        // The dialog forgets it was cancelled when it resets at the end: remember it here.
        QObject::connect(box, &QProgressDialog::canceled, box, [this] { cancel(); });
    }
    box->reset();
    box->setRange(0, steps);
}

void StudioProgress::setLabel(const QString& text)
{
    label = text;
    if (box && !toStderr)
        box->setLabelText(QCoreApplication::translate("StudioProgress", "Reading %1")
                              .arg(QFileInfo(text).fileName()));
}

void StudioProgress::setProgress(int steps)
{
    const bool done = steps >= total;
    if (done && busy) {
        busy = false;
        if (runningChanged)
            runningChanged();
    }
    if (toStderr) {
        if (!isatty(STDERR_FILENO) || (!lineShown && since.elapsed() < 1000))
            return;
        if (done) {
            std::fputs("\r\033[K", stderr);
        } else {
            const int percent = total > 0 ? int(qint64(steps) * 100 / total) : 0;
            if (lineShown && percent == shownPercent)
                return;
            shownPercent = percent;
            std::fprintf(stderr, "\r\033[Kgvz-studio: reading %s %d%%",
                         QFile::encodeName(QFileInfo(label).fileName()).constData(), percent);
            lineShown = true;
        }
        std::fflush(stderr);
        return;
    }
    if (!box)
        return;
    const int value = std::min(steps, total);
    // The dialog serves the event loop only when its value changes: a step that moves it less
    // than one must serve it too, or the window freezes while the chart is built.
    if (value == box->value() && box->isVisible())
        QCoreApplication::processEvents();
    else
        box->setValue(value);
}

void StudioProgress::setCancellable(bool on)
{
    cancellable = on;
    if (box && !toStderr)
        box->setCancelButtonText(on ? QProgressDialog::tr("Cancel") : QString());
}

bool StudioProgress::wasCanceled() const
{
    return cancellable && (canceled || (box && box->wasCanceled()));
}
