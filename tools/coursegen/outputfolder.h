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
    // Does nothing for a file that holds the learner's own data (see below).
    void write(const QString &relative, const QByteArray &bytes) const;

    // A level's level.dat (progress), notes.dat (answers, traits) and note
    // pictures are the learner's once they exist: the program writes into them,
    // so a rebuild after a course update must never put them back to new.
    bool keepsLearnerFile(const QString &relative) const;

private:
    QString m_root;
};

} // namespace nk
