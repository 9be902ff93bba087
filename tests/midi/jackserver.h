#pragma once

#include <QProcess>
#include <QString>

namespace nk::test {

// A JACK server of the test's own on the dummy backend, under a private name
// that this process then uses by default (JACK_DEFAULT_SERVER). Stopped by its
// PID, never by name: other runs may have servers of their own.
class JackServer
{
public:
    JackServer();
    ~JackServer();
    JackServer(const JackServer &) = delete;
    JackServer &operator=(const JackServer &) = delete;

    static bool installed();
    // Whether a server of that name answers; never starts one.
    static bool runs(const QString &name);
    // Returns once the server answers; false, with the reason, if it does not.
    bool start(QString *error);
    QString name() const { return m_name; }

private:
    QString m_name;
    QProcess m_process;
};

} // namespace nk::test
