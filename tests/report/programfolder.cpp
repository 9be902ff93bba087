#include "programfolder.h"

#include "course/cp1251.h"
#include "widgets/messagebox.h"

#include <QDesktopServices>
#include <QDir>
#include <QFile>

bool ProgramFolder::create()
{
    if (!m_dir.isValid() || !QDir(m_dir.path()).mkpath(QStringLiteral("levels/01")) ||
        !QDir(m_dir.path()).mkpath(QStringLiteral("pictures")))
        return false;
    const QString program = qEnvironmentVariable("NK_PROGRAM_DIR");
    for (const char *name : {"arrred.gif", "arrblue.gif"}) {
        const QString relative = QStringLiteral("pictures/") + QLatin1String(name);
        QFile::copy(program + QLatin1Char('/') + relative, path(relative));
    }
    return true;
}

bool ProgramFolder::write(const QString &relative, const QString &text)
{
    QByteArray bytes;
    QFile file(path(relative));
    return nk::Cp1251::encode(text, bytes) && file.open(QIODevice::WriteOnly) &&
           file.write(bytes) == bytes.size();
}

bool ProgramFolder::remove(const QString &relative)
{
    return QFile::remove(path(relative));
}

QByteArray ProgramFolder::logBytes() const
{
    QFile file(path(QStringLiteral("levels/log.dat")));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QStringList ProgramFolder::logMessages() const
{
    QStringList messages;
    for (const QByteArray &record : logBytes().split('\x0D')) {
        // Records end in LF CR: split at the CR, drop the LF.
        if (record.isEmpty())
            continue;
        const QString line = nk::Cp1251::decode(record.chopped(1));
        messages.append(line.mid(line.indexOf(QStringLiteral(" - ")) + 3));
    }
    return messages;
}

QStringList ProgramFolder::uploadCopies() const
{
    return QDir(path(QStringLiteral("levels"))).entryList({QStringLiteral("DEMO_*")}, QDir::Files);
}

void UrlRecorder::install()
{
    for (const char *scheme : {"http", "https", "mailto", "file"})
        QDesktopServices::setUrlHandler(QLatin1String(scheme), this, "open");
}

void UrlRecorder::uninstall()
{
    for (const char *scheme : {"http", "https", "mailto", "file"})
        QDesktopServices::unsetUrlHandler(QLatin1String(scheme));
}

QStringList &shownMessages()
{
    static QStringList messages;
    return messages;
}

void recordMessages()
{
    shownMessages().clear();
    nk::MessageBox::setHook([](const QString &text) { shownMessages().append(text); });
}
