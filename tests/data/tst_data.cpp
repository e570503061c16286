#include "data/qagvzfile.h"
#include "data/qagvznumber.h"
#include "tests/data/referencereader.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTextStream>
#include <QtTest>

#include <sys/stat.h>

#include <algorithm>
#include <cstring>
#include <limits>
#include <memory>

namespace {

const float inf = std::numeric_limits<float>::infinity();

QString bitsText(float value)
{
    return QStringLiteral("%1 (0x%2)")
        .arg(double(value))
        .arg(bitsOf(value), 8, 16, QLatin1Char('0'));
}

void compareWithReference(const QString& path)
{
    QAGVZFile read;
    QVERIFY(read.read(path));
    QAGVZFile reference;
    QVERIFY(referenceRead(path, reference));
    const Curves got = curvesOf(read);
    const Curves want = curvesOf(reference);
    QCOMPARE(got.names, want.names);
    QCOMPARE(got.bits, want.bits);
}

// Pieces of hostile trace text: number parts, blanks of every kind, line ends, NUL, digits of
// other scripts, byte order marks, invalid and unfinished UTF-8.
const QList<QByteArray>& pieces()
{
    static const char text[] =
        "0|1|2|3|4|5|6|7|8|9|0|1|5|9|-|+|.|,|e|E|e-|E+| | |\t|\t|\t|\r|\r\n|\n|\0|"
        "\x0B|\x0C|x|1e99999|1e-50|123456789012|\xC2\xA0|\xD9\xA3|\xD9\xA1|"
        "\xEF\xBC\x95|\xEF\xBB\xBF|\xE3\x80\x80|\xE2\x80\xA8|\xFF|\xC2|"
        "\xE2\x82|\xF0\x9F\x98\x80|\xED\xA0\x80|\x80";
    static const QList<QByteArray> list = QByteArray(text, sizeof text - 1).split('|');
    return list;
}

QByteArray randomText(QRandomGenerator& random, int minPieces, int maxPieces)
{
    QByteArray text;
    const int n = random.bounded(minPieces, maxPieces + 1);
    for (int i = 0; i < n; ++i)
        text += pieces().at(random.bounded(int(pieces().size())));
    return text;
}

} // namespace

class TestData : public QObject
{
    Q_OBJECT

    QString writeFile(const QByteArray& content)
    {
        const QString path = dir.filePath(QStringLiteral("trace%1.gvz").arg(++files));
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(content) != content.size())
            qFatal("cannot write %s", qPrintable(path));
        return path;
    }

    QTemporaryDir dir;
    int files = 0;

