#pragma once

#include <QByteArray>
#include <QString>
#include <QUrl>
#include <chrono>

namespace nk {

struct UploadResult
{
    bool ok = false;
    QString error; // a message for the learner when not ok
};

// One upload as the uploader has prepared it.
struct UploadJob
{
    QUrl url; // the site's upload script
    QString filePath;
    QByteArray content;
    std::chrono::milliseconds stallTimeout;
    std::chrono::milliseconds deadline;
    bool (*sessionEnding)(); // asked while the exchange runs
};

// The exchange with the site, over the network library: it lives in the
// device plug-in for the program (see DevicePlugin), so the uploader knows it
// only through this. Cookies the site sets are kept for the transport's life.
class ReportTransport
{
public:
    virtual ~ReportTransport() = default;
    // Keeps the event loop running until the answer's status line is in.
    virtual UploadResult post(const UploadJob &job) = 0;
};

using ReportTransportMaker = ReportTransport *(*)();

} // namespace nk
