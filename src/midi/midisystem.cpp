#include "midi/midisystem.h"

#include "course/deviceplugin.h"

#include <atomic>

// Linked into test programs; the program itself takes the plug-in's.
extern "C" __attribute__((weak)) const nk::MidiBackend *nk_builtin_midi();

namespace nk {

namespace {

// Asked again while not found: a plug-in looked for in the wrong place may be
// pointed at later (DevicePlugin::setFolder).
const MidiBackend *backend()
{
    static std::atomic<const MidiBackend *> found = nullptr;
    if (!found)
        found = DevicePlugin::pick(nk_builtin_midi, "nk_plugin_midi");
    return found;
}

} // namespace

bool MidiSystem::running(Kind kind)
{
    const MidiBackend *libraries = backend();
    return libraries && libraries->running(kind);
}

std::unique_ptr<MidiSystem> MidiSystem::open(Kind kind, const QString &name, Callback callback,
                                             void *userData)
{
    const MidiBackend *libraries = backend();
    return libraries ? libraries->open(kind, name, callback, userData) : nullptr;
}

} // namespace nk
