#include "audio/pulseprobe.h"

#include "course/socketprobe.h"

#include <QFile>
#include <sys/stat.h>
#include <unistd.h>

namespace nk {

QString PulseProbe::socketPath()
{
    const QString server = qEnvironmentVariable("PULSE_SERVER");
    if (!server.isEmpty()) {
        // The library takes a list; the first entry is the one tried first.
        const QString first = server.section(QLatin1Char(' '), 0, 0);
        if (first.startsWith(QLatin1String("unix:")))
            return first.mid(5);
        return first.startsWith(QLatin1Char('/')) ? first : QString();
    }
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    return runtime.isEmpty() ? QString() : runtime + QStringLiteral("/pulse/native");
}

PulseProbe::Result PulseProbe::probe()
{
    Result result;
    result.socket = socketPath();
    if (result.socket.isEmpty())
        return result;
    const QByteArray path = QFile::encodeName(result.socket);
    struct stat st
    {
    };
    if (!SocketProbe::answers(path) || ::stat(path.constData(), &st) != 0) {
        result.state = State::Absent;
        return result;
    }
    result.state = State::Answers;
    // A socket made anew has a new change time, even where its inode is reused.
    result.identity = QByteArray::number(quint64(st.st_dev)) + ':' +
                      QByteArray::number(quint64(st.st_ino)) + ':' +
                      QByteArray::number(qint64(st.st_ctim.tv_sec)) + '.' +
                      QByteArray::number(qint64(st.st_ctim.tv_nsec));
    return result;
}

} // namespace nk
