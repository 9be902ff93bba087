#pragma once

#include <QFunctionPointer>
#include <QString>

namespace nk {

// The libraries behind sound output, MIDI and the network (Qt Multimedia, the
// sound server's, RtMidi, JACK, Qt Network) take a good part of a start to
// load, and the first page needs none of them. The program keeps the code that
// uses them in a plug-in beside its executable, loaded the first time one of
// them is wanted, which is after the first page is painted. A program that
// links that code in (the tests do) finds it there and never loads the plug-in.
class DevicePlugin
{
public:
    static QString fileName() { return QStringLiteral("libnk_devices.so"); }
    // Where the plug-in is looked for: beside the executable, unless set. A
    // plug-in once loaded stays loaded; one not found is looked for again.
    static void setFolder(const QString &folder);

    // The plug-in's function `entry`; null, with one warning per run, when the
    // plug-in cannot be loaded or lacks it.
    static QFunctionPointer resolve(const char *entry);

    // `builtIn` when the program links it (a weak symbol, null otherwise), else
    // the plug-in's `entry`; either is called for what it gives.
    template <typename T> static T pick(T (*builtIn)(), const char *entry)
    {
        if (builtIn)
            return builtIn();
        const auto fromPlugin = reinterpret_cast<T (*)()>(resolve(entry));
        return fromPlugin ? fromPlugin() : T{};
    }
};

} // namespace nk
