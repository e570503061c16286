#include "host/res/qares.h"

#include <QFile>
#include <QTextStream>
#include <QXmlStreamReader>
#include <QXmlStreamWriter>

#include <algorithm>

namespace {

const char* const kindElement[] = {"group", "string", "boolean", "rgb"};

int clampComponent(int value)
{
    return std::clamp(value, 0, 255);
}

// XML cannot carry control characters, lone surrogates or non-characters, turns "\r" into "\n"
// and line breaks would take the indentation of the lines written after them: such texts are
// stored base64-encoded so that they read back unchanged.
bool needsEncoding(const QString& text)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text.at(i).unicode();
        if ((c < 0x20 && c != '\t') || c == 0xFFFE || c == 0xFFFF)
            return true;
        if (QChar::isHighSurrogate(c)) {
            if (i + 1 >= text.size() || !QChar::isLowSurrogate(text.at(i + 1).unicode()))
                return true;
            ++i;
        } else if (QChar::isLowSurrogate(c)) {
            return true;
        }
    }
    return false;
}

QString encoded(const QString& text)
{
    return QString::fromLatin1(
        QByteArray(reinterpret_cast<const char*>(text.utf16()), text.size() * 2).toBase64());
}

QString decoded(const QString& text)
{
    const QByteArray raw = QByteArray::fromBase64(text.toLatin1());
    return QString(reinterpret_cast<const QChar*>(raw.constData()), raw.size() / 2);
}

void writeText(QXmlStreamWriter& xml, const QString& attribute, const QString& text)
{
    if (needsEncoding(text))
        xml.writeAttribute(attribute + QStringLiteral("64"), encoded(text));
    else
        xml.writeAttribute(attribute, text);
}

void writeNode(QXmlStreamWriter& xml, const QARes* node)
{
    xml.writeStartElement(QLatin1String(kindElement[node->kind()]));
    writeText(xml, QStringLiteral("tag"), node->tag());
    switch (node->kind()) {
    case QARes::GroupKind:
        for (const QARes* c = node->toResGroup()->firstChild(); c; c = c->next())
            writeNode(xml, c);
        break;
    case QARes::StringKind: {
        const QString value = node->toResString()->value();
        if (needsEncoding(value))
            xml.writeAttribute(QStringLiteral("value64"), encoded(value));
        else
            xml.writeCharacters(value);
        break;
    }
    case QARes::BooleanKind:
        xml.writeCharacters(node->toResBoolean()->value() ? QStringLiteral("true")
                                                          : QStringLiteral("false"));
        break;
    case QARes::RGBKind: {
        const QAResRGB* rgb = node->toResRGB();
        xml.writeAttribute(QStringLiteral("red"), QString::number(rgb->red()));
        xml.writeAttribute(QStringLiteral("green"), QString::number(rgb->green()));
        xml.writeAttribute(QStringLiteral("blue"), QString::number(rgb->blue()));
        break;
    }
    }
    xml.writeEndElement();
}

// Reads a resource document; every failure leaves a reason and yields null.
class Reader
{
public:
    Reader(const QByteArray& data, bool skipUnknown) : xml(data), lenient(skipUnknown) {}

    QARes* document()
    {
        if (!xml.readNextStartElement()) {
            fail(QStringLiteral("the document is empty or not XML"));
            return nullptr;
        }
        if (xml.name() != QLatin1String("resources")) {
            fail(QStringLiteral("the document is not a resource file (root element <%1>)")
                     .arg(xml.name().toString()));
            return nullptr;
        }
        const auto version = xml.attributes().value(QLatin1String("version"));
        if (!version.isEmpty() && version != QLatin1String("1")) {
            fail(QStringLiteral("unsupported resource file version %1").arg(version.toString()));
            return nullptr;
        }
        QARes* first = children(0);
        if (!failed() && !first)
            fail(QStringLiteral("the resource file holds no resource"));
        if (!failed()) {
            // Nothing but white space and comments may follow the root element.
            while (!xml.atEnd())
                xml.readNext();
            if (xml.hasError())
                fail(xml.errorString());
        }
        if (failed()) {
            delete first;
            return nullptr;
        }
        return first;
    }

    QString error() const
    {
        if (reason.isEmpty())
            return QString();
        if (xml.lineNumber() > 0)
            return QStringLiteral("line %1: %2").arg(xml.lineNumber()).arg(reason);
        return reason;
    }

private:
    bool failed() const { return !reason.isEmpty(); }

    void fail(const QString& why)
    {
        if (reason.isEmpty())
            reason = xml.hasError() ? xml.errorString() : why;
    }

