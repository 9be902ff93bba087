#pragma once

#include <QString>
#include <functional>

class QWidget;

namespace nk {

class ActivityLog;

// Brings a picture of the learner's own into the level folder as the picture
// of a note: any format the image readers know, stored as a Windows bitmap.
class NotePictureImport
{
public:
    static constexpr qint64 MaxFileBytes = 600000;

    enum class Result
    {
        Cancelled,
        Refused, // too large or not a picture: nothing is written
        Saved
    };

    // The file chooser; tests put a fixed answer in its place. An empty
    // function restores the open-file dialog. An empty path means cancelled.
    using Chooser = std::function<QString(QWidget *parent)>;
    static void setChooser(Chooser chooser);
    static QString choose(QWidget *parent);

    // Throws FileError when the bitmap cannot be written.
    static Result importFile(const QString &source, const QString &target, ActivityLog &log);
};

} // namespace nk
