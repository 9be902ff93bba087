#include "rigfolder.h"

#include "course/levels.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QtEndian>
#include <cmath>

namespace nk::test {

namespace {

// The learner's own files: a new learner has none of them yet.
bool learnerOnly(const QString &name)
{
    return name == u"settings.dat" || name == u"log.dat" || name.startsWith(u"DEMO_");
}

bool copyTopFiles(const QString &from, const QString &to)
{
    for (const QFileInfo &info : QDir(from).entryInfoList(QDir::Files)) {
        if (!learnerOnly(info.fileName()) &&
            !QFile::copy(info.filePath(), to + u'/' + info.fileName()))
            return false;
    }
    return true;
}

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

bool makeBare(const QString &program, const QString &root)
{
    if (!QDir().mkpath(root + QStringLiteral("/levels/01")) ||
        !QDir().mkpath(root + QStringLiteral("/pictures")))
        return false;
    for (const char *name : {"/pictures/arrred.gif", "/pictures/arrblue.gif"}) {
        if (!QFile::copy(program + QLatin1String(name), root + QLatin1String(name)))
            return false;
    }
    return true;
}

// A WAV file's 16-bit samples multiplied by `factor`, the header kept.
QByteArray scaledWav(QByteArray bytes, double factor)
{
    qsizetype at = 12;
    while (at + 8 <= bytes.size()) {
        const quint32 size = qFromLittleEndian<quint32>(bytes.constData() + at + 4);
        if (bytes.mid(at, 4) != "data") {
            at += 8 + size + (size & 1);
            continue;
        }
        const qsizetype end = std::min<qsizetype>(bytes.size(), at + 8 + size);
        for (qsizetype i = at + 8; i + 1 < end; i += 2) {
            const auto sample = qFromLittleEndian<qint16>(bytes.constData() + i);
            qToLittleEndian<qint16>(qint16(std::lround(sample * factor)), bytes.data() + i);
        }
        break;
    }
    return bytes;
}

QStringList levelFolders(const RigSetup &setup)
{
    if (setup.course == RigSetup::Levels)
        return setup.levels;
    QStringList all;
    for (int level = 1; level <= Levels::Count; ++level)
        all << Levels::LevelFolder(level);
    return all;
}

} // namespace

bool RigFolder::make(const RigSetup &setup, const QString &root)
{
    const QString program = qEnvironmentVariable("NK_PROGRAM_DIR");
    QDir(root).removeRecursively();
    if (setup.course == RigSetup::Bare)
        return makeBare(program, root);
    const QString levels = root + QStringLiteral("/levels");
    if (!QDir().mkpath(levels) || !copyTopFiles(program + QStringLiteral("/levels"), levels))
        return false;
    const QString ownCopy = setup.ownCopy.isEmpty() ? QString() : root + u'/' + setup.ownCopy;
    for (const QString &folder : levelFolders(setup)) {
        if (!copyLevel(program + QStringLiteral("/levels/") + folder, levels + u'/' + folder,
                       setup.notePictures))
            return false;
    }
    if (!linkTree(program + QStringLiteral("/pictures"), root + QStringLiteral("/pictures"),
                  ownCopy))
        return false;
    if (setup.sounds && !setup.timbres.isEmpty())
        return makeTimbres(program, root, setup.timbres) &&
               (setup.firstRun ||
                writeFile(levels + QStringLiteral("/settings.dat"), "[main]\r\nfirstrun=0\r\n"));
    if (setup.sounds &&
        !linkTree(program + QStringLiteral("/sound"), root + QStringLiteral("/sound"), ownCopy))
        return false;
    return setup.firstRun ||
           writeFile(levels + QStringLiteral("/settings.dat"), "[main]\r\nfirstrun=0\r\n");
}

bool RigFolder::copyLevel(const QString &from, const QString &to, bool notePictures)
{
    if (!QDir().mkpath(to))
        return false;
    for (const QFileInfo &info : QDir(from).entryInfoList(QDir::Files)) {
        if ((notePictures || info.suffix() == u"dat") &&
            !QFile::copy(info.filePath(), to + u'/' + info.fileName()))
            return false;
    }
    return true;
}

// One link for the whole folder, unless the file to own lies inside it: then
// the folders on its way are made real and the rest linked entry by entry.
bool RigFolder::linkTree(const QString &from, const QString &to, const QString &ownCopy)
{
    if (to == ownCopy)
        return QFile::copy(from, to);
    if (!ownCopy.startsWith(to + u'/'))
        return QFile::link(from, to);
    if (!QDir().mkpath(to))
        return false;
    for (const QFileInfo &info :
         QDir(from).entryInfoList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot)) {
        if (!linkTree(info.filePath(), to + u'/' + info.fileName(), ownCopy))
            return false;
    }
    return true;
}

bool RigFolder::makeTimbres(const QString &program, const QString &root, const QStringList &timbres)
{
    const QString piano = program + QStringLiteral("/sound/piano");
    if (!QDir().mkpath(root + QStringLiteral("/sound")) ||
        !QFile::link(piano, root + QStringLiteral("/sound/piano")))
        return false;
    for (qsizetype k = 0; k < timbres.size(); ++k) {
        const double factor = 1.0 - 0.15 * double(k + 1);
        const QString to = root + QStringLiteral("/sound/") + timbres[k];
        QDirIterator it(piano, {QStringLiteral("*.wav")}, QDir::Files,
                        QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString path = it.next();
            QFile from(path);
            const QString target = to + u'/' + QDir(piano).relativeFilePath(path);
            if (!from.open(QIODevice::ReadOnly) || !QDir().mkpath(QFileInfo(target).path()) ||
                !writeFile(target, scaledWav(from.readAll(), factor)))
                return false;
        }
    }
    return true;
}

bool RigFolder::copyTree(const QString &from, const QString &to)
{
    QDir(to).removeRecursively();
    QDirIterator it(from, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System,
                    QDirIterator::Subdirectories);
    if (!QDir().mkpath(to))
        return false;
    while (it.hasNext()) {
        const QString path = it.next();
        const QFileInfo info = it.fileInfo();
        const QString target = to + u'/' + QDir(from).relativeFilePath(path);
        bool ok =
            QDir().mkpath(info.isDir() && !info.isSymLink() ? target : QFileInfo(target).path());
        if (info.isSymLink())
            ok = ok && QFile::link(info.symLinkTarget(), target);
        else if (!info.isDir())
            ok = ok && QFile::copy(path, target);
        if (!ok)
            return false;
    }
    return true;
}

} // namespace nk::test