    // Reads the child elements of the current element; answers the first with the rest linked.
    QARes* children(int depth)
    {
        QARes* first = nullptr;
        QARes* last = nullptr;
        while (!failed() && xml.readNextStartElement()) {
            QARes* node = element(depth);
            if (!node)
                continue;
            if (last)
                last->setNext(node);
            else
                first = node;
            last = node;
        }
        if (xml.hasError())
            fail(xml.errorString());
        if (failed()) {
            delete first;
            return nullptr;
        }
        return first;
    }

    QARes* element(int depth)
    {
        const QStringView name = xml.name();
        const QXmlStreamAttributes attributes = xml.attributes();
        const bool tagged = attributes.hasAttribute(QLatin1String("tag"))
                            || attributes.hasAttribute(QLatin1String("tag64"));
        if (!tagged && isKnown(name)) {
            fail(QStringLiteral("<%1> without a tag").arg(name.toString()));
            return nullptr;
        }
        const QString tag = attributes.hasAttribute(QLatin1String("tag64"))
                                ? decoded(attributes.value(QLatin1String("tag64")).toString())
                                : attributes.value(QLatin1String("tag")).toString();
        if (name == QLatin1String("group")) {
            if (depth + 1 >= QARes::MaxDepth) {
                fail(QStringLiteral("groups are nested deeper than %1").arg(QARes::MaxDepth));
                return nullptr;
            }
            auto* group = new QAResGroup(tag);
            group->setChildren(children(depth + 1));
            if (failed()) {
                delete group;
                return nullptr;
            }
            return group;
        }
        if (name == QLatin1String("string")) {
            if (attributes.hasAttribute(QLatin1String("value64"))) {
                xml.skipCurrentElement();
                return new QAResString(
                    tag, decoded(attributes.value(QLatin1String("value64")).toString()));
            }
            return new QAResString(tag, text());
        }
        if (name == QLatin1String("boolean")) {
            const QString value = text().trimmed();
            if (value == QLatin1String("true") || value == QLatin1String("1"))
                return new QAResBoolean(tag, true);
            if (value == QLatin1String("false") || value == QLatin1String("0"))
                return new QAResBoolean(tag, false);
            fail(QStringLiteral("boolean \"%1\" holds \"%2\"").arg(tag, value));
            return nullptr;
        }
        if (name == QLatin1String("rgb")) {
            int components[3];
            const char* const names[] = {"red", "green", "blue"};
            for (int i = 0; i < 3; ++i) {
                bool ok = false;
                components[i] = attributes.value(QLatin1String(names[i])).toInt(&ok);
                if (!ok || components[i] < 0 || components[i] > 255) {
                    fail(QStringLiteral("colour \"%1\" has no valid %2 component (0 to 255)")
                             .arg(tag, QLatin1String(names[i])));
                    return nullptr;
                }
            }
            xml.skipCurrentElement();
            return new QAResRGB(tag, components[0], components[1], components[2]);
        }
        if (!lenient) {
            fail(QStringLiteral("unknown element <%1>").arg(name.toString()));
            return nullptr;
        }
        xml.skipCurrentElement();
        return nullptr;
    }

    static bool isKnown(QStringView name)
    {
        return name == QLatin1String("group") || name == QLatin1String("string")
               || name == QLatin1String("boolean") || name == QLatin1String("rgb");
    }

    QString text()
    {
        QString value = xml.readElementText(QXmlStreamReader::ErrorOnUnexpectedElement);
        if (xml.hasError())
            fail(xml.errorString());
        return value;
    }

    QXmlStreamReader xml;
    bool lenient;
    QString reason;
};

} // namespace

QARes::QARes(Kind kind, const QString& tag) : resKind(kind), resTag(tag)
{
}

QARes::~QARes()
{
    // Unlink the chain first so that a long sibling chain is freed iteratively, not recursively.
    QARes* node = nextRes;
    nextRes = nullptr;
    while (node) {
        QARes* following = node->nextRes;
        node->nextRes = nullptr;
        delete node;
        node = following;
    }
}

bool QARes::isTag(const char* tag) const
{
    return tag && resTag == QString::fromUtf8(tag);
}

bool QARes::isTag(const QString& tag) const
{
    return resTag == tag;
}

QAResGroup* QARes::toResGroup()
{
    return resKind == GroupKind ? static_cast<QAResGroup*>(this) : nullptr;
}

QAResString* QARes::toResString()
{
    return resKind == StringKind ? static_cast<QAResString*>(this) : nullptr;
}

