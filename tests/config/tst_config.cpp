#include "config/qagvzconfig.h"

#include "host/res/qares.h"
#include "tests/viewer/viewertestutil.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileDialog>
#include <QGroupBox>
#include <QLineEdit>
#include <QMainWindow>
#include <QMessageBox>
#include <QPushButton>
#include <QScopeGuard>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <csignal>
#include <memory>
#include <sys/resource.h>

namespace {

// The nine spacings in the dialog's order: widget names and stored values.
const char* const kinds[9] = {"LineX", "LineY", "LineZ", "UnitX", "UnitY",
                              "UnitZ", "DotX",  "DotY",  "DotZ"};
#define SPACING(n) std::make_pair(&QAGVZConfig::show##n, &QAGVZConfig::step##n)
const std::pair<bool QAGVZConfig::*, float QAGVZConfig::*> values[9] = {
    SPACING(LineX), SPACING(LineY), SPACING(LineZ), SPACING(UnitX), SPACING(UnitY),
    SPACING(UnitZ), SPACING(DotX),  SPACING(DotY),  SPACING(DotZ)};
#undef SPACING

// Title, automatic box, then each show box and step text: what a fresh dialog holds and shows.
const QStringList defaults =
    QStringLiteral("Graphic 1 1 1 1 1 1 1 1 1 1 1 1 1 1 0.5 1 0.5 1 0.5").split(' ');
const QString savedText = QStringLiteral("GVZ Viewer Configuration saved.\n");

// Answers the file-name questions itself and records critical boxes.
class Probe : public QAGVZConfig
{
public:
    Probe() : QAGVZConfig(nullptr, "gvzcfg") {}
    using QAGVZConfig::toResources;

    QCheckBox* check(int i) const
    {
        return findChild<QCheckBox*>(QString("show") + kinds[i] + "Check");
    }
    QLineEdit* edit(int i) const
    {
        return findChild<QLineEdit*>(QString("step") + kinds[i] + "Edit");
    }
    void click(const char* button) { findChild<QPushButton*>(QLatin1String(button))->click(); }
    // Clicks Save... or Load... with the file dialog answering `name`.
    void press(QPushButton* button, const QString& name)
    {
        answer = name;
        button->click();
    }
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
        for (const auto& s : values)
            state << QString::number(this->*s.first) << QString::number(this->*s.second);
        return state;
    }

    QString answer;
    QStringList criticals;

protected:
    QString askSaveFileName() override { return answer; }
    QString askOpenFileName() override { return answer; }
    void showCritical(const QString& caption, const QString& text) override
    {
        criticals << caption + QLatin1String(": ") + text;
    }
};

// Asks for the file name with the real file dialog; answers the replace question itself.
class RealFileDialog : public Probe
{
public:
    int replaceQuestions = 0;

protected:
    QString askSaveFileName() override { return QAGVZConfig::askSaveFileName(); }
    bool askReplace(const QString&) override
    {
        ++replaceQuestions;
        return true;
    }
};

// How a dialog or message box goes away without a button that accepts.
enum Dismiss { CancelButton, CloseWindow, LoadThenCancel };
// Where `axes` is saved: over an existing file, into a missing folder, or over an existing file
// on a disk that fills up after the open.
enum Target { Existing, MissingFolder, Full };

// Answers the next message box (a StandardButton or CloseWindow); notes caption, text,
// icon and buttons.
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
            seen = QStringList{box->windowTitle(), box->text(), QString::number(box->icon()),
                               QString::number(box->standardButtons())};
            if (answer == CloseWindow)
                box->close();
            else
                box->button(QMessageBox::StandardButton(answer))->click();
        });
        timer.start(10);
    }
    QTimer timer;
    QStringList seen;
};

QByteArray configXml(const QByteArray& children, const QByteArray& tag = "gvzconfig")
{
    return "<resources version=\"1\"><group tag=\"" + tag + "\">" + children
           + "</group></resources>";
}

} // namespace

