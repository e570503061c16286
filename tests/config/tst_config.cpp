#include "config/qagvzconfig.h"

#include "host/res/qares.h"
#include "host/studio/studiointerface.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QLineEdit>
#include <QMainWindow>
#include <QMessageBox>
#include <QPushButton>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <cmath>
#include <memory>

#include <csignal>
#include <sys/resource.h>

using ResPtr = std::unique_ptr<QARes>;

namespace {

// The nine spacings as the viewer sees them, in the dialog's order.
struct SpacingRef
{
    bool QAGVZConfig::*show;
    float QAGVZConfig::*step;
    QCheckBox* QAGVZConfig::*check;
    QLineEdit* QAGVZConfig::*edit;
    float defaultStep;
};

#define SPACING(n, d)                                                                              \
    {                                                                                              \
        &QAGVZConfig::show##n, &QAGVZConfig::step##n, &QAGVZConfig::show##n##Check,                \
            &QAGVZConfig::step##n##Edit, d                                                         \
    }
const SpacingRef spacingRefs[9] = {SPACING(LineX, 1.0f), SPACING(LineY, 1.0f), SPACING(LineZ, 1.0f),
                                   SPACING(UnitX, 1.0f), SPACING(UnitY, 1.0f), SPACING(UnitZ, 1.0f),
                                   SPACING(DotX, 0.5f),  SPACING(DotY, 0.5f),  SPACING(DotZ, 0.5f)};
#undef SPACING

const char* const stepKeys[9] = {"step_line_x_", "step_line_y_", "step_line_z_",
                                 "step_unit_x_", "step_unit_y_", "step_unit_z_",
                                 "step_dot_x_",  "step_dot_y_",  "step_dot_z_"};

// Answers the file-name questions itself; records critical boxes unless real ones are wanted.
class Probe : public QAGVZConfig
{
public:
    Probe() : QAGVZConfig(nullptr, "gvzcfg") {}
    using QAGVZConfig::fromResources;
    using QAGVZConfig::toResources;

    QCheckBox* check(int i) const { return this->*spacingRefs[i].check; }
    QLineEdit* edit(int i) const { return this->*spacingRefs[i].edit; }
    float storedStep(int i) const { return this->*spacingRefs[i].step; }
    QPushButton* button(const char* name) const
    {
        return findChild<QPushButton*>(QLatin1String(name));
    }
    void saveAs(const QString& name)
    {
        saveAnswer = name;
        saveButton->click();
    }
    void loadFrom(const QString& name)
    {
        openAnswer = name;
        loadButton->click();
    }
    // Title, automatic box, then each show box and step text.
    QStringList widgetState() const
    {
        QStringList state{titleEdit->text(), QString::number(autoScaleCheck->isChecked())};
        for (int i = 0; i < 9; ++i)
            state << QString::number(check(i)->isChecked()) << edit(i)->text();
        return state;
    }
    QStringList storedState() const
    {
        QStringList state{title, QString::number(automaticScale)};
        for (const SpacingRef& s : spacingRefs)
            state << QString::number(this->*s.show) << QString::number(this->*s.step);
        return state;
    }

    QString saveAnswer, openAnswer;
    QStringList criticals;
    bool realBoxes = false;

protected:
    QString askSaveFileName() override { return saveAnswer; }
    QString askOpenFileName() override { return openAnswer; }
    void showCritical(const QString& caption, const QString& text) override
    {
        if (realBoxes)
            QAGVZConfig::showCritical(caption, text);
        else
            criticals << caption + QLatin1String(": ") + text;
    }
};

class FakeStudio final : public StudioInterface
{
public:
    explicit FakeStudio(bool withWindow) : window(withWindow ? new QMainWindow : nullptr) {}
    QMainWindow* mainWindow() override { return window.get(); }
    QString exportDirectory() override { return QString(); }
    QString htmlGenerator() override { return QString(); }
    void registerResourceProducer(QAResProducer*) override {}
    int insertMenu(const QString&, QMenu*) override { return 0; }
    void removeMenu(int) override {}
    long queryInterface(const QUuid&, QUnknownInterface** iface) override
    {
        *iface = nullptr;
        return NoInterface;
    }
    unsigned long addRef() override { return 1; }
    unsigned long release() override { return 1; }
    QString status() const { return window ? window->statusBar()->currentMessage() : QString(); }

