#pragma once

#include <QCoreApplication>
#include <QList>
#include <QString>

#include <memory>

class QARes;
class QAResProducer;

// The studio's resource file: read once at start, written atomically on request with the answers
// of every registered producer under one root group.
class ResourceStore
{
    Q_DECLARE_TR_FUNCTIONS(ResourceStore)

public:
    explicit ResourceStore(const QString& fileName);
    ~ResourceStore();

    // resources.xml in the user's configuration folder of the studio.
    static QString defaultFileName();
    static constexpr const char* RootTag = "studio";

    // Largest resource file that load() reads; a bigger one is refused and left alone.
    static constexpr qint64 MaxFileSize = qint64(64) << 20;

    // Reads the file. A missing file gives an empty root group. Otherwise, when the file cannot be
    // used the root group starts empty and the answer is false with the explanation in `message`:
    // a file that was read and is corrupt is moved aside to backupFileName() when `mayMoveAside`
    // (runs that write resources); in every other case (not a regular file, unreadable, too big,
    // or corrupt in a run that may not move it) the file is left untouched and save() will not
    // overwrite it.
    bool load(QString* message, bool mayMoveAside);
    // The tree read by load(): a group, never null after load(). It stays the store's.
    QARes* root() const { return tree.get(); }
    QString fileName() const { return file; }
    QString backupFileName() const { return backup; }

    // `producer` (not owned) is asked to write itself at every save.
    void registerProducer(QAResProducer* producer);
    void unregisterProducer(QAResProducer* producer);
    // Writes the root group with each producer's answer; groups of the file that no producer wrote
    // this time (another plug-in's) are kept. Answers false with the reason in `error`.
    bool save(QString* error);

private:
    QString file;
    QString backup;
    std::unique_ptr<QARes> tree;
    QList<QAResProducer*> producers;
    // Set when the file was not read and left in place: it must not be overwritten.
    bool keepFile = false;
};
