// Every dependency between the rooms of src/ points one way, down: a file includes headers of
// its own room or of rooms below it, never of a room beside or above it. A cycle between two
// rooms (start-up using the SNMP layer while the SNMP layer used start-up's message tables)
// makes neither testable without the other and lets a change in one break the other.
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QRegularExpression>
#include <QStringList>
#include <gtest/gtest.h>

namespace {

// The rooms from the bottom up; a room may include its own headers and those of lower levels.
// Rooms of one level know nothing of each other.
struct Room {
    const char *name;
    int level;
};

const Room kRooms[] = {
    {"messages", 0},          {"tftp", 0},
    {"snmp", 1},              {"snmp/widgets", 2},
    {"startup", 3},           {"forms/framework", 3},
    {"forms/main", 4},        {"forms/maintenance", 5},
    {"forms/wireless", 5},    {"forms/network", 5},
    {"forms/monitor", 5},     {"forms/performance", 5},
    {"forms", 6},             {"entry", 7},
};

QString sourceDir()
{
    const QString dir = qEnvironmentVariable("QRN_SOURCE_DIR");
    return dir.isEmpty() ? QStringLiteral(".") : dir;
}

// The room of a file, by its path below src/. The program entry sits in startup's folder but
// is the top of everything: it creates the main window and connects the menus.
QString roomOf(const QString &relativePath)
{
    if (relativePath == QStringLiteral("startup/main.cpp"))
        return QStringLiteral("entry");
    QString best;
    for (const Room &room : kRooms) {
        const QString name = QString::fromLatin1(room.name);
        if (relativePath.startsWith(name + u'/') && name.size() > best.size()
            && !relativePath.mid(name.size() + 1).contains(u'/'))
            best = name;
    }
    return best;
}

int levelOf(const QString &room)
{
    for (const Room &r : kRooms) {
        if (room == QLatin1String(r.name))
            return r.level;
    }
    return -1;
}

struct SourceFile {
    QString path; // below src/
    QString room;
};

QList<SourceFile> sources()
{
    QList<SourceFile> files;
    const QDir src(sourceDir() + QStringLiteral("/src"));
    QDirIterator it(src.path(), {QStringLiteral("*.h"), QStringLiteral("*.cpp")}, QDir::Files,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString relative = src.relativeFilePath(it.next());
        files.append({relative, roomOf(relative)});
    }
    return files;
}

TEST(RoomDependencies, EveryFileBelongsToARoom)
{
    const QList<SourceFile> files = sources();
    ASSERT_FALSE(files.isEmpty()) << "no sources below " << sourceDir().toStdString();
    for (const SourceFile &file : files)
        EXPECT_FALSE(file.room.isEmpty()) << file.path.toStdString() << " is in no room";
}

TEST(RoomDependencies, IncludesPointOnlyDown)
{
    const QList<SourceFile> files = sources();
    QHash<QString, QString> roomOfHeader; // header file name -> room
    for (const SourceFile &file : files) {
        if (file.path.endsWith(u".h"))
            roomOfHeader.insert(QFileInfo(file.path).fileName(), file.room);
    }
    static const QRegularExpression include(QStringLiteral("^\\s*#\\s*include\\s+\"([^\"]+)\""),
                                            QRegularExpression::MultilineOption);
    QStringList wrong;
    for (const SourceFile &file : files) {
        QFile text(sourceDir() + QStringLiteral("/src/") + file.path);
        ASSERT_TRUE(text.open(QIODevice::ReadOnly)) << file.path.toStdString();
        const QString content = QString::fromUtf8(text.readAll());
        auto matches = include.globalMatch(content);
        while (matches.hasNext()) {
            const QString header = QFileInfo(matches.next().captured(1)).fileName();
            const QString target = roomOfHeader.value(header);
            if (target.isEmpty() || target == file.room)
                continue;
            if (levelOf(target) >= levelOf(file.room))
                wrong.append(file.path + QStringLiteral(" (") + file.room
                             + QStringLiteral(") includes ") + header + QStringLiteral(" (")
                             + target + u')');
        }
    }
    EXPECT_TRUE(wrong.isEmpty()) << wrong.join(u'\n').toStdString();
}

} // namespace