    std::unique_ptr<QMainWindow> window;
};

// Ways of answering a message box besides clicking one of its standard buttons.
enum Dismiss { EscapeKey = 1, CloseWindow = 2 };

// Waits for the next modal message box, notes what it asks and answers it with `answer`, a
// QMessageBox::StandardButton or a Dismiss.
class BoxAnswer : public QObject
{
public:
    explicit BoxAnswer(int answer)
    {
        connect(&timer, &QTimer::timeout, this, [this, answer] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box)
                return;
            timer.stop();
            caption = box->windowTitle();
            text = box->text();
            icon = box->icon();
            buttons = box->standardButtons();
            if (answer == EscapeKey)
                QTest::keyClick(box, Qt::Key_Escape);
            else if (answer == CloseWindow)
                box->close();
            else
                box->button(QMessageBox::StandardButton(answer))->click();
        });
        timer.start(10);
    }
    QTimer timer;
    QString caption, text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QMessageBox::StandardButtons buttons;
};

void writeFile(const QString& name, const QByteArray& data)
{
    QFile file(name);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(data), data.size());
}

QByteArray readFile(const QString& name)
{
    QFile file(name);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QByteArray configXml(const QByteArray& children, const QByteArray& tag = "gvzconfig")
{
    return "<resources version=\"1\"><group tag=\"" + tag + "\">" + children +
           "</group></resources>";
}

const QString savedText = QStringLiteral("GVZ Viewer Configuration saved.\n");

} // namespace

class TestConfig : public QObject
{
    Q_OBJECT
private slots:
    void init()
    {
        studio = std::make_unique<FakeStudio>(true);
        QAGVZConfig::setStudioInterface(studio.get());
        dir = std::make_unique<QTemporaryDir>();
        QVERIFY(dir->isValid());
    }

    void cleanup()
    {
        QAGVZConfig::setStudioInterface(nullptr);
        studio.reset();
        dir.reset();
    }

    void freshDialogShowsDefaults()
    {
        Probe dlg;
        QCOMPARE(dlg.objectName(), QStringLiteral("gvzcfg"));
        QVERIFY(dlg.isModal());
        QCOMPARE(dlg.windowTitle(), QStringLiteral("Graphic Viewer"));
        QCOMPARE(dlg.title, QStringLiteral("Graphic"));
        QCOMPARE(dlg.titleEdit->text(), QStringLiteral("Graphic"));
        QVERIFY(dlg.automaticScale);
        QVERIFY(dlg.autoScaleCheck->isChecked());
        QCOMPARE(dlg.autoScaleCheck->text(), QStringLiteral("Automatic Axis Setup"));
        for (QGroupBox* group : {dlg.axisXGroup, dlg.axisYGroup, dlg.axisZGroup})
            QVERIFY(!group->isEnabled());
        QCOMPARE(dlg.axisZGroup->title(), QStringLiteral("Z Axis"));
        QVERIFY(dlg.button("helpButton")->isHidden());
        QVERIFY(!dlg.button("okButton")->isHidden());
        QCOMPARE(dlg.saveButton->text(), QStringLiteral("Save..."));
        QCOMPARE(dlg.loadButton->text(), QStringLiteral("Load..."));
        for (QPushButton* b : {dlg.saveButton, dlg.loadButton})
            QCOMPARE(b->icon().availableSizes(), QList<QSize>{QSize(16, 16)});
    }

    void spacingStartsFromDefaultAndEnablesOnlyItsStep_data()
    {
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("label");
        const char* const names[] = {"lines x", "lines y", "lines z", "units x", "units y",
                                     "units z", "dots x",  "dots y",  "dots z"};
        const char* const labels[] = {"Show Lines every:", "Show Units every:", "Show Dots every:"};
        for (int i = 0; i < 9; ++i)
            QTest::newRow(names[i]) << i << QString::fromLatin1(labels[i / 3]);
    }

