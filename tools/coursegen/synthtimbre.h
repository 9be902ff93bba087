#pragma once

#include <QList>
#include <QString>

namespace nk {

// A sound folder of the course and the General MIDI program it is rendered from;
// named apart from the program's own Timbre, whose library the generator links.
struct SynthTimbre
{
    QString folder;
    int program = 0; // 0-based

    // Every timbre the course ships, the default one (piano) first.
    static const QList<SynthTimbre> &all();
};

} // namespace nk
