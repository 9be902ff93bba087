#pragma once

#include <QByteArray>
#include <QString>

namespace nk {

// The program folder the course is written into; paths are relative, with "/".
class OutputFolder
{
public:
    explicit OutputFolder(QString root);
    QString absolute(const QString &relative) const;
    // Creates the folders on the way; throws GenerationError when writing fails.
    QString prepare(const QString &relative) const;
    void write(const QString &relative, const QByteArray &bytes) const;

private:
    QString m_root;
};

} // namespace nk