    void spacingStartsFromDefaultAndEnablesOnlyItsStep()
    {
        QFETCH(int, index);
        QFETCH(QString, label);
        Probe dlg;
        const SpacingRef& s = spacingRefs[index];
        QVERIFY(dlg.*s.show);
        QCOMPARE(dlg.*s.step, s.defaultStep);
        QCOMPARE(dlg.check(index)->text(), label);
        QVERIFY(dlg.check(index)->isChecked());
        QCOMPARE(dlg.edit(index)->text(), QString::number(s.defaultStep));
        QGroupBox* const groups[] = {dlg.axisXGroup, dlg.axisYGroup, dlg.axisZGroup};
        QVERIFY(dlg.check(index)->parentWidget() == groups[index % 3]);
        QVERIFY(dlg.edit(index)->isEnabledTo(groups[index % 3]));
        QVERIFY(!dlg.edit(index)->isEnabled());

        dlg.check(index)->click(); // inside a disabled group: no effect
        QVERIFY(dlg.check(index)->isChecked());

        dlg.autoScaleCheck->click();
        QVERIFY(dlg.axisXGroup->isEnabled() && dlg.axisYGroup->isEnabled() &&
                dlg.axisZGroup->isEnabled());
        dlg.check(index)->click();
        for (int i = 0; i < 9; ++i)
            QCOMPARE(dlg.edit(i)->isEnabled(), i != index);
        dlg.check(index)->click();
        QVERIFY(dlg.edit(index)->isEnabled());
        QVERIFY(dlg.automaticScale); // only OK stores it
    }

    void okStoresUsableStepsOnly_data()
    {
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("text");
        QTest::addColumn<float>("expected");
        QTest::newRow("zero") << 0 << "0" << 1.0f;
        QTest::newRow("minus one") << 1 << "-1" << 1.0f;
        QTest::newRow("empty") << 5 << "" << 1.0f;
        QTest::newRow("lone minus") << 6 << "-" << 0.5f;
        QTest::newRow("not a number") << 7 << "abc" << 0.5f;
        QTest::newRow("nan") << 8 << "nan" << 0.5f;
        QTest::newRow("inf") << 4 << "inf" << 1.0f;
        QTest::newRow("minus inf") << 3 << "-inf" << 1.0f;
        QTest::newRow("beyond float") << 6 << "1e39" << 0.5f;
        QTest::newRow("two and a half") << 2 << "2.5" << 2.5f;
        QTest::newRow("exponent") << 3 << "1e3" << 1000.0f;
        QTest::newRow("small dots") << 8 << "0.001" << 0.001f;
    }

    void okStoresUsableStepsOnly()
    {
        QFETCH(int, index);
        QFETCH(QString, text);
        QFETCH(float, expected);
        Probe dlg;
        // Through a loaded group: texts that typing cannot produce arrive this way.
        auto* group = new QAResGroup(QStringLiteral("gvzconfig"));
        group->addChild(new QAResString(QString::fromLatin1(stepKeys[index]), text));
        ResPtr res(group);
        dlg.fromResources(res.get());
        QCOMPARE(dlg.edit(index)->text(), text);

        for (int round = 0; round < 2; ++round) {
            dlg.button("okButton")->click();
            QCOMPARE(dlg.result(), int(QDialog::Accepted));
            QCOMPARE(dlg.storedStep(index), expected);
            QCOMPARE(dlg.edit(index)->text(), text);
        }
        for (int i = 0; i < 9; ++i)
            QVERIFY(std::isfinite(dlg.storedStep(i)) && dlg.storedStep(i) > 0.0f);
    }

    void rejectedStepTextStaysVisible()
    {
        Probe dlg;
        dlg.autoScaleCheck->click();
        dlg.stepLineYEdit->selectAll();
        QTest::keyClicks(dlg.stepLineYEdit, QStringLiteral("-2"));
        QCOMPARE(dlg.stepLineYEdit->text(), QStringLiteral("-2"));
        dlg.button("okButton")->click();
        QCOMPARE(dlg.stepLineY, 1.0f);
        QCOMPARE(dlg.stepLineYEdit->text(), QStringLiteral("-2"));
        QVERIFY(!dlg.automaticScale);
        dlg.button("cancelButton")->click();
        QCOMPARE(dlg.stepLineYEdit->text(), QStringLiteral("1"));
    }

    void dismissRestoresStoredValues_data()
    {
        QTest::addColumn<int>("how");
        QTest::newRow("cancel button") << 0;
        QTest::newRow("escape key") << 1;
        QTest::newRow("window closed") << 2;
    }

