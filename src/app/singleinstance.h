#pragma once

#include "course/basepath.h"

#include <QObject>

class QSocketNotifier;

namespace nk {

// One program per program folder. Two programs on one folder would write
// each other's settings over, judge the same keys twice and remove each
// other's files half-written; a learner who starts the program again is
// mostly looking for a window they lost. So the first start holds a lock in
// the folder's levels/ for the whole run (a lock left by a killed program is
// taken over) and listens on a local socket named after the folder; a later
// start asks it to show its window and ends, having written nothing.
// A folder where no lock can be made (read-only, no levels/) runs unguarded:
// nothing of it can be overwritten there.
//
// The lock is the system's own (flock), which it lets go of however the
// program ends; the file names its holder as Qt's lock files do, so either
// kind of start sees it held. Taking it writes nothing to disk before the
// window shows. The socket is a plain Unix socket in the temporary folder,
// where Qt's local sockets put theirs (so either kind of start finds the
// other): the network library is not worth loading at start for it.
class SingleInstance : public QObject
{
    Q_OBJECT
public:
    explicit SingleInstance(const BasePath &base, QObject *parent = nullptr);
    ~SingleInstance() override;

    // True when this program is the folder's one; false when another holds
    // it, which has then been asked to show its window.
    bool start();

    // The socket's name for a folder: one per folder, whatever path names it.
    static QString serverName(const BasePath &base);

Q_SIGNALS:
    // A later start on the folder asks for the window.
    void showRequested();

private:
    void nameHolder() const;
    void listen();
    void answer();
    void serve(int client);
    void askFirst() const;

    BasePath m_base;
    int m_lock = -1; // held for the whole run
    int m_server = -1;
    QByteArray m_path; // of the socket this program made
    QSocketNotifier *m_incoming = nullptr;
};

} // namespace nk
