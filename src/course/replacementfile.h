#pragma once

#include <QString>
#include <QTemporaryFile>

namespace nk {

// Replaces a file whole or not at all: the new content goes to a temporary
// file beside it, which is synced and then renamed over the file. The
// temporary's name ends in a suffix nobody else uses, so the leftovers of a
// killed program can be told from a learner's own files and removed at start.
class ReplacementFile
{
public:
    static QString suffix() { return QStringLiteral(".notoklyuv-tmp"); }
    // Whether a file name is one this class makes for its temporaries.
    static bool isOwnTemporary(const QString &fileName);

    explicit ReplacementFile(const QString &path);
    ~ReplacementFile(); // an uncommitted temporary goes
    ReplacementFile(const ReplacementFile &) = delete;
    ReplacementFile &operator=(const ReplacementFile &) = delete;

    bool open();
    // The temporary, for writers that take a device.
    QIODevice &device() { return m_temp; }
    bool write(const QByteArray &bytes);
    bool commit();

    QString fileName() const { return m_path; }
    QString errorString() const;

private:
    QString m_path;
    QTemporaryFile m_temp;
    QString m_error;
};

} // namespace nk
