#pragma once

#include "host/studio/qailogmonitor.h"
#include "host/studio/qaiprogressmonitor.h"

#include <QDialog>
#include <QList>
#include <QSize>
#include <QString>

#include <memory>

class DDocument;
class DHTMLWriter;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QSpinBox;

// The interactive HTML export: a modeless dialog in which the user picks the target folder and
// the image size, presses Generate and follows the progress and the log.
//
// Generate may be pressed again after each export, successful or not (another folder, another
// size). The export ends once, when the dialog is closed (Close, Escape, the window's close box):
// it then emits terminated(this) a single time; receivers release the documents there, and the
// dialog never touches them again (documents() is empty afterwards). An ended dialog deletes itself
// once it is closed; one destroyed before it ended (with its parent) emits nothing, and its
// documents stay with whoever made them.
class DExportHtmlDialog : public QDialog, private QAIProgressMonitor, private QAILogMonitor
{
    Q_OBJECT

public:
    // `document` is not owned. `configPath` is the dhtml.cfg that gives the initial image size
    // and tunes the export. `name` (may be null) becomes the object name.
    DExportHtmlDialog(DDocument* document, const QString& configPath, QWidget* parent = nullptr,
                      const char* name = nullptr);
    ~DExportHtmlDialog() override;

    // Written into the pages' generator meta tag (the studio's name and version).
    QString generator;

    // The page writer; with `takeOwnership` the dialog deletes it (and a previous one it owned).
    void setHTMLWriter(DHTMLWriter* writer, bool takeOwnership);
    // The documents being exported (a copy of the list); empty once the export has ended.
    QList<DDocument*> documents() const { return documentList; }

    QString targetDirectory() const;
    void setTargetDirectory(const QString& directory);
    QSize imageSize() const;
    void setImageSize(const QSize& size);
    // True once terminated was emitted.
    bool hasEnded() const { return ended; }

public slots:
    // Exports the documents into the target folder (the Generate button).
    void generate();
    // Closes the dialog and ends the export if it has not ended (Close, Escape, close box).
    void reject() override;

signals:
    void terminated(DExportHtmlDialog* dialog);

private:
    // QAIProgressMonitor:
    void setTotalSteps(int steps) override;
    void setProgress(int steps) override;
    void setLabel(const QString& text) override;
    bool wasCanceled() const override { return false; }
    // QAILogMonitor:
    void logMessage(Level level, const QString& message) override;

    void browse();
    void end();

    QList<DDocument*> documentList; // not owned
    QString configFile;
    DHTMLWriter* writer = nullptr;
    std::unique_ptr<DHTMLWriter> ownedWriter;
    bool ended = false;

    QLineEdit* folderEdit;
    QSpinBox* widthBox;
    QSpinBox* heightBox;
    QLabel* stepLabel;
    QProgressBar* progressBar;
    QPlainTextEdit* logView;
    QPushButton* generateButton;
    QPushButton* closeButton;
};