class TestConfig : public QObject
{
    Q_OBJECT
    FakeStudio studio;
    QMainWindow window;
    std::unique_ptr<QTemporaryDir> dir;

    QString status() const { return window.statusBar()->currentMessage(); }

private slots:
    void init()
    {
        dir = std::make_unique<QTemporaryDir>();
        studio.window = &window;
        window.statusBar()->clearMessage();
        QAGVZConfig::setStudioInterface(&studio);
    }

    void freshDialogAndUpdateEnabled()
    {
        Probe dlg;
        QCOMPARE(dlg.storedState(), defaults);
        QCOMPARE(dlg.widgetState(), defaults);
        QVERIFY(!dlg.axisXGroup->isEnabled() && !dlg.axisZGroup->isEnabled());
        dlg.autoScaleCheck->click(); // the groups, then each show box its step
        for (int i = 0; i < 9; ++i) {
            dlg.check(i)->click();
            for (int j = 0; j < 9; ++j)
                QCOMPARE(dlg.edit(j)->isEnabled(), j > i);
        }
        QCOMPARE(dlg.storedState(), defaults); // only OK stores
    }

    // Only OK stores, and only a usable step; the text stays as given until Cancel shows the
    // stored value back as a .cfx file holds it. Steps are typed where a locale is set, else
    // filled in unvalidated as a loaded file fills them.
    void okStoresUsableStepsOnly_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("text");
        QTest::addColumn<float>("expected");
        const auto row = [](const char* name, const char* locale, int index, const char* text,
                            float expected) {
            QTest::newRow(name) << QString(locale) << index << QString(text) << expected;
        };
        row("zero", "C", 0, "0", 1.0f);
        row("minus one", "C", 1, "-1", 1.0f);
        row("empty", "C", 5, "", 1.0f);
        row("not a number", "C", 7, "abc", 0.5f);
        row("nan", "C", 8, "nan", 0.5f);
        row("inf", "C", 4, "inf", 1.0f);
        row("two and a half", "C", 2, "2.5", 2.5f);
        row("comma locale, comma", "de_DE", 3, "2,5", 2.5f);
        row("comma locale, exponent", "fr_FR", 6, "1,5e2", 150.0f);
    }

    void okStoresUsableStepsOnly()
    {
        QFETCH(QString, locale);
        QFETCH(int, index);
        QFETCH(QString, text);
        QFETCH(float, expected);
        const QLocale old;
        QLocale::setDefault(QLocale(locale));
        Probe dlg;
        QLocale::setDefault(old);
        dlg.autoScaleCheck->setChecked(false);
        dlg.edit(index)->clear();
        if (locale == "C")
            dlg.edit(index)->setText(text);
        else
            QTest::keyClicks(dlg.edit(index), text);
        dlg.click("okButton");
        QCOMPARE(dlg.*values[index].second, expected);
        QCOMPARE(dlg.edit(index)->text(), text);
        dlg.click("cancelButton");
        QCOMPARE(dlg.edit(index)->text(), QString::number(expected, 'g', 6));
    }

    void dismissRestoresStoredValues_data()
    {
        QTest::addColumn<int>("how");
        QTest::newRow("cancel button") << int(CancelButton);
        QTest::newRow("window closed") << int(CloseWindow);
        QTest::newRow("load, then cancel") << int(LoadThenCancel);
    }

    void dismissRestoresStoredValues()
    {
        QFETCH(int, how);
        Probe dlg;
        dlg.titleEdit->setText(QStringLiteral("Stored"));
        dlg.autoScaleCheck->click();
        dlg.showUnitYCheck->click();
        dlg.click("okButton");
        const QStringList stored = dlg.storedState(), shown = dlg.widgetState();
        dlg.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dlg));
        if (how == LoadThenCancel) { // the defaults, saved by another dialog
            Probe other;
            other.press(other.saveButton, dir->filePath(QStringLiteral("d.cfx")));
            dlg.press(dlg.loadButton, dir->filePath(QStringLiteral("d.cfx")));
            QCOMPARE(dlg.widgetState(), defaults);
        } else {
            dlg.titleEdit->setText(QStringLiteral("Edited"));
            dlg.autoScaleCheck->click();
            dlg.showDotXCheck->setChecked(false);
        }
        if (how == CloseWindow)
            dlg.close();
        else
            dlg.click("cancelButton");
        QCOMPARE(dlg.storedState(), stored);
        QCOMPARE(dlg.widgetState(), shown);
        QVERIFY(dlg.stepDotXEdit->isEnabled() && !dlg.stepUnitYEdit->isEnabled());
    }

    // The keys of a .cfx file in their order, as files written by earlier versions hold them.
    void toResourcesWritesTheTwentyKeysInOrder()
    {
        const std::unique_ptr<QARes> res(Probe().toResources());
        QVERIFY(res && res->isTag("gvzconfig") && res->toResGroup() && !res->next());
        QStringList tags;
        for (QARes* n = res->toResGroup()->firstChild(); n; n = n->next())
            tags << n->tag();
        QCOMPARE(tags.join(' '), "graphic_title automatic_scale show_line_x_ show_line_y_ "
                                 "show_line_z_ show_unit_x_ show_unit_y_ show_unit_z_ show_dot_x_ "
                                 "show_dot_y_ show_dot_z_ step_line_x_ step_line_y_ step_line_z_ "
                                 "step_unit_x_ step_unit_y_ step_unit_z_ step_dot_x_ step_dot_y_ "
                                 "step_dot_z_");
    }

    // Also the extension rule: only a name without any suffix gets ".cfx".
    void saveAndLoadRoundTrip_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("suffixed");
        QTest::addColumn<QString>("title");
        QTest::addColumn<int>("uncheckedMask"); // bit 9: automatic set-up
        QTest::addColumn<QStringList>("steps");
        const QStringList steps{"1", "1", "1", "1", "1", "1", "0.5", "0.5", "0.5"};
        QTest::newRow("axes") << "axes" << true << "Graphic" << 0 << steps;
        QTest::newRow("axes.txt, empty title, steps that are no numbers")
            << "axes.txt" << false << "" << 0b1100100010
            << QStringList{"abc", "", "-", "nan", "1e3", " 2 ", "-7", "inf", "0.125"};
        QTest::newRow("my.axes.conf, markup and unicode title")
            << "my.axes.conf" << false << "<b>Débit & \"flux\"</b> °C" << 0x3ff << steps;
        QTest::newRow("axes.") << "axes." << true << "A" << 0 << steps;
        QTest::newRow("dot in the folder") << "my.dir/axes" << true << "A" << 0 << steps;
    }

    void saveAndLoadRoundTrip()
    {
        QFETCH(QString, typed);
        QFETCH(bool, suffixed);
        QFETCH(QString, title);
        QFETCH(int, uncheckedMask);
        QFETCH(QStringList, steps);
        QVERIFY(QDir(dir->path()).mkdir(QStringLiteral("my.dir")));
        const bool autoScale = !(uncheckedMask & (1 << 9));
        Probe source, target; // the target starts opposite to the source wherever it can
        source.titleEdit->setText(title);
        target.titleEdit->setText(QStringLiteral("before"));
        source.autoScaleCheck->setChecked(autoScale);
        target.autoScaleCheck->setChecked(!autoScale);
        for (int i = 0; i < 9; ++i) {
            source.check(i)->setChecked(!(uncheckedMask & (1 << i)));
            source.edit(i)->setText(steps.at(i));
            target.check(i)->setChecked(uncheckedMask & (1 << i));
            target.edit(i)->setText(QStringLiteral("9"));
        }
        source.press(source.saveButton, dir->filePath(typed));
        QCOMPARE(status(), savedText);
        QCOMPARE(QFile::exists(dir->filePath(typed)), !suffixed);
        const QStringList stored = target.storedState();
        target.press(target.loadButton, dir->filePath(typed + (suffixed ? ".cfx" : "")));
        QVERIFY(source.criticals.isEmpty() && target.criticals.isEmpty());
        QCOMPARE(target.widgetState(), source.widgetState());
        QCOMPARE(target.storedState(), stored);
    }

    void load_data()
    {
        QTest::addColumn<QByteArray>("xml"); // null: no file
        QTest::addColumn<QString>("shown");  // title, automatic box, X lines box and step text
        QTest::addColumn<bool>("unreadable");
        const auto row = [](const char* name, const QByteArray& xml, const char* shown,
                            bool unreadable = false) {
            QTest::newRow(name) << xml << QString(shown) << unreadable;
        };
        const auto text = [](const QByteArray& tag, const QByteArray& value) {
            return "<string tag=\"" + tag + "\">" + value + "</string>";
        };
        row("only the title", configXml(text("graphic_title", "Only")), "Only 0 0 7");
        row("automatic as a string node", configXml(text("automatic_scale", "true")),
            "Before 0 0 7");
        row("the later of two wins",
            configXml(text("step_line_x_", "2") + text("step_line_x_", "3")), "Before 0 0 3");
        row("foreign group tag", configXml(text("graphic_title", "Foreign"), "gvz_viewer"),
            "Before 1 0 7");
        row("missing", QByteArray(), "Before 1 0 7", true);
        row("truncated", configXml(text("t", "A")).left(60), "Before 1 0 7", true);
    }

    void load()
    {
        QFETCH(QByteArray, xml);
        QFETCH(QString, shown);
        QFETCH(bool, unreadable);
        const QString name = dir->filePath(QStringLiteral("part.cfx"));
        QVERIFY(xml.isNull() || writeFile(name, xml));
        Probe dlg;
        dlg.titleEdit->setText(QStringLiteral("Before"));
        dlg.autoScaleCheck->click();
        dlg.showLineXCheck->click();
        dlg.stepLineXEdit->setText(QStringLiteral("7"));
        dlg.autoScaleCheck->click();
        const QStringList others = dlg.widgetState().mid(4);
        dlg.press(dlg.loadButton, name);
        const QString error = QStringLiteral("GVZ Viewer: Cannot read \"%1\" configuration file.");
        QCOMPARE(dlg.criticals, unreadable ? QStringList{error.arg(name)} : QStringList());
        QCOMPARE(dlg.widgetState().mid(0, 4).join(' '), shown);
        QCOMPARE(dlg.axisXGroup->isEnabled(), shown.section(' ', 1, 1) == "0");
        QCOMPARE(dlg.stepLineXEdit->isEnabledTo(dlg.axisXGroup), dlg.showLineXCheck->isChecked());
        QCOMPARE(dlg.widgetState().mid(4), others);
    }

    void save_data()
    {
        QTest::addColumn<int>("where");
        QTest::addColumn<int>("answer");      // to the replace question
        QTest::addColumn<QByteArray>("kept"); // in the target afterwards; null: a new configuration
        QTest::addColumn<QString>("critical"); // %1: the target; a write failure adds its reason
        const int yes = QMessageBox::Yes;
        const QByteArray previous = "previous";
        const QString open = "Cannot open file \"%1\"";
        QTest::newRow("replace: no") << int(Existing) << int(QMessageBox::No) << previous << "";
        QTest::newRow("replace: yes") << int(Existing) << yes << QByteArray() << "";
        QTest::newRow("missing folder") << int(MissingFolder) << yes << QByteArray("") << open;
        QTest::newRow("write fails after the open")
            << int(Full) << yes << previous << "Cannot write file \"%1\":\n";
    }

    void save()
    {
        QFETCH(int, where);
        QFETCH(int, answer);
        QFETCH(QByteArray, kept);
        QFETCH(QString, critical);
        const QString typed = QStringList{"old", "missing", "full"}.at(where) + "/axes";
        const QString target = dir->filePath(typed + ".cfx");
        const QString folder = QFileInfo(target).path();
        const bool full = where == Full;
        if (where != MissingFolder)
            QVERIFY(QDir().mkpath(folder) && writeFile(target, "previous"));
        const bool existed = QFileInfo::exists(target);
        Probe dlg;
        BoxAnswer box(answer);
        // A file size limit makes the write itself fail after the file was opened.
        rlimit old{};
        QCOMPARE(getrlimit(RLIMIT_FSIZE, &old), 0);
        const rlimit limit{full ? 64 : old.rlim_cur, old.rlim_max};
        const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        QCOMPARE(setrlimit(RLIMIT_FSIZE, &limit), 0);
        dlg.press(dlg.saveButton, dir->filePath(typed));
        setrlimit(RLIMIT_FSIZE, &old);
        std::signal(SIGXFSZ, oldHandler);

        const QStringList question{"GVZ Viewer",
                                   target + "\nalready exists.\nReplace existing file?\n",
                                   QString::number(QMessageBox::Warning),
                                   QString::number(QMessageBox::Yes | QMessageBox::No)};
        QCOMPARE(box.seen, existed ? question : QStringList());
        const QString error = critical.isEmpty() ? critical : "GVZ Viewer: " + critical.arg(target);
        QCOMPARE(dlg.criticals.size(), int(!error.isEmpty()));
        QCOMPARE(dlg.criticals.value(0).left(error.size()), error);
        QCOMPARE(dlg.criticals.value(0).size() > error.size(), full); // with the reason
        if (kept.isNull())
            QVERIFY(std::unique_ptr<QARes>(QARes::read(target, false)));
        else
            QCOMPARE(readAll(target), kept);
        QCOMPARE(QDir(folder).entryList(QDir::Files).size(), int(QFileInfo(target).isFile()));
        QCOMPARE(status(), kept.isNull() ? savedText : QString());
    }

    // The file dialog is told not to ask about an existing file, so that save() asks once, also
    // when it adds the suffix after the dialog.
    void saveOverExistingFileAsksOnce_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::newRow("with suffix") << "axes.cfx";
        QTest::newRow("suffix added") << "axes";
    }

    void saveOverExistingFileAsksOnce()
    {
        QFETCH(QString, typed);
        QCoreApplication::setAttribute(Qt::AA_DontUseNativeDialogs);
        const auto restore =
            qScopeGuard([] { QCoreApplication::setAttribute(Qt::AA_DontUseNativeDialogs, false); });
        const QString target = dir->filePath("axes.cfx");
        QVERIFY(writeFile(target, "previous"));
        RealFileDialog dlg;
        // Answers the first file dialog once its name field holds the name (the dialog reads the
        // folder in the background), queued so that what it opens still sees this timer. Any
        // other dialog, or the first still open after 5 s, is noted and rejected.
        const QString name = dir->filePath(typed);
        bool answered = false;
        QStringList others;
        QElapsedTimer clock;
        clock.start();
        QTimer poll;
        connect(&poll, &QTimer::timeout, &dlg, [&] {
            auto* modal = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            auto* files = qobject_cast<QFileDialog*>(modal);
            if (files && !answered && !clock.hasExpired(5000)) {
                if (QWidget* focus = files->focusWidget())
                    focus->clearFocus(); // selectFile() leaves a focused name field alone
                files->selectFile(name);
                answered = files->selectedFiles() == QStringList{name};
                if (answered)
                    QMetaObject::invokeMethod(files, &QDialog::accept, Qt::QueuedConnection);
            } else if (modal && (!files || answered || clock.hasExpired(5000))) {
                others << modal->metaObject()->className();
                modal->reject();
            }
        });
        poll.start(10);
        dlg.saveButton->click();
        poll.stop();

        QCOMPARE(others, QStringList());
        QCOMPARE(dlg.replaceQuestions, 1);
        QCOMPARE(dlg.criticals, QStringList());
        QVERIFY(std::unique_ptr<QARes>(QARes::read(target, false)));
        QCOMPARE(status(), savedText);
    }
};

QTEST_MAIN(TestConfig)
#include "tst_config.moc"
