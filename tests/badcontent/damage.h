#pragma once

#include <QByteArray>
#include <QString>

namespace nk::test {

// The ways a course file is spoilt by hand, by a disk or by a bad copy.
enum class Damage
{
    Intact,
    Emptied,
    Halved,   // the first half of its bytes
    Junk,     // 4 KB of random bytes: NULs, undecodable 0x98, lone CRs, brackets
    HugeJunk, // 10 MB of the same
    Padded,   // the file as it was, followed by 10 MB of lines
    Removed
};

class Damager
{
public:
    static constexpr qsizetype HugeSize = 10 * 1024 * 1024;

    static QString name(Damage damage);
    // Spoils the file in place; false when it could not.
    static bool apply(const QString &path, Damage damage);
    // The same bytes every run, so a failure can be repeated.
    static QByteArray junk(qsizetype size);
    // Lines of an INI file's last section that no page asks for, or lines of
    // text for any other file.
    static QByteArray padding(qsizetype size, bool iniFile);
};

} // namespace nk::test
