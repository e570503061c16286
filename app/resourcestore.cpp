#include "app/resourcestore.h"

#include "data/fileaccess.h"
#include "host/res/qares.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QSaveFile>
#include <QSet>
#include <QStandardPaths>

ResourceStore::ResourceStore(const QString& fileName) : file(fileName)
{
}

ResourceStore::~ResourceStore() = default;

QString ResourceStore::defaultFileName()
{
    return QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation)
           + QStringLiteral("/resources.xml");
}

bool ResourceStore::load(QString* message, bool mayMoveAside)
{
    tree = std::make_unique<QAResGroup>(QString::fromLatin1(RootTag));
    backup.clear();
    keepFile = false;
    const QFileInfo info(file);
    if (!info.exists())
        return true;
    // A file that cannot be used as it is stays where it is: the run goes on with defaults and
    // saves nothing over it. Only the file's status is asked, so a FIFO or a device never blocks.
    const auto refuse = [this, message](const QString& reason) {
        keepFile = true;
        if (message)
            *message = tr("The resource file %1 %2; the defaults are used and it will not be "
                          "overwritten.")
                           .arg(QDir::toNativeSeparators(file), reason);
        return false;
    };
    if (const QString problem = fileReadProblem(file); !problem.isEmpty())
        return refuse(problem);
    if (info.size() > MaxFileSize)
        return refuse(tr("is larger than %1 MiB").arg(MaxFileSize >> 20));
    QFile input(file);
    if (!input.open(QIODevice::ReadOnly))
        return refuse(tr("cannot be opened (%1)").arg(input.errorString()));
    // The cap holds even if the file grows after its size was asked.
    const QByteArray xml = input.read(MaxFileSize + 1);
    if (xml.size() > MaxFileSize)
        return refuse(tr("is larger than %1 MiB").arg(MaxFileSize >> 20));
    input.close();
    QString reason;
    std::unique_ptr<QARes> read(QARes::fromXml(xml, false, &reason));
    if (read && read->toResGroup()) {
        tree = std::move(read);
        return true;
    }
    if (read)
        reason = tr("its root is not a group");
    if (!mayMoveAside)
        return refuse(tr("cannot be read (%1)").arg(reason));
    // Never lose the user's file: keep it under a name of its own before starting afresh.
    const QString stamp = QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-hhmmss"));
    QString candidate = file + QStringLiteral(".bad-") + stamp;
    for (int n = 1; QFileInfo::exists(candidate); ++n)
        candidate = file + QStringLiteral(".bad-%1-%2").arg(stamp).arg(n);
    if (QFile::rename(file, candidate)) {
        backup = candidate;
        if (message)
            *message = tr("The resource file %1 cannot be read (%2); it was kept as %3 and the "
                          "defaults are used.")
                           .arg(file, reason, candidate);
        return false;
    }
    return refuse(tr("cannot be read (%1) nor moved aside").arg(reason));
}

void ResourceStore::registerProducer(QAResProducer* producer)
{
    if (producer && !producers.contains(producer))
        producers.append(producer);
}

void ResourceStore::unregisterProducer(QAResProducer* producer)
{
    producers.removeAll(producer);
}

bool ResourceStore::save(QString* error)
{
    if (keepFile) {
        if (error)
            *error = tr("The unreadable resource file %1 is kept; nothing was written.").arg(file);
        return false;
    }
    QAResGroup out(QString::fromLatin1(RootTag));
    QSet<QString> written;
    for (QAResProducer* producer : std::as_const(producers)) {
        QARes* node = producer->toResources(RootTag);
        for (QARes* n = node; n; n = n->next())
            written.insert(n->tag());
        if (node)
            out.addChild(node);
    }
    if (const QAResGroup* group = tree ? tree->toResGroup() : nullptr) {
        for (QARes* n = group->firstChild(); n; n = n->next()) {
            if (written.contains(n->tag()))
                continue;
            // Deep copy through the text form: the loaded tree stays as it was read.
            if (QARes* copy = QARes::fromXml(n->toXml(), false))
                out.addChild(copy);
        }
    }
    QDir().mkpath(QFileInfo(file).absolutePath());
    QSaveFile saveFile(file);
    if (!saveFile.open(QIODevice::WriteOnly) || saveFile.write(out.toXml()) < 0
        || !saveFile.commit()) {
        if (error)
            *error = tr("Cannot write the resource file %1: %2").arg(file, saveFile.errorString());
        return false;
    }
    return true;
}
