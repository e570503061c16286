#include "config/qagvzconfig.h"

#include "host/res/qares.h"
#include "host/studio/studiointerface.h"

#include <QCheckBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QSaveFile>
#include <QStatusBar>
#include <QTextStream>
#include <QVBoxLayout>

#include <cmath>
#include <memory>

namespace {

// 16 x 16 disk
const char* const save_xpm[] = {
    "16 16 5 1",        ". c None",         "# c #000000",      "a c #3c5a96",
    "b c #ffffff",      "c c #b4b4b4",      "################", "#aa#bbbbbbbb#aa#",
    "#aa#bbbbbbbb#aa#", "#aa#bccccccb#aa#", "#aa#bbbbbbbb#aa#", "#aa#bccccccb#aa#",
    "#aa#bbbbbbbb#aa#", "#aa##########aa#", "#aaaaaaaaaaaaaa#", "#aaaaaaaaaaaaaa#",
    "#aaa########aaa#", "#aaa#cc##cc#aaa#", "#aaa#cc##cc#aaa#", "#aaa#cc##cc#aaa#",
    ".#aa#cccccc#aaa#", "..##############",
};

// 16 x 16 open folder
const char* const open_xpm[] = {
    "16 16 4 1",        ". c None",         "# c #000000",      "a c #c8a032",
    "b c #ffdc64",      "................", "................", "..####..........",
    ".#aaaa#.........", "#aaaaaa#######..", "#aaaaaaaaaaaa#..", "#aaaaaaaaaaaa#..",
    "#aaa###########.", "#aa#bbbbbbbbbbb#", "#aa#bbbbbbbbbb#.", "#a#bbbbbbbbbbb#.",
    "#a#bbbbbbbbbb#..", "##bbbbbbbbbbb#..", "##bbbbbbbbbb#...", "#############...",
    "................",
};

const char* const groupKey = "gvzconfig";
const char* const titleKey = "graphic_title";
const char* const autoScaleKey = "automatic_scale";

QString cfxFilter()
{
    return QAGVZConfig::tr("GVZ Viewer Configuration (*.cfx);;All files (*)");
}

QString stepText(float step)
{
    return QString::number(step, 'g', 6);
}

// Checks `box` from a boolean node carrying `tag`; any other node leaves the box alone.
bool boolFromRes(QARes* res, const char* tag, QCheckBox* box)
{
    if (!res || !res->isTag(tag) || !res->toResBoolean())
        return false;
    box->setChecked(res->toResBoolean()->value());
    return true;
}

// Puts the text of a string node carrying `tag` into `edit`, unvalidated: OK judges it.
bool strFromRes(QARes* res, const char* tag, QLineEdit* edit)
{
    if (!res || !res->isTag(tag) || !res->toResString())
        return false;
    edit->setText(res->toResString()->value());
    return true;
}

} // namespace

StudioInterface* QAGVZConfig::iface = nullptr;

