#pragma once

#include <QColor>
#include <QString>

class QAResGroup;
class QAResString;
class QAResBoolean;
class QAResRGB;
class QTextStream;

// A node of the resource tree: a tagged value with a link to its next sibling.
// A node owns the chain of siblings that follows it; a group also owns its children.
class QARes
{
public:
    enum Kind { GroupKind, StringKind, BooleanKind, RGBKind };

    virtual ~QARes();
    QARes(const QARes&) = delete;
    QARes& operator=(const QARes&) = delete;

    // getters:
    Kind kind() const { return resKind; }
    QString tag() const { return resTag; }
    bool isTag(const char* tag) const;
    bool isTag(const QString& tag) const;
    QARes* next() const { return nextRes; }

    // typed views: the node itself when it is of that kind, null otherwise
    QAResGroup* toResGroup();
    QAResString* toResString();
    QAResBoolean* toResBoolean();
    QAResRGB* toResRGB();
    const QAResGroup* toResGroup() const;
    const QAResString* toResString() const;
    const QAResBoolean* toResBoolean() const;
    const QAResRGB* toResRGB() const;

    // Links `sibling` (and the chain behind it) as this node's next sibling and takes ownership
    // of it. A previous sibling chain is deleted. Answers `sibling`.
    QARes* setNext(QARes* sibling);
    // Unlinks and answers the next sibling chain; the caller owns it.
    QARes* takeNext();

    // Looks along this node and its following siblings for the first segment of `path`, then
    // descends into that group's children for each further segment. Null when nothing matches.
    QARes* search(const QString& path, char separator = '.');

    // Writes this node with its subtree (not its siblings) as a complete resource document.
    // `indent` prefixes every line after the XML declaration.
    void write(QTextStream& stream, const QString& indent = QString()) const;
    QByteArray toXml() const;

    // Reads a resource document written by `write`. Answers the first top-level node (further
    // top-level nodes are linked as its siblings) or null, with the reason in `error`.
    // `lenient` skips unknown elements instead of rejecting the document.
    static QARes* read(const QString& fileName, bool lenient, QString* error = nullptr);
    static QARes* fromXml(const QByteArray& xml, bool lenient, QString* error = nullptr);

    // Deepest nesting of groups that `read` accepts.
    static constexpr int MaxDepth = 256;

protected:
    QARes(Kind kind, const QString& tag);

private:
    Kind resKind;
    QString resTag;
    QARes* nextRes = nullptr; // owned
};

class QAResGroup : public QARes
{
public:
    explicit QAResGroup(const QString& tag, QAResGroup* parent = nullptr);
    ~QAResGroup() override;

    QARes* firstChild() const { return child; }
    // Appends `node` (and the chain behind it) after the last child; the group takes ownership.
    void addChild(QARes* node);
    // Replaces all children by the chain starting at `first`; the old children are deleted.
    void setChildren(QARes* first);
    // The first direct child carrying `tag`, or null.
    QARes* childByTag(const QString& tag) const;

private:
    QARes* child = nullptr; // owned, with its sibling chain
};

class QAResString : public QARes
{
public:
    QAResString(const QString& tag, const QString& value);
    QString value() const { return text; }
    void setValue(const QString& value) { text = value; }

private:
    QString text;
};

class QAResBoolean : public QARes
{
public:
    QAResBoolean(const QString& tag, bool value);
    bool value() const { return flag; }
    void setValue(bool value) { flag = value; }

private:
    bool flag;
};

class QAResRGB : public QARes
{
public:
    // Components are clamped to 0..255.
    QAResRGB(const QString& tag, int red, int green, int blue);
    QAResRGB(const QString& tag, const QColor& color);
    int red() const { return r; }
    int green() const { return g; }
    int blue() const { return b; }
    QColor color() const { return QColor(r, g, b); }

private:
    int r, g, b;
};

// An object that can write itself into the resource tree. The tree answered belongs to the caller.
class QAResProducer
{
public:
    virtual QARes* toResources(const char* name) = 0;

protected:
    ~QAResProducer() = default;
};
