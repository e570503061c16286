#include "host/html/dexporthtmldialog.h"

#include "host/html/dexporthtml.h"
#include "host/html/dhtmlsettings.h"
#include "host/html/dhtmlwriter.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

DExportHtmlDialog::DExportHtmlDialog(DDocument* document, const QString& configPath,
                                     QWidget* parent, const char* name)
    : QDialog(parent), configFile(configPath)
{
    if (name)
        setObjectName(QString::fromLatin1(name));
    if (document)
        documentList.append(document);
    setModal(false);
    setWindowTitle(tr("Export HTML"));

    folderEdit = new QLineEdit(QDir::home().filePath(QStringLiteral("gvz-html")), this);
    folderEdit->setObjectName(QStringLiteral("folder"));
    auto* browseButton = new QPushButton(tr("Browse..."), this);
    connect(browseButton, &QPushButton::clicked, this, &DExportHtmlDialog::browse);
    auto* folderRow = new QHBoxLayout;
    folderRow->addWidget(folderEdit, 1);
    folderRow->addWidget(browseButton);

    const QSize configured = DHtmlSettings::read(configFile, nullptr).imageSize;
    const auto sideBox = [this](int value, const QString& objectName) {
        auto* box = new QSpinBox(this);
        box->setRange(DHtmlSettings::MinSide, DHtmlSettings::MaxSide);
        box->setValue(value);
        box->setSuffix(tr(" px"));
        box->setObjectName(objectName);
        return box;
    };
    widthBox = sideBox(configured.width(), QStringLiteral("width"));
    heightBox = sideBox(configured.height(), QStringLiteral("height"));
    auto* sizeRow = new QHBoxLayout;
    sizeRow->addWidget(widthBox);
    sizeRow->addWidget(new QLabel(tr("by"), this));
    sizeRow->addWidget(heightBox);
    sizeRow->addStretch();

    auto* form = new QFormLayout;
    form->addRow(tr("Target folder:"), folderRow);
    form->addRow(tr("Image size:"), sizeRow);

    stepLabel = new QLabel(this);
    progressBar = new QProgressBar(this);
    progressBar->setValue(0);
    logView = new QPlainTextEdit(this);
    logView->setReadOnly(true);
    logView->setObjectName(QStringLiteral("log"));

    auto* buttons = new QDialogButtonBox(this);
    generateButton = buttons->addButton(tr("Generate"), QDialogButtonBox::AcceptRole);
    closeButton = buttons->addButton(tr("Close"), QDialogButtonBox::RejectRole);
    generateButton->setDefault(true);
    connect(generateButton, &QPushButton::clicked, this, &DExportHtmlDialog::generate);
    connect(closeButton, &QPushButton::clicked, this, &DExportHtmlDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(stepLabel);
    layout->addWidget(progressBar);
    layout->addWidget(logView, 1);
    layout->addWidget(buttons);
    resize(520, 360);
}

DExportHtmlDialog::~DExportHtmlDialog() = default;

void DExportHtmlDialog::setHTMLWriter(DHTMLWriter* pageWriter, bool takeOwnership)
{
    if (ownedWriter.get() == pageWriter)
        (void)ownedWriter.release(); // already ours: not deleted below
    ownedWriter.reset(takeOwnership ? pageWriter : nullptr);
    writer = pageWriter;
}

QString DExportHtmlDialog::targetDirectory() const
{
    return folderEdit->text().trimmed();
}

void DExportHtmlDialog::setTargetDirectory(const QString& directory)
{
    folderEdit->setText(directory);
}

QSize DExportHtmlDialog::imageSize() const
{
    return QSize(widthBox->value(), heightBox->value());
}

void DExportHtmlDialog::setImageSize(const QSize& size)
{
    widthBox->setValue(size.width());
    heightBox->setValue(size.height());
}

void DExportHtmlDialog::generate()
{
    if (ended)
        return;
    generateButton->setEnabled(false);
    closeButton->setEnabled(false);

    // Synchronous on purpose: no event is processed while the documents are read, so nothing
    // can rebuild or delete a chart under the exporter.
    DExportHtml exporter(targetDirectory(), configFile);
    exporter.generator = generator;
    exporter.setHTMLWriter(writer);
    exporter.setImageSize(imageSize());
    bool ok = !documentList.isEmpty();
    if (!ok)
        logMessage(Error, tr("Nothing to export."));
    for (DDocument* document : std::as_const(documentList)) {
        if (!exporter.generate(document, this, this)) {
            ok = false;
            break;
        }
    }

    closeButton->setEnabled(true);
    if (!ok) {
        stepLabel->setText(tr("The export failed."));
        generateButton->setEnabled(true);
        return;
    }
    stepLabel->setText(tr("Exported to %1").arg(QDir::toNativeSeparators(exporter.directory())));
    // The user may export again, elsewhere or at another size, until Close.
    generateButton->setEnabled(true);
}

void DExportHtmlDialog::reject()
{
    QPointer<DExportHtmlDialog> self(this);
    end();
    if (!self)
        return;
    QDialog::reject();
    deleteLater();
}

void DExportHtmlDialog::end()
{
    if (ended)
        return;
    ended = true;
    generateButton->setEnabled(false);
    // Receivers release the documents here: never read them again.
    QPointer<DExportHtmlDialog> self(this);
    emit terminated(this);
    if (self)
        documentList.clear();
}

void DExportHtmlDialog::browse()
{
    const QString directory =
        QFileDialog::getExistingDirectory(this, tr("Target Folder"), targetDirectory());
    if (!directory.isEmpty())
        setTargetDirectory(directory);
}

void DExportHtmlDialog::setTotalSteps(int steps)
{
    progressBar->setRange(0, steps);
}

void DExportHtmlDialog::setProgress(int steps)
{
    progressBar->setValue(steps);
    progressBar->repaint(); // the export runs without returning to the event loop
}

void DExportHtmlDialog::setLabel(const QString& text)
{
    stepLabel->setText(text);
    stepLabel->repaint();
}

void DExportHtmlDialog::logMessage(Level level, const QString& message)
{
    const QString prefix = level == Error     ? tr("Error: ")
                           : level == Warning ? tr("Warning: ")
                                              : QString();
    logView->appendPlainText(prefix + message);
}