QAResBoolean* QARes::toResBoolean()
{
    return resKind == BooleanKind ? static_cast<QAResBoolean*>(this) : nullptr;
}

QAResRGB* QARes::toResRGB()
{
    return resKind == RGBKind ? static_cast<QAResRGB*>(this) : nullptr;
}

const QAResGroup* QARes::toResGroup() const
{
    return resKind == GroupKind ? static_cast<const QAResGroup*>(this) : nullptr;
}

const QAResString* QARes::toResString() const
{
    return resKind == StringKind ? static_cast<const QAResString*>(this) : nullptr;
}

const QAResBoolean* QARes::toResBoolean() const
{
    return resKind == BooleanKind ? static_cast<const QAResBoolean*>(this) : nullptr;
}

const QAResRGB* QARes::toResRGB() const
{
    return resKind == RGBKind ? static_cast<const QAResRGB*>(this) : nullptr;
}

QARes* QARes::setNext(QARes* sibling)
{
    if (sibling == nextRes)
        return sibling;
    delete takeNext();
    nextRes = sibling;
    return sibling;
}

QARes* QARes::takeNext()
{
    QARes* chain = nextRes;
    nextRes = nullptr;
    return chain;
}

QARes* QARes::search(const QString& path, char separator)
{
    const QStringList segments = path.split(QLatin1Char(separator));
    QARes* chain = this;
    for (int i = 0; i < segments.size(); ++i) {
        QARes* found = chain;
        while (found && found->resTag != segments.at(i))
            found = found->nextRes;
        if (!found || i + 1 == segments.size())
            return found;
        QAResGroup* group = found->toResGroup();
        if (!group)
            return nullptr;
        chain = group->firstChild();
    }
    return nullptr;
}

void QARes::write(QTextStream& stream, const QString& indent) const
{
    const QString text = QString::fromUtf8(toXml());
    if (indent.isEmpty()) {
        stream << text;
        return;
    }
    const QStringList lines = text.split(QLatin1Char('\n'));
    for (int i = 0; i < lines.size(); ++i) {
        // The XML declaration must stay at the very start of the document.
        if (i > 0 && !lines.at(i).isEmpty())
            stream << indent;
        stream << lines.at(i);
        if (i + 1 < lines.size())
            stream << '\n';
    }
}

QByteArray QARes::toXml() const
{
    QByteArray out;
    QXmlStreamWriter xml(&out);
    xml.setAutoFormatting(true);
    xml.setAutoFormattingIndent(2);
    xml.writeStartDocument();
    xml.writeStartElement(QStringLiteral("resources"));
    xml.writeAttribute(QStringLiteral("version"), QStringLiteral("1"));
    writeNode(xml, this);
    xml.writeEndElement();
    xml.writeEndDocument();
    return out;
}

QARes* QARes::read(const QString& fileName, bool lenient, QString* error)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly)) {
        if (error)
            *error = file.errorString();
        return nullptr;
    }
    return fromXml(file.readAll(), lenient, error);
}

QARes* QARes::fromXml(const QByteArray& xml, bool lenient, QString* error)
{
    Reader reader(xml, lenient);
    QARes* tree = reader.document();
    if (error)
        *error = reader.error();
    return tree;
}

QAResGroup::QAResGroup(const QString& tag, QAResGroup* parent) : QARes(GroupKind, tag)
{
    if (parent)
        parent->addChild(this);
}

QAResGroup::~QAResGroup()
{
    delete child;
}

void QAResGroup::addChild(QARes* node)
{
    if (!node)
        return;
    if (!child) {
        child = node;
        return;
    }
    QARes* last = child;
    while (last->next())
        last = last->next();
    last->setNext(node);
}

void QAResGroup::setChildren(QARes* first)
{
    if (first == child)
        return;
    delete child;
    child = first;
}

QARes* QAResGroup::childByTag(const QString& tag) const
{
    for (QARes* c = child; c; c = c->next()) {
        if (c->isTag(tag))
            return c;
    }
    return nullptr;
}

QAResString::QAResString(const QString& tag, const QString& value)
    : QARes(StringKind, tag), text(value)
{
}

QAResBoolean::QAResBoolean(const QString& tag, bool value) : QARes(BooleanKind, tag), flag(value)
{
}

QAResRGB::QAResRGB(const QString& tag, int red, int green, int blue)
    : QARes(RGBKind, tag), r(clampComponent(red)), g(clampComponent(green)), b(clampComponent(blue))
{
}

QAResRGB::QAResRGB(const QString& tag, const QColor& color)
    : QAResRGB(tag, color.red(), color.green(), color.blue())
{
}
