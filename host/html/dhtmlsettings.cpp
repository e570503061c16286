#include "host/html/dhtmlsettings.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

namespace {

// dhtml.cfg is a handful of lines; anything larger is not one.
constexpr qint64 MaxFileSize = 64 * 1024;

void report(QStringList* problems, const QString& text)
{
    if (problems)
        problems->append(text);
}

} // namespace

DHtmlSettings DHtmlSettings::read(const QString& path, QStringList* problems)
{
    QFile file(path);
    if (path.isEmpty() || !file.open(QIODevice::ReadOnly)) {
        report(problems, tr("Cannot read the export settings %1, using the defaults.")
                             .arg(QDir::toNativeSeparators(path)));
        return DHtmlSettings();
    }
    if (file.size() > MaxFileSize) {
        report(problems, tr("The export settings %1 are too large, using the defaults.")
                             .arg(QDir::toNativeSeparators(path)));
        return DHtmlSettings();
    }
    return parse(QString::fromUtf8(file.readAll()), QFileInfo(path).absolutePath(), problems);
}

DHtmlSettings DHtmlSettings::parse(const QString& text, const QString& baseDir,
                                   QStringList* problems)
{
    DHtmlSettings settings;
    const QStringList lines = text.split(QLatin1Char('\n'));
    for (int i = 0; i < lines.size(); ++i) {
        const QString line = lines.at(i).trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char('#')))
            continue;
        const int lineNumber = i + 1;
        const int eq = line.indexOf(QLatin1Char('='));
        if (eq < 0) {
            report(problems,
                   tr("Line %1 of the export settings is not key=value: ignored.").arg(lineNumber));
            continue;
        }
        const QString key = line.left(eq).trimmed().toLower();
        const QString value = line.mid(eq + 1).trimmed();
        if (key == QLatin1String("image_width") || key == QLatin1String("image_height")) {
            const bool width = key == QLatin1String("image_width");
            bool ok = false;
            const int side = value.toInt(&ok);
            if (!ok || side < MinSide || side > MaxSide) {
                report(problems,
                       tr("Line %1: %2 must be a whole number from %3 to %4, using %5.")
                           .arg(lineNumber)
                           .arg(key)
                           .arg(MinSide)
                           .arg(MaxSide)
                           .arg(width ? settings.imageSize.width() : settings.imageSize.height()));
                continue;
            }
            if (width)
                settings.imageSize.setWidth(side);
            else
                settings.imageSize.setHeight(side);
        } else if (key == QLatin1String("formats")) {
            bool svg = false;
            bool png = false;
            const QStringList formats = value.toLower().split(
                QRegularExpression(QStringLiteral("[,;\\s]+")), Qt::SkipEmptyParts);
            for (const QString& format : formats) {
                if (format == QLatin1String("svg"))
                    svg = true;
                else if (format == QLatin1String("png"))
                    png = true;
                else
                    report(problems, tr("Line %1: unknown image format \"%2\" ignored.")
                                         .arg(lineNumber)
                                         .arg(format));
            }
            if (!svg && !png) {
                report(problems,
                       tr("Line %1: no known image format, writing svg and png.").arg(lineNumber));
                svg = png = true;
            }
            settings.svg = svg;
            settings.png = png;
        } else if (key == QLatin1String("stylesheet")) {
            if (value.isEmpty()) {
                settings.stylesheet.clear();
                continue;
            }
            const QString path = QDir(baseDir).absoluteFilePath(value);
            if (!QFileInfo(path).isFile()) {
                report(problems, tr("Line %1: stylesheet %2 not found, using the built-in style.")
                                     .arg(lineNumber)
                                     .arg(QDir::toNativeSeparators(path)));
                continue;
            }
            settings.stylesheet = path;
        } else {
            report(problems, tr("Line %1: unknown key \"%2\" ignored.").arg(lineNumber).arg(key));
        }
    }
    return settings;
}