    void dismissRestoresStoredValues()
    {
        QFETCH(int, how);
        Probe dlg;
        // First store non-default values, then edit and dismiss.
        dlg.titleEdit->setText(QStringLiteral("Stored"));
        dlg.autoScaleCheck->click();
        dlg.showUnitYCheck->click();
        dlg.stepDotZEdit->setText(QStringLiteral("0.25"));
        dlg.button("okButton")->click();
        const QStringList stored = dlg.storedState();
        const QStringList shown = dlg.widgetState();

        dlg.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dlg));
        dlg.titleEdit->setText(QStringLiteral("Edited"));
        dlg.autoScaleCheck->click();
        dlg.showUnitYCheck->setChecked(true);
        dlg.showDotXCheck->setChecked(false);
        dlg.stepDotZEdit->setText(QStringLiteral("3"));
        if (how == 0)
            dlg.button("cancelButton")->click();
        else if (how == 1)
            QTest::keyClick(&dlg, Qt::Key_Escape);
        else
            dlg.close();
        QCOMPARE(dlg.result(), int(QDialog::Rejected));
        QVERIFY(!dlg.isVisible());
        QCOMPARE(dlg.storedState(), stored);
        QCOMPARE(dlg.widgetState(), shown);
        QVERIFY(dlg.axisXGroup->isEnabled());
        QVERIFY(!dlg.stepUnitYEdit->isEnabled());
        QVERIFY(dlg.stepDotXEdit->isEnabled());
    }

    void loadThenCancelKeepsStoredValues()
    {
        const QString name = dir->filePath(QStringLiteral("other.cfx"));
        {
            Probe source;
            source.titleEdit->setText(QStringLiteral("Other"));
            source.stepUnitXEdit->setText(QStringLiteral("4"));
            source.showDotYCheck->setChecked(false);
            source.saveAs(name);
        }
        Probe dlg;
        const QStringList stored = dlg.storedState();
        const QStringList shown = dlg.widgetState();
        dlg.loadFrom(name);
        QCOMPARE(dlg.titleEdit->text(), QStringLiteral("Other"));
        QCOMPARE(dlg.storedState(), stored);
        dlg.button("cancelButton")->click();
        QCOMPARE(dlg.storedState(), stored);
        QCOMPARE(dlg.widgetState(), shown);
    }

    void toResourcesWritesTheTwentyKeysInOrder()
    {
        Probe dlg;
        dlg.showUnitZCheck->setChecked(false);
        dlg.stepDotYEdit->setText(QStringLiteral("x"));
        ResPtr res(dlg.toResources());
        QVERIFY(res && res->toResGroup() && res->isTag("gvzconfig"));
        QVERIFY(!res->next());
        QStringList written;
        for (QARes* node = res->toResGroup()->firstChild(); node; node = node->next()) {
            if (const QAResString* s = node->toResString())
                written << node->tag() + QLatin1Char('=') + s->value();
            else if (const QAResBoolean* b = node->toResBoolean())
                written << node->tag() + (b->value() ? QLatin1String("?1") : QLatin1String("?0"));
            else
                written << node->tag() + QLatin1String("!");
        }
        const QStringList expected =
            QStringLiteral(
                "graphic_title=Graphic automatic_scale?1 show_line_x_?1 show_line_y_?1 "
                "show_line_z_?1 "
                "show_unit_x_?1 show_unit_y_?1 show_unit_z_?0 show_dot_x_?1 show_dot_y_?1 "
                "show_dot_z_?1 "
                "step_line_x_=1 step_line_y_=1 step_line_z_=1 step_unit_x_=1 step_unit_y_=1 "
                "step_unit_z_=1 step_dot_x_=0.5 step_dot_y_=x step_dot_z_=0.5")
                .split(QLatin1Char(' '));
        QCOMPARE(written, expected);
    }

    void saveAndLoadRoundTrip_data()
    {
        QTest::addColumn<QString>("title");
        QTest::addColumn<bool>("autoScale");
        QTest::addColumn<int>("uncheckedMask");
        QTest::addColumn<QStringList>("steps");
        const QStringList defaults{"1", "1", "1", "1", "1", "1", "0.5", "0.5", "0.5"};
        QTest::newRow("defaults") << "Graphic" << true << 0 << defaults;
        QTest::newRow("empty title and steps that are no numbers")
            << "" << false << 0b100100010
            << QStringList{"abc", "", "-", "nan", "1e3", " 2 ", "-7", "inf", "0.125"};
        QTest::newRow("markup and unicode title")
            << "<b>Débit & \"flux\"</b> °C" << false << 0b111111111 << defaults;
    }

    void saveAndLoadRoundTrip()
    {
        QFETCH(QString, title);
        QFETCH(bool, autoScale);
        QFETCH(int, uncheckedMask);
        QFETCH(QStringList, steps);
        const QString name = dir->filePath(QStringLiteral("round.cfx"));
        Probe source;
        source.titleEdit->setText(title);
        source.autoScaleCheck->setChecked(autoScale);
        for (int i = 0; i < 9; ++i) {
            source.check(i)->setChecked(!(uncheckedMask & (1 << i)));
            source.edit(i)->setText(steps.at(i));
        }
        source.saveAs(name);
        QVERIFY(source.criticals.isEmpty());
        QCOMPARE(studio->status(), savedText);

        Probe target; // starts opposite to the source wherever it can
        target.titleEdit->setText(QStringLiteral("before"));
        target.autoScaleCheck->setChecked(!autoScale);
        for (int i = 0; i < 9; ++i) {
            target.check(i)->setChecked(uncheckedMask & (1 << i));
            target.edit(i)->setText(QStringLiteral("9"));
        }
        const QStringList stored = target.storedState();
        target.loadFrom(name);
        QVERIFY(target.criticals.isEmpty());
        QCOMPARE(target.widgetState(), source.widgetState());
        QCOMPARE(target.storedState(), stored);
        QCOMPARE(target.axisYGroup->isEnabled(), !autoScale);
        for (int i = 0; i < 9; ++i)
            QCOMPARE(target.edit(i)->isEnabledTo(target.edit(i)->parentWidget()),
                     target.check(i)->isChecked());
    }

    void extensionRule_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("written");
        const char* const rows[][2] = {{"axes", "axes.cfx"},
                                       {"axes.txt", "axes.txt"},
                                       {"my.axes.conf", "my.axes.conf"},
                                       {"axes.", "axes..cfx"},
                                       {"my.dir/axes", "my.dir/axes.cfx"}};
        for (const auto& row : rows)
            QTest::newRow(row[0]) << QString(row[0]) << QString(row[1]);
    }

    void extensionRule()
    {
        QFETCH(QString, typed);
        QFETCH(QString, written);
        QVERIFY(QDir(dir->path()).mkdir(QStringLiteral("my.dir")));
        Probe dlg;
        dlg.saveAs(dir->filePath(typed));
        QVERIFY(dlg.criticals.isEmpty());
        ResPtr back(QARes::read(dir->filePath(written), false));
        QVERIFY(back && back->isTag("gvzconfig"));
        if (typed != written)
            QVERIFY(!QFile::exists(dir->filePath(typed)));
    }

    void replaceQuestion_data()
    {
        QTest::addColumn<int>("answer");
        QTest::addColumn<bool>("replaced");
        QTest::newRow("no") << int(QMessageBox::No) << false;
        QTest::newRow("escape") << int(EscapeKey) << false;
        QTest::newRow("closed") << int(CloseWindow) << false;
        QTest::newRow("yes") << int(QMessageBox::Yes) << true;
    }

    void replaceQuestion()
    {
        QFETCH(int, answer);
        QFETCH(bool, replaced);
        const QString target = dir->filePath(QStringLiteral("axes.cfx"));
        writeFile(target, "previous");
        Probe dlg;
        BoxAnswer box(answer);
        dlg.saveAs(dir->filePath(QStringLiteral("axes")));
        QCOMPARE(box.caption, QStringLiteral("GVZ Viewer"));
        QCOMPARE(box.text, target + QStringLiteral("\nalready exists.\nReplace existing file?\n"));
        QCOMPARE(box.icon, QMessageBox::Warning);
        QCOMPARE(box.buttons, QMessageBox::Yes | QMessageBox::No);
        QCOMPARE(readFile(target) != "previous", replaced);
        QCOMPARE(studio->status(), replaced ? savedText : QString());
        if (replaced) {
            ResPtr back(QARes::read(target, false));
            QVERIFY(back && back->isTag("gvzconfig"));
        }
    }

    void loadFillsOnlyUsableEntries_data()
    {
        QTest::addColumn<QByteArray>("xml");
        QTest::addColumn<QString>("title");
        QTest::addColumn<bool>("autoScale");
        QTest::addColumn<bool>("showLineX");
        QTest::addColumn<QString>("stepLineX");
        QTest::newRow("only the title") << configXml("<string tag=\"graphic_title\">Only</string>")
                                        << "Only" << false << false << "7";
        QTest::newRow("automatic as a string node")
            << configXml("<string tag=\"automatic_scale\">true</string>") << "Before" << false
            << false << "7";
        QTest::newRow("automatic and show flags")
            << configXml("<boolean tag=\"automatic_scale\">true</boolean>"
                         "<boolean tag=\"show_line_x_\">true</boolean>")
            << "Before" << true << true << "7";
        QTest::newRow("entries of the other node type")
            << configXml("<boolean tag=\"graphic_title\">true</boolean>"
                         "<string tag=\"show_line_x_\">true</string>"
                         "<boolean tag=\"step_line_x_\">true</boolean>")
            << "Before" << false << false << "7";
        QTest::newRow("keys that are none of ours")
            << configXml(
                   "<string tag=\"graphic_title_\">No</string>"
                   "<string tag=\"step_line_x\">3</string>"
                   "<rgb tag=\"step_line_x_\" red=\"1\" green=\"2\" blue=\"3\"/>"
                   "<group tag=\"gvzconfig\"><string tag=\"graphic_title\">Deep</string></group>")
            << "Before" << false << false << "7";
        QTest::newRow("the later of two wins")
            << configXml("<string tag=\"step_line_x_\">2</string>"
                         "<string tag=\"step_line_x_\">3</string>")
            << "Before" << false << false << "3";
        QTest::newRow("foreign group tag")
            << configXml("<string tag=\"graphic_title\">Foreign</string>", "gvz_viewer") << "Before"
            << true << false << "7";
        QTest::newRow("string at the top")
            << QByteArray(
                   "<resources version=\"1\"><string tag=\"gvzconfig\">x</string></resources>")
            << "Before" << true << false << "7";
    }

    void loadFillsOnlyUsableEntries()
    {
        QFETCH(QByteArray, xml);
        QFETCH(QString, title);
        QFETCH(bool, autoScale);
        QFETCH(bool, showLineX);
        QFETCH(QString, stepLineX);
        const QString name = dir->filePath(QStringLiteral("part.cfx"));
        writeFile(name, xml);
        Probe dlg;
        dlg.titleEdit->setText(QStringLiteral("Before"));
        dlg.autoScaleCheck->click();
        dlg.showLineXCheck->click();
        dlg.stepLineXEdit->setText(QStringLiteral("7"));
        dlg.autoScaleCheck->click();
        QStringList others = dlg.widgetState().mid(4);
        dlg.loadFrom(name);
        QVERIFY(dlg.criticals.isEmpty());
        QCOMPARE(dlg.titleEdit->text(), title);
        QCOMPARE(dlg.autoScaleCheck->isChecked(), autoScale);
        QCOMPARE(dlg.axisXGroup->isEnabled(), !autoScale);
        QCOMPARE(dlg.showLineXCheck->isChecked(), showLineX);
        QCOMPARE(dlg.stepLineXEdit->isEnabledTo(dlg.axisXGroup), showLineX);
        QCOMPARE(dlg.stepLineXEdit->text(), stepLineX);
        QCOMPARE(dlg.widgetState().mid(4), others);
    }

    void unreadableFileIsReported_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QByteArray>("content");
        QTest::newRow("missing") << "missing.cfx" << QByteArray();
        QTest::newRow("empty") << "empty.cfx" << QByteArray("");
        QTest::newRow("not xml") << "text.cfx" << QByteArray("graphic_title=Graphic\n");
        QTest::newRow("truncated")
            << "cut.cfx" << configXml("<string tag=\"graphic_title\">A").left(60);
        QTest::newRow("a folder") << "folder.cfx" << QByteArray();
    }

    void unreadableFileIsReported()
    {
        QFETCH(QString, file);
        QFETCH(QByteArray, content);
        const QString name = dir->filePath(file);
        if (file == QLatin1String("folder.cfx"))
            QVERIFY(QDir(dir->path()).mkdir(file));
        else if (!content.isNull())
            writeFile(name, content);
        Probe dlg;
        const QStringList shown = dlg.widgetState();
        dlg.loadFrom(name);
        QCOMPARE(
            dlg.criticals,
            QStringList{
                QStringLiteral("GVZ Viewer: Cannot read \"%1\" configuration file.").arg(name)});
        QCOMPARE(dlg.widgetState(), shown);
    }

    void unwritableTargetIsReported_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("critical"); // %1: the target; a write failure adds its reason
        QTest::newRow("missing folder") << "missing/axes"
                                        << "Cannot open file \"%1\"";
        QTest::newRow("target is a folder") << "folder/axes"
                                            << "Cannot open file \"%1\"";
        QTest::newRow("write fails after the open") << "full/axes"
                                                    << "Cannot write file \"%1\":\n";
    }

    void unwritableTargetIsReported()
    {
        QFETCH(QString, typed);
        QFETCH(QString, critical);
        const QString target = dir->filePath(typed + ".cfx");
        const QString folder = dir->filePath(typed.section('/', 0, 0));
        const bool full = typed.startsWith("full");
        if (!typed.startsWith("missing"))
            QVERIFY(QDir().mkpath(full ? folder : target));
        if (full)
            writeFile(target, "previous");
        Probe dlg;
        BoxAnswer box(QMessageBox::Yes);
        // A file size limit makes the write itself fail after the file was opened.
        rlimit old{};
        QCOMPARE(getrlimit(RLIMIT_FSIZE, &old), 0);
        rlimit limit = old;
        limit.rlim_cur = full ? 64 : old.rlim_cur;
        const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        QCOMPARE(setrlimit(RLIMIT_FSIZE, &limit), 0);
        dlg.saveAs(dir->filePath(typed));
        setrlimit(RLIMIT_FSIZE, &old);
        std::signal(SIGXFSZ, oldHandler);

        const QString expected = "GVZ Viewer: " + critical.arg(target);
        QCOMPARE(dlg.criticals.size(), 1);
        QVERIFY2(dlg.criticals.first().startsWith(expected), qPrintable(dlg.criticals.first()));
        QCOMPARE(dlg.criticals.first().size() > expected.size(), full);
        QCOMPARE(readFile(target), QByteArray(full ? "previous" : ""));
        QCOMPARE(QDir(folder).entryList(QDir::Files),
                 full ? QStringList{"axes.cfx"} : QStringList());
        QCOMPARE(studio->status(), QString());
    }

    void criticalBoxIsModalWithOneOk()
    {
        Probe dlg;
        dlg.realBoxes = true;
        BoxAnswer box(QMessageBox::Ok);
        const QString name = dir->filePath(QStringLiteral("none.cfx"));
        dlg.loadFrom(name);
        QCOMPARE(box.caption, QStringLiteral("GVZ Viewer"));
        QCOMPARE(box.text, QStringLiteral("Cannot read \"%1\" configuration file.").arg(name));
        QCOMPARE(box.icon, QMessageBox::Critical);
        QCOMPARE(box.buttons, QMessageBox::Ok);
    }

    void cancelledFileQuestionsDoNothing()
    {
        Probe dlg;
        dlg.titleEdit->setText(QStringLiteral("Kept"));
        dlg.saveAs(QString());
        dlg.loadFrom(QString());
        QCOMPARE(QDir(dir->path()).entryList(QDir::Files), QStringList());
        QCOMPARE(dlg.titleEdit->text(), QStringLiteral("Kept"));
        QVERIFY(dlg.criticals.isEmpty());
        QCOMPARE(studio->status(), QString());
    }

    void savedTextNeedsAMainWindow()
    {
        for (bool withInterface : {false, true}) {
            FakeStudio windowless(false);
            QAGVZConfig::setStudioInterface(withInterface ? &windowless : nullptr);
            QCOMPARE(QAGVZConfig::studioInterface(), withInterface ? &windowless : nullptr);
            Probe dlg;
            const QString name = dir->filePath(QStringLiteral("a%1.cfx").arg(withInterface));
            dlg.saveAs(name);
            QVERIFY(QFile::exists(name));
            QVERIFY(dlg.criticals.isEmpty());
        }
    }

private:
    std::unique_ptr<FakeStudio> studio;
    std::unique_ptr<QTemporaryDir> dir;
};

QTEST_MAIN(TestConfig)
#include "tst_config.moc"
