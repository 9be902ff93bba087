#include "course/deviceplugin.h"

#include "course/logging.h"

#include <QCoreApplication>
#include <QLibrary>
#include <QMutex>

namespace nk {

namespace {

struct Loaded
{
    QMutex lock; // the sound thread and the window's may ask at once
    QString folder;
    QLibrary *library = nullptr; // kept loaded for the rest of the run
    bool failed = false;
};

Loaded &loaded()
{
    static Loaded state;
    return state;
}

QLibrary *load(Loaded &state)
{
    if (state.library || state.failed)
        return state.library;
    const QString folder =
        state.folder.isEmpty() ? QCoreApplication::applicationDirPath() : state.folder;
    auto *library = new QLibrary(folder + QLatin1Char('/') + DevicePlugin::fileName());
    if (library->load()) {
        state.library = library;
        return library;
    }
    qCWarning(lcCourse).noquote() << "No sound, MIDI or network: the device plug-in did not load:"
                                  << library->errorString();
    delete library;
    state.failed = true;
    return nullptr;
}

} // namespace

void DevicePlugin::setFolder(const QString &folder)
{
    Loaded &state = loaded();
    const QMutexLocker guard(&state.lock);
    state.folder = folder;
    state.failed = false; // looked for again there
}

QFunctionPointer DevicePlugin::resolve(const char *entry)
{
    Loaded &state = loaded();
    const QMutexLocker guard(&state.lock);
    QLibrary *library = load(state);
    if (!library)
        return nullptr;
    const QFunctionPointer function = library->resolve(entry);
    if (!function)
        qCWarning(lcCourse, "The device plug-in has no %s", entry);
    return function;
}

} // namespace nk
