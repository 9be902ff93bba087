#pragma once

#include "outputfolder.h"

#include <QByteArray>
#include <QList>
#include <QString>

namespace nk {

// What a timbre's sounds were rendered from and came to, kept beside them
// (sound/<timbre>/.rendered), so a rebuild renders only the timbres whose
// inputs or files changed. The program never reads it, and it is not installed.
struct RenderRecord
{
    struct File
    {
        QString path; // relative to the program folder
        qint64 size = 0;
        QByteArray digest; // hex
    };

    QByteArray key;      // of everything the files depend on
    double limit = 0.0;  // the loudest target this timbre allows, LUFS
    double target = 0.0; // what its files were normalised to, LUFS
    QList<File> files;

    static QString path(const QString &folder);
    static RenderRecord parse(const QByteArray &bytes);
    QByteArray format() const;

    // Every file there with the size and content it was written with.
    bool intact(const OutputFolder &out) const;
    static File describe(const QString &path, const QByteArray &bytes);
};

} // namespace nk
