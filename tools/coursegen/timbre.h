#pragma once

#include <QList>
#include <QString>

namespace nk {

// A sound folder of the course and the General MIDI program it is rendered from.
struct Timbre
{
    QString folder;
    int program = 0; // 0-based

    // Every timbre the course ships, the default one (piano) first.
    static const QList<Timbre> &all();
};

} // namespace nk
