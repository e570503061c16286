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

    // Reads the file. A missing file gives an empty root group. A file that cannot be read is moved
    // aside to backupFileName() and the root group starts empty; the answer is then false with the
    // explanation in `message`.
    bool load(QString* message);
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
    // Set when a corrupt file could not be moved aside: it must not be overwritten.
    bool keepFile = false;
};
