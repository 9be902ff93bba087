#pragma once

#include "rigfolder.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace nk::test {

// The files the learner's progress lives in, as the crash test sees them: the
// INI files written by whole-file replacement and the append-only activity log.
class DataFiles
{
public:
    // The program folder these tests run on: the course's top-level files and
    // the levels the learner session works on, 1 and 2, without the note
    // pictures, which the session never shows and the crash test would copy
    // at every one of its hundreds of runs.
    static RigSetup folderSetup()
    {
        return RigSetup(RigSetup::Levels, {QStringLiteral("01"), QStringLiteral("02")})
            .withoutNotePictures();
    }
    // Relative to the program folder.
    static QStringList iniFiles();
    static QString logFile() { return QStringLiteral("levels/log.dat"); }

    // One line describing every INI file's content: a short digest per file,
    // "-" for a missing one. Two folders with equal lines hold equal files.
    static QString digest(const QString &folder);

    struct Log
    {
        bool whole = false;   // only complete, well-formed records
        QString error;        // what is wrong when not whole
        QStringList messages; // record texts after the date and " - "
    };
    static Log readLog(const QString &folder);

    // Whether the bytes are a well-formed INI file: every line a section
    // header, a key=value line or empty, and the file ends with a line end.
    static bool isIniText(const QByteArray &bytes, QString *error);

    // Files in the levels folders that none of the program's files explain:
    // what an interrupted replacement may have left behind.
    static QStringList strayFiles(const QString &folder);

    static QByteArray readAll(const QString &path, bool *exists = nullptr);
};

} // namespace nk::test