QAGVZConfig::QAGVZConfig(QWidget* parent, const char* name)
    : QDialog(parent), title(tr("Graphic", "Default title for the graphic")), automaticScale(true),
      showLineX(true), showLineY(true), showLineZ(true), showUnitX(true), showUnitY(true),
      showUnitZ(true), showDotX(true), showDotY(true), showDotZ(true), stepLineX(1.0f),
      stepLineY(1.0f), stepLineZ(1.0f), stepUnitX(1.0f), stepUnitY(1.0f), stepUnitZ(1.0f),
      stepDotX(0.5f), stepDotY(0.5f), stepDotZ(0.5f)
{
    setObjectName(QString::fromLatin1(name));
    setModal(true);
    setWindowTitle(tr("Graphic Viewer", "Title of configuration window"));

    auto* top = new QHBoxLayout(this);
    top->setContentsMargins(10, 10, 10, 10);
    top->setSpacing(10);
    auto* left = new QVBoxLayout;
    left->setSpacing(5);
    auto* right = new QVBoxLayout;
    right->setSpacing(5);
    top->addLayout(left);
    top->addLayout(right);

    auto* graphicGroup = new QGroupBox(tr("Graphic"), this);
    auto* graphicGrid = new QGridLayout(graphicGroup);
    titleEdit = new QLineEdit(graphicGroup);
    titleEdit->setObjectName(QStringLiteral("titleEdit"));
    graphicGrid->addWidget(new QLabel(tr("Title:"), graphicGroup), 0, 0);
    graphicGrid->addWidget(titleEdit, 0, 1);
    left->addWidget(graphicGroup);

    auto* setupGroup = new QGroupBox(tr("Axis Setup"), this);
    auto* setupColumn = new QVBoxLayout(setupGroup);
    autoScaleCheck = new QCheckBox(tr("Automatic Axis Setup"), setupGroup);
    autoScaleCheck->setObjectName(QStringLiteral("autoScaleCheck"));
    setupColumn->addWidget(autoScaleCheck);
    axisXGroup = buildAxisGroup(tr("X Axis"), 0, setupGroup);
    axisYGroup = buildAxisGroup(tr("Y Axis"), 1, setupGroup);
    axisZGroup = buildAxisGroup(tr("Z Axis"), 2, setupGroup);
    setupColumn->addWidget(axisXGroup);
    setupColumn->addWidget(axisYGroup);
    setupColumn->addWidget(axisZGroup);
    left->addWidget(setupGroup);

    auto* okButton = new QPushButton(tr("OK"), this);
    okButton->setObjectName(QStringLiteral("okButton"));
    okButton->setDefault(true);
    auto* cancelButton = new QPushButton(tr("Cancel"), this);
    cancelButton->setObjectName(QStringLiteral("cancelButton"));
    auto* helpButton = new QPushButton(tr("Help"), this);
    helpButton->setObjectName(QStringLiteral("helpButton"));
    saveButton = new QPushButton(QIcon(QPixmap(save_xpm)), tr("Save..."), this);
    saveButton->setObjectName(QStringLiteral("saveButton"));
    loadButton = new QPushButton(QIcon(QPixmap(open_xpm)), tr("Load..."), this);
    loadButton->setObjectName(QStringLiteral("loadButton"));
    right->addWidget(okButton);
    right->addWidget(cancelButton);
    right->addWidget(helpButton);
    right->addStretch();
    right->addWidget(saveButton);
    right->addWidget(loadButton);

    for (const Spacing& s : spacings())
        connect(s.check, &QCheckBox::clicked, this, &QAGVZConfig::updateEnabled);
    connect(okButton, &QPushButton::clicked, this, &QAGVZConfig::accept);
    connect(cancelButton, &QPushButton::clicked, this, &QAGVZConfig::reject);
    connect(helpButton, &QPushButton::clicked, this, &QAGVZConfig::help);
    connect(saveButton, &QPushButton::clicked, this, &QAGVZConfig::save);
    connect(loadButton, &QPushButton::clicked, this, &QAGVZConfig::load);
    connect(autoScaleCheck, &QCheckBox::toggled, this, &QAGVZConfig::autoScaleToggled);
    helpButton->hide();

    // The automatic box is set last: it starts unchecked, so checking it runs autoScaleToggled
    // and the dialog opens with the axis groups disabled.
    storedToWidgets();
}

void QAGVZConfig::setStudioInterface(StudioInterface* studio)
{
    iface = studio;
}

StudioInterface* QAGVZConfig::studioInterface()
{
    return iface;
}

std::array<QAGVZConfig::Spacing, 9> QAGVZConfig::spacings()
{
    return {{
        {showLineX, stepLineX, 1.0f, showLineXCheck, stepLineXEdit, "LineX", "show_line_x_",
         "step_line_x_"},
        {showLineY, stepLineY, 1.0f, showLineYCheck, stepLineYEdit, "LineY", "show_line_y_",
         "step_line_y_"},
        {showLineZ, stepLineZ, 1.0f, showLineZCheck, stepLineZEdit, "LineZ", "show_line_z_",
         "step_line_z_"},
        {showUnitX, stepUnitX, 1.0f, showUnitXCheck, stepUnitXEdit, "UnitX", "show_unit_x_",
         "step_unit_x_"},
        {showUnitY, stepUnitY, 1.0f, showUnitYCheck, stepUnitYEdit, "UnitY", "show_unit_y_",
         "step_unit_y_"},
        {showUnitZ, stepUnitZ, 1.0f, showUnitZCheck, stepUnitZEdit, "UnitZ", "show_unit_z_",
         "step_unit_z_"},
        {showDotX, stepDotX, 0.5f, showDotXCheck, stepDotXEdit, "DotX", "show_dot_x_",
         "step_dot_x_"},
        {showDotY, stepDotY, 0.5f, showDotYCheck, stepDotYEdit, "DotY", "show_dot_y_",
         "step_dot_y_"},
        {showDotZ, stepDotZ, 0.5f, showDotZCheck, stepDotZEdit, "DotZ", "show_dot_z_",
         "step_dot_z_"},
    }};
}