private slots:
    void parse_data()
    {
        QTest::addColumn<QString>("cell");
        QTest::addColumn<float>("expected");
        QTest::newRow("integer") << "12" << 12.0f;
        QTest::newRow("negative fraction") << "-3.5" << -3.5f;
        QTest::newRow("decimal comma") << "3,5" << 3.5f;
        QTest::newRow("no integer part") << ".5" << 0.5f;
        QTest::newRow("negative exponent") << "2.5E-1" << 0.25f;
        QTest::newRow("plus sign") << "+7" << 7.0f;
        QTest::newRow("trailing letters") << "12abc" << 12.0f;
        QTest::newRow("second separator") << "1.2.3" << 1.2f;
        QTest::newRow("no number") << "abc" << 0.0f;
        QTest::newRow("minus alone") << "-" << -0.0f;
        QTest::newRow("exponent without digits") << "1e" << 1.0f;
        QTest::newRow("surrounding blanks") << " \t 7 \r" << 7.0f;
        QTest::newRow("no-break space trimmed") << QStringLiteral("\u00A07\u00A0") << 7.0f;
        QTest::newRow("Arabic-Indic digits") << QStringLiteral("\u0661\u0662") << 12.0f;
        QTest::newRow("plus after minus") << "-+1" << -0.0f;
        QTest::newRow("rounding past 2^24") << "16777217" << 16777216.0f;
        // the fraction factor is built by repeated multiplication and accumulates its error
        QTest::newRow("long fraction") << "0.3333333333" << 0.333333343f;
        QTest::newRow("fraction after rounding") << "123456789.5" << 123456792.0f;
        QTest::newRow("overflow exponent") << "1e39" << inf;
        QTest::newRow("underflow exponent") << "1e-46" << 0.0f;
        QTest::newRow("smallest subnormal")
            << "1.4e-45" << std::numeric_limits<float>::denorm_min();
        // each would take billions of steps without stopping at 0 or infinity
        QTest::newRow("exponent past int") << "1e99999999999999999999" << inf;
        QTest::newRow("zero with huge exponent") << "0e2147483647" << 0.0f;
        QTest::newRow("10000 digits") << QString(10000, u'9') << inf;
        QTest::newRow("10000 fraction digits") << "0." + QString(9999, u'0') + u'1' << 0.0f;
        QTest::newRow("NUL inside") << QStringLiteral("4\u00005") << 4.0f;
        QTest::newRow("replacement character") << QStringLiteral("\uFFFD5") << 0.0f;
    }

    void parse()
    {
        QFETCH(QString, cell);
        QFETCH(float, expected);
        QCOMPARE(bitsText(QAGVZNumber::parse(cell)), bitsText(expected));

        // The byte parser reads the text before the first tab, unless it hands the cell over.
        const QByteArray bytes = cell.toUtf8();
        const char* stop = nullptr;
        const float ascii = QAGVZNumber::parseAscii(bytes.constData(), bytes.constEnd(), &stop);
        if (stop < bytes.constEnd() && static_cast<unsigned char>(*stop) >= 0x80)
            return;
        const qsizetype tab = bytes.indexOf('\t');
        const float decoded =
            QAGVZNumber::parse(QString::fromUtf8(tab < 0 ? bytes : bytes.left(tab)));
        QCOMPARE(bitsText(ascii), bitsText(decoded));
    }

    void read_data()
    {
        using B = QByteArray;
        using N = QStringList; // a null name: the entry is null
        using V = QList<QList<float>>;
        QTest::addColumn<B>("content");
        QTest::addColumn<N>("names");
        QTest::addColumn<V>("values");
        const QString null;
        const auto row = [](const char* name, const B& content, const N& names, const V& values) {
            QTest::newRow(name) << content << names << values;
        };
        row("two columns", "A\tB\n1\t2\n3\t4\n", {"A", "B"}, {{1, 3}, {2, 4}});
        row("one column, cells beyond dropped", "A\n5\t6\n", {"A"}, {{5}});
        row("leading empty cell", "A\tB\n\t7\n", {"A", "B"}, {{}, {7}});
        row("blank line gives zero", "A\tB\n   \n", {"A", "B"}, {{0}, {}});
        row("empty line skipped", "A\tB\n1\t2\n\n3\t4\n", {"A", "B"}, {{1, 3}, {2, 4}});
        row("trailing tab adds no cell", "A\tB\n1\t\n2\t3\n", {"A", "B"}, {{1, 2}, {3}});
        row("missing cells", "A\tB\tC\n1\n2\t3\n", {"A", "B", "C"}, {{1, 2}, {3}, {}});
        row("header of tabs only", "\t\t\n1\t2\t3\n", {"", "", null}, {{1}, {2}, {}});
        row("names kept as written", " A \t\tB \n1\t2\t3\n", {" A ", "", "B "}, {{1}, {2}, {3}});
        row("zero bytes", B(), {}, {});
        row("empty header, data ignored", "\n1\t2\n", {}, {});
        row("header only", "A\tB", {"A", "B"}, {{}, {}});
        row("no newline at end", "A\tB\n1\t2", {"A", "B"}, {{1}, {2}});
        row("CRLF", "A\tB\r\n1\t2\r\n\r\n3\t4\r\n", {"A", "B"}, {{1, 3}, {2, 4}});
        row("lone CR is text", "A\r\n5\r6\n\r\r\n", {"A"}, {{5, 0}});
        row("UTF-8 byte order mark", "\357\273\277A\n1\n", {"A"}, {{1}});
        row("Unicode names", "Drehzahl \xC2\xB5\t\xC3\x96l\n1\t2\n",
            {u"Drehzahl \u00B5"_qs, u"\u00D6l"_qs}, {{1}, {2}});
        row("NUL bytes", B("A\tB\n1\0002\t3\n", 10), {"A", "B"}, {{1}, {3}});
        row("invalid UTF-8", "A\tB\n\3775\t\300\n", {"A", "B"}, {{0}, {0}});
        row("UTF-16 with byte order mark", B("\377\376A\0\t\0B\0\n\0001\0\t\0002\0\n\0", 18),
            {"A", "B"}, {{1}, {2}});
    }

    void read()
    {
        QFETCH(QByteArray, content);
        QFETCH(QStringList, names);
        QFETCH(QList<QList<float>>, values);
        const QString path = writeFile(content);
        QAGVZFile file;
        QVERIFY(file.read(path));
        const Curves curves = curvesOf(file);
        QCOMPARE(curves.names, names);
        QCOMPARE(curves.values, values);
        for (int i = 0; i < file.count; ++i) {
            const QAGVZValueList* curve = file[i];
            QCOMPARE(curve == nullptr, names.at(i).isNull());
            if (!curve)
                continue;
            QCOMPARE(curve->count, values.at(i).size());
            QCOMPARE(curve->min == nullptr, values.at(i).isEmpty());
            QVERIFY(!curve->last || !curve->last->next);
        }
        compareWithReference(path); // min and max too
    }

    // Progress comes in steps of bytes that never go back nor past the size; an answer of false
    // stops the read, which then holds nothing. UTF-16 takes the decoded way.
    void progressAndCancel_data()
    {
        QTest::addColumn<bool>("utf16");
        QTest::addColumn<int>("cancelAt"); // the call that answers false; -1: none
        QTest::newRow("whole read") << false << -1;
        QTest::newRow("cancelled midway") << false << 3;
        QTest::newRow("UTF-16, whole") << true << -1;
        QTest::newRow("UTF-16, cancelled midway") << true << 2;
    }
    void progressAndCancel()
    {
        QFETCH(bool, utf16);
        QFETCH(int, cancelAt);
        QString text = QStringLiteral("a\tb\n");
        for (int i = 0; i < 6 * QAGVZFile::progressLines; ++i)
            text += QStringLiteral("1\t2\n");
        QByteArray bytes = text.toUtf8();
        if (utf16) {
            bytes = QByteArray("\xff\xfe")
                    + QByteArray(reinterpret_cast<const char*>(text.utf16()), text.size() * 2);
        }
        const QString path = writeFile(bytes);
        QAGVZFile file;
        QList<qint64> calls;
        file.progress = [&](qint64 done, qint64 total) {
            calls << done;
            return total == bytes.size() && calls.size() - 1 != cancelAt;
        };
        QCOMPARE(file.read(path), cancelAt < 0);
        QCOMPARE(file.cancelled, cancelAt >= 0);
        QVERIFY(std::is_sorted(calls.cbegin(), calls.cend()) && calls.last() <= bytes.size());
        if (cancelAt >= 0) {
            QCOMPARE(calls.size(), cancelAt + 1);
            QCOMPARE(file.count, 0);
        } else {
            QVERIFY(calls.size() >= 6);
            QCOMPARE(file[1]->count, 6 * QAGVZFile::progressLines);
        }
    }

    // The pipelined read, forced on small files, leaves what the sequential one does, progress
    // calls included; a cancel leaves no thread behind.
    void pipelineReadsAsSequential_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<int>("cancelAt"); // the progress call that answers false; -1: none
        // A progress step holds the text of several batches.
        QByteArray lines("A\tB\tC\tD\tE\tF\tG\tH\tI\tJ\tK\tL\r\n");
        const QByteArray run("\t4\t5\t6\t7\t8\t9\t10\t11");
        const QByteArray tails[] = {"\t\t2.5" + run + "\t\r\n",
                                    "\t\xD9\xA3\t\xC2\xA0\x35" + run + "\n",
                                    "\t1\t2" + run + "\t12\t13\t14\n", "\t-1" + run + "\t\n\n"};
        for (int i = 0; i < 3 * QAGVZFile::progressLines; ++i)
            lines += QByteArray::number(i % 89 - 40) + tails[i % 4];
        QTest::newRow("ends with a line end") << lines << -1;
        QTest::newRow("final line without line end") << lines + "7\t-8\r" << -1;
        QTest::newRow("final line with a cut sequence") << lines + "7\t\xD9\xA3\t\xE2\x82" << -1;
        QTest::newRow("line longer than a batch")
            << lines + QByteArray(1 << 20, '7') + "\t-9\n" + lines.right(99) << -1;
        QTest::newRow("cancelled at the first call") << lines << 0;
        QTest::newRow("cancelled at a later call") << lines << 2;
    }
    void pipelineReadsAsSequential()
    {
        QFETCH(QByteArray, content);
        QFETCH(int, cancelAt);
        const QString path = writeFile(content);
        const auto restore =
            qScopeGuard([from = QAGVZFile::pipelineFrom] { QAGVZFile::pipelineFrom = from; });
        const auto indexOf = [](const QAGVZValueList* list, const QAGVZValue* node) {
            qint64 index = 0;
            for (const QAGVZValue* n = list ? list->first : nullptr; n && n != node; n = n->next)
                ++index;
            return node ? index : -1;
        };
        // Everything a read leaves but the values, which curvesOf() gives, and with the progress
        // calls.
        const auto read = [&](qint64 pipelineFrom, QAGVZFile& file) {
            QAGVZFile::pipelineFrom = pipelineFrom;
            QList<qint64> state;
            file.progress = [&state, cancelAt](qint64 done, qint64) {
                state << done;
                return state.size() - 1 != cancelAt;
            };
            state << file.read(path) << file.bytesRead << file.endsWithLineEnd << file.utf8
                  << file.lastLineStart << file.cancelled << file.count;
            for (int i = 0; i < file.count; ++i)
                state << indexOf(file[i], file[i]->min) << indexOf(file[i], file[i]->max);
            for (int i = 0; i < int(file.beforeLastLine.size()); ++i)
                state << indexOf(file[i], file.beforeLastLine[i].first)
                      << file.beforeLastLine[i].second;
            return state;
        };
        QAGVZFile sequential;
        QAGVZFile pipelined;
        const auto threads = QDir(QStringLiteral("/proc/self/task")).count();
        QCOMPARE(read(0, pipelined), read(std::numeric_limits<qint64>::max(), sequential));
        QCOMPARE(QDir(QStringLiteral("/proc/self/task")).count(), threads);
        QCOMPARE(curvesOf(pipelined).bits, curvesOf(sequential).bits);
        QCOMPARE(pipelined.count == 0, cancelAt >= 0);
    }

    void readingAgainStartsAfresh()
    {
        QAGVZFile file;
        QVERIFY(file.read(writeFile("A\tB\tC\n1\t2\t3\n")));
        QVERIFY(file.read(writeFile("X\n9\n")));
        QCOMPARE(file.count, 1);
        QCOMPARE(file[0]->name, u"X"_qs);
        // Only a path that is no readable regular file answers false, at once (a FIFO or a
        // device is never opened); the file is empty then.
        const QString fifo = dir.filePath(QStringLiteral("fifo"));
        QVERIFY(::mkfifo(QFile::encodeName(fifo).constData(), 0600) == 0);
        for (const QString& path : {dir.filePath(QStringLiteral("no/such.gvz")), dir.path(),
                                    QString(), fifo, QStringLiteral("/dev/zero")}) {
            QVERIFY(file.read(writeFile("X\n9\n")));
            QVERIFY(!file.read(path));
            QCOMPARE(file.count, 0);
            QVERIFY(!file.lists && !file[0]);
        }
    }

    void updateMinMax_data()
    {
        using F = QList<float>;
        using I = QList<int>;
        QTest::addColumn<F>("values");
        QTest::addColumn<I>("ignored");
        QTest::addColumn<int>("minIndex");
        QTest::addColumn<int>("maxIndex");
        QTest::newRow("empty") << F{} << I{} << -1 << -1;
        QTest::newRow("single") << F{4} << I{} << 0 << 0;
        QTest::newRow("ties keep the earliest") << F{3, 5, 1, 5, 2, 1} << I{} << 2 << 1;
        QTest::newRow("ignored extremes passed over") << F{-9, 4, 1, 99} << I{0, 3} << 2 << 1;
        QTest::newRow("all ignored ends on the last") << F{1, 2, 3} << I{0, 1, 2} << 2 << 2;
        QTest::newRow("negative zero equals zero") << F{0.0f, -0.0f} << I{} << 0 << 0;
        QTest::newRow("infinities") << F{1, inf, -inf} << I{} << 2 << 1;
    }

    void updateMinMax()
    {
        QFETCH(QList<float>, values);
        QFETCH(QList<int>, ignored);
        QFETCH(int, minIndex);
        QFETCH(int, maxIndex);
        QAGVZValueList list(QStringLiteral("curve"));
        QList<QAGVZValue*> nodes;
        for (float value : values)
            nodes << list.appendValue(value);
        for (int i : ignored)
            nodes[i]->ignored = true;
        list.updateMinMax();
        QCOMPARE(list.min, minIndex < 0 ? nullptr : nodes.at(minIndex));
        QCOMPARE(list.max, maxIndex < 0 ? nullptr : nodes.at(maxIndex));
    }

    void takenCurveOutlivesFile()
    {
        const QString path = writeFile("A\tB\n1\t2\n3\t4\n");
        std::unique_ptr<QAGVZValueList> taken;
        {
            QAGVZFile file;
            QVERIFY(!file.take(0));
            QVERIFY(file.read(path));
            taken.reset(file.take(1));
            QVERIFY(taken && !file[1] && !file.take(1));
            QVERIFY(!file[-1] && !file[2] && !file.take(2));
            QVERIFY(file.read(path)); // frees only what was not taken
            QVERIFY(file[1]);
        }
        QVERIFY(taken->name == u"B"_qs && taken->count == 2 && taken->max == taken->last);
    }

    // Random pieces of hostile text.
    void randomFilesReadAsTextStream()
    {
        QRandomGenerator random(2);
        for (int round = 0; round < 300; ++round) {
            QByteArray content = randomText(random, 0, 12).replace('\n', ' ').replace('\r', ' ');
            content += random.bounded(4) ? "\n" : "\r\n";
            const int lines = random.bounded(30);
            for (int line = 0; line < lines; ++line)
                content += randomText(random, 0, 16) + (random.bounded(3) ? "\n" : "\r\n");
            if (random.bounded(2))
                content += randomText(random, 1, 6); // a final piece without a line end
            compareWithReference(writeFile(content));
            if (QTest::currentTestFailed()) {
                qWarning() << "content:" << content.left(4096).toHex(' ');
                return;
            }
        }
    }

    void chunkBoundariesReadAsTextStream()
    {
        // Lines of every length around the reader's buffer size, with CRLF and lone CR falling
        // on every offset near the boundaries.
        QRandomGenerator random(3);
        QByteArray content("A\tB\tC\n");
        while (content.size() < (9 << 20)) {
            content += QByteArray::number(random.bounded(100000)) + '\t' + randomText(random, 0, 6);
            content +=
                QByteArray(random.bounded(20) ? random.bounded(200) : random.bounded(3 << 20), ' ');
            content += random.bounded(2) ? "\r\n" : "\r5\n";
        }
        compareWithReference(writeFile(content));
    }

    // Bytes of any value, from a generator of their own: the pieces above come in an order that
    // differs between compilers (operands of one expression), so they make other files.
    void binaryFileReadsAsTextStream()
    {
        QRandomGenerator random(4);
        for (int round = 0; round < 4; ++round) {
            QByteArray content(1 << 18, Qt::Uninitialized);
            for (char& c : content)
                c = char(random.bounded(256));
            compareWithReference(writeFile(content));
        }
    }

    void hugeLineWithoutNewline()
    {
        QByteArray content("A\tB\tC\n");
        content += QByteArray(100 << 20, 'x') + "\t7\t" + QByteArray(10000, '1');
        QAGVZFile file;
        QVERIFY(file.read(writeFile(content)));
        QCOMPARE(curvesOf(file).values, (QList<QList<float>>{{0}, {7}, {inf}}));
    }

    void hostileHeaderIsCapped()
    {
        QAGVZFile file;
        QVERIFY(file.read(writeFile(QByteArray(QAGVZFile::maxColumns + 10, '\t') + "\n1\t2\n")));
        QCOMPARE(file.count, QAGVZFile::maxColumns);
        QVERIFY(file[QAGVZFile::maxColumns - 1]); // every entry lies between two tabs
        QCOMPARE(float(file[1]->first->value), 2.0f);
    }
};

QTEST_GUILESS_MAIN(TestData)
#include "tst_data.moc"
