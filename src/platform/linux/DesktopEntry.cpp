#include "platform/linux/DesktopEntry.h"

#include "platform/AppPaths.h"
#include "platform/Environment.h"

#include <QDir>

namespace vantrel {

namespace {

// The general escapes of string values: \s \n \t \r \\ .
QString unescapeValue(const QString& value) {
    QString out;
    out.reserve(value.size());
    for (qsizetype i = 0; i < value.size(); ++i) {
        const QChar c = value.at(i);
        if (c != QLatin1Char('\\') || i + 1 == value.size()) {
            out.append(c);
            continue;
        }
        const QChar next = value.at(++i);
        switch (next.unicode()) {
        case 's':
            out.append(QLatin1Char(' '));
            break;
        case 'n':
            out.append(QLatin1Char('\n'));
            break;
        case 't':
            out.append(QLatin1Char('\t'));
            break;
        case 'r':
            out.append(QLatin1Char('\r'));
            break;
        case '\\':
            out.append(QLatin1Char('\\'));
            break;
        default:
            out.append(c);
            out.append(next);
        }
    }
    return out;
}

// Removes field codes from one argument. The codes expand to files, addresses, the icon or the
// name at launch; we never pass any of those, so each code expands to nothing.
QString withoutFieldCodes(const QString& argument) {
    QString out;
    for (qsizetype i = 0; i < argument.size(); ++i) {
        if (argument.at(i) != QLatin1Char('%') || i + 1 == argument.size()) {
            out.append(argument.at(i));
            continue;
        }
        const QChar code = argument.at(++i);
        if (code == QLatin1Char('%')) out.append(QLatin1Char('%'));
    }
    return out;
}

} // namespace

std::optional<QStringList> splitDesktopExec(const QString& exec) {
    struct Argument {
        QString text;
        bool quoted = false;
    };
    std::vector<Argument> arguments;
    Argument current;
    bool inArgument = false;
    bool inQuotes = false;
    for (qsizetype i = 0; i < exec.size(); ++i) {
        const QChar c = exec.at(i);
        if (inQuotes) {
            if (c == QLatin1Char('"')) {
                inQuotes = false;
            } else if (c == QLatin1Char('\\') && i + 1 < exec.size()) {
                const QChar next = exec.at(i + 1);
                // Inside quotes a backslash escapes only these four characters.
                if (next == QLatin1Char('"') || next == QLatin1Char('`') || next == QLatin1Char('$') ||
                    next == QLatin1Char('\\')) {
                    current.text.append(next);
                    ++i;
                } else {
                    current.text.append(c);
                }
            } else {
                current.text.append(c);
            }
        } else if (c == QLatin1Char(' ') || c == QLatin1Char('\t')) {
            if (inArgument) arguments.push_back(std::exchange(current, {}));
            inArgument = false;
        } else if (c == QLatin1Char('"')) {
            inQuotes = true;
            inArgument = true;
            current.quoted = true;
        } else {
            current.text.append(c);
            inArgument = true;
        }
    }
    if (inQuotes) return std::nullopt;
    if (inArgument) arguments.push_back(std::move(current));

    QStringList out;
    for (const Argument& argument : arguments) {
        const QString text = withoutFieldCodes(argument.text);
        // An argument that was nothing but field codes disappears; an empty quoted one stays.
        if (text.isEmpty() && !(argument.quoted && argument.text.isEmpty())) continue;
        out.append(text);
    }
    return out;
}

QStringList DesktopEntry::command() const {
    return splitDesktopExec(exec).value_or(QStringList());
}

std::optional<DesktopEntry> parseDesktopEntry(const QByteArray& text) {
    const QString content = QString::fromUtf8(text);
    bool inMainGroup = false;
    bool sawMainGroup = false;
    QString type;
    bool hidden = false;
    DesktopEntry entry;
    for (const QString& rawLine : content.split(QLatin1Char('\n'))) {
        const QString line = rawLine.trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char('#'))) continue;
        if (line.startsWith(QLatin1Char('['))) {
            // Only the first group may be the main one; any later group (actions) is ignored.
            inMainGroup = line == u"[Desktop Entry]" && !sawMainGroup;
            sawMainGroup = sawMainGroup || inMainGroup;
            continue;
        }
        if (!inMainGroup) continue;
        const qsizetype equals = line.indexOf(QLatin1Char('='));
        if (equals <= 0) continue;
        const QString key = line.left(equals).trimmed();
        const QString value = unescapeValue(line.mid(equals + 1).trimmed());
        if (key == u"Type")
            type = value;
        else if (key == u"Name")
            entry.name = value;
        else if (key == u"Exec")
            entry.exec = value;
        else if (key == u"Icon")
            entry.icon = value;
        else if (key == u"Path")
            entry.path = value;
        else if (key == u"Hidden")
            hidden = value == u"true";
    }
    if (!sawMainGroup || type != u"Application" || hidden || entry.name.isEmpty()) return std::nullopt;
    const auto command = splitDesktopExec(entry.exec);
    if (!command || command->isEmpty()) return std::nullopt;
    return entry;
}

QStringList applicationFolders(const AppPaths& paths, const Environment& environment) {
    QStringList folders{paths.dataHome + QStringLiteral("/applications")};
    QString dataDirs = environment.value(QStringLiteral("XDG_DATA_DIRS")).value_or(QString());
    if (dataDirs.isEmpty()) dataDirs = QStringLiteral("/usr/local/share:/usr/share");
    for (const QString& dir : dataDirs.split(QLatin1Char(':'), Qt::SkipEmptyParts)) {
        // Relative entries are invalid in the XDG variables and are ignored.
        if (!QDir::isAbsolutePath(dir)) continue;
        const QString folder = QDir::cleanPath(dir) + QStringLiteral("/applications");
        if (!folders.contains(folder)) folders.append(folder);
    }
    return folders;
}

} // namespace vantrel