QGroupBox* QAGVZConfig::buildAxisGroup(const QString& caption, int axis, QWidget* parent)
{
    auto* group = new QGroupBox(caption, parent);
    group->setObjectName(QStringLiteral("axis%1Group").arg(QLatin1Char("XYZ"[axis])));
    auto* grid = new QGridLayout(group);
    const QString texts[] = {tr("Show Lines every:"), tr("Show Units every:"),
                             tr("Show Dots every:")};
    const auto all = spacings();
    for (int row = 0; row < 3; ++row) {
        const Spacing& s = all[static_cast<size_t>(3 * row + axis)];
        const QString name = QString::fromLatin1(s.name);
        s.check = new QCheckBox(texts[row], group);
        s.check->setObjectName(QLatin1String("show") + name + QLatin1String("Check"));
        s.edit = new QLineEdit(group);
        s.edit->setObjectName(QLatin1String("step") + name + QLatin1String("Edit"));
        s.edit->setValidator(new QRegularExpressionValidator(numberSyntax(), s.edit));
        grid->addWidget(s.check, row, 0);
        grid->addWidget(s.edit, row, 1);
    }
    return group;
}

void QAGVZConfig::storedToWidgets()
{
    titleEdit->setText(title);
    for (const Spacing& s : spacings()) {
        s.check->setChecked(s.show);
        s.edit->setText(stepText(s.step));
    }
    autoScaleCheck->setChecked(automaticScale);
}

QRegularExpression QAGVZConfig::numberSyntax()
{
    // A number with a decimal point or comma, whatever the user's locale; the validator lets
    // through what can still become one while typing.
    return QRegularExpression(QStringLiteral("[+-]?(\\d+([.,]\\d*)?|[.,]\\d+)([eE][+-]?\\d+)?"));
}

void QAGVZConfig::done(int result)
{
    lastGeometry = saveGeometry();
    QDialog::done(result);
}

void QAGVZConfig::showEvent(QShowEvent* event)
{
    // Where the user left it: the window manager's frame would shift it at every opening.
    if (!lastGeometry.isEmpty())
        restoreGeometry(lastGeometry);
    QDialog::showEvent(event);
}

void QAGVZConfig::accept()
{
    title = titleEdit->text();
    automaticScale = autoScaleCheck->isChecked();
    for (const Spacing& s : spacings()) {
        s.show = s.check->isChecked();
        bool ok = false;
        // A decimal comma counts as a point whatever the locale, as in trace files.
        const float value = QString(s.edit->text()).replace(u',', u'.').toFloat(&ok);
        // "nan" and "inf" convert but space nothing: they fall back like 0 and negatives do.
        s.step = ok && value > 0.0f && std::isfinite(value) ? value : s.defaultStep;
    }
    updateEnabled();
    QDialog::accept();
}

void QAGVZConfig::reject()
{
    storedToWidgets();
    updateEnabled();
    QDialog::reject();
}

void QAGVZConfig::help()
{
}

void QAGVZConfig::updateEnabled()
{
    const bool manual = !autoScaleCheck->isChecked();
    axisXGroup->setEnabled(manual);
    axisYGroup->setEnabled(manual);
    axisZGroup->setEnabled(manual);
    for (const Spacing& s : spacings())
        s.edit->setEnabled(s.check->isChecked());
}

void QAGVZConfig::autoScaleToggled(bool)
{
    updateEnabled();
}

QARes* QAGVZConfig::toResources()
{
    auto* group = new QAResGroup(QString::fromLatin1(groupKey));
    QARes* first = new QAResString(QString::fromLatin1(titleKey), titleEdit->text());
    QARes* last = first->setNext(
        new QAResBoolean(QString::fromLatin1(autoScaleKey), autoScaleCheck->isChecked()));
    const auto all = spacings();
    for (const Spacing& s : all)
        last =
            last->setNext(new QAResBoolean(QString::fromLatin1(s.showKey), s.check->isChecked()));
    for (const Spacing& s : all)
        last = last->setNext(new QAResString(QString::fromLatin1(s.stepKey), s.edit->text()));
    group->addChild(first);
    return group;
}

void QAGVZConfig::fromResources(QARes* res)
{
    if (!res || !res->toResGroup() || !res->isTag(groupKey))
        return;
    // A group without a usable automatic entry loads as manual set-up.
    autoScaleCheck->setChecked(false);
    const auto all = spacings();
    const auto take = [&](QARes* node) {
        if (strFromRes(node, titleKey, titleEdit)
            || boolFromRes(node, autoScaleKey, autoScaleCheck))
            return true;
        for (const Spacing& s : all) {
            if (boolFromRes(node, s.showKey, s.check))
                return true;
        }
        for (const Spacing& s : all) {
            if (strFromRes(node, s.stepKey, s.edit))
                return true;
        }
        return false;
    };
    for (QARes* child = res->toResGroup()->firstChild(); child; child = child->next())
        take(child);
}

void QAGVZConfig::save()
{
    QString fileName = askSaveFileName();
    if (fileName.isEmpty())
        return;
    if (QFileInfo(fileName).completeSuffix().isEmpty())
        fileName += QLatin1String(".cfx");
    if (QFile::exists(fileName) && !askReplace(fileName))
        return;

    // The previous file is replaced only by a complete new one.
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly)) {
        showCritical(tr("GVZ Viewer"), tr("Cannot open file \"%1\"").arg(fileName));
        return;
    }
    const std::unique_ptr<QARes> res(toResources());
    QTextStream stream(&file);
    res->write(stream, QString());
    stream.flush();
    if (stream.status() != QTextStream::Ok || !file.commit()) {
        showCritical(tr("GVZ Viewer"),
                     tr("Cannot write file \"%1\":\n%2").arg(fileName, file.errorString()));
        return;
    }

    if (QMainWindow* main = iface ? iface->mainWindow() : nullptr)
        main->statusBar()->showMessage(tr("GVZ Viewer Configuration saved.\n"));
}

void QAGVZConfig::load()
{
    const QString fileName = askOpenFileName();
    if (fileName.isEmpty())
        return;
    const std::unique_ptr<QARes> res(QARes::read(fileName, false));
    if (!res) {
        showCritical(QStringLiteral("GVZ Viewer"),
                     tr("Cannot read \"%1\" configuration file.").arg(fileName));
        return;
    }
    fromResources(res.get());
    // The show boxes were set without their clicked() signal.
    updateEnabled();
}

QString QAGVZConfig::askSaveFileName()
{
    // save() asks its own question about an existing file: the file dialog asks none.
    return QFileDialog::getSaveFileName(this, tr("Save configuration"), QDir::currentPath(),
                                        cfxFilter(), nullptr, QFileDialog::DontConfirmOverwrite);
}

QString QAGVZConfig::askOpenFileName()
{
    return QFileDialog::getOpenFileName(this, tr("Load Configuration"), QDir::currentPath(),
                                        cfxFilter());
}

bool QAGVZConfig::askReplace(const QString& fileName)
{
    QMessageBox box(
        QMessageBox::Warning, tr("GVZ Viewer"),
        tr("%1\nalready exists.\nReplace existing file?\n", "%1 is a file name\n").arg(fileName),
        QMessageBox::Yes | QMessageBox::No, this);
    // Escape or closing the box is no consent.
    return box.exec() == QMessageBox::Yes;
}

void QAGVZConfig::showCritical(const QString& caption, const QString& text)
{
    QMessageBox::critical(this, caption, text, QMessageBox::Ok);
}
