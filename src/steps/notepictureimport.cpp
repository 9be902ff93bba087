#include "steps/notepictureimport.h"

#include "course/fileerror.h"
#include "course/replacementfile.h"
#include "report/activitylog.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QImage>
#include <QImageReader>

namespace nk {

namespace {

NotePictureImport::Chooser &chooser()
{
    static NotePictureImport::Chooser instance;
    return instance;
}

} // namespace

void NotePictureImport::setChooser(Chooser replacement)
{
    chooser() = std::move(replacement);
}

QString NotePictureImport::choose(QWidget *parent)
{
    if (chooser())
        return chooser()(parent);
    return QFileDialog::getOpenFileName(parent);
}

// The bitmap goes through a temporary file, so a failed write never leaves
// the note with half a picture. A path may hold characters from any script.
NotePictureImport::Result NotePictureImport::importFile(const QString &source,
                                                        const QString &target, ActivityLog &log)
{
    if (source.isEmpty())
        return Result::Cancelled;
    const QFileInfo info(source);
    if (!info.isFile() || info.size() > MaxFileBytes)
        return Result::Refused;
    QImageReader reader(source);
    reader.setDecideFormatFromContent(true);
    const QImage image = reader.read();
    if (image.isNull())
        return Result::Refused;
    ReplacementFile file(target);
    if (!file.open() || !image.save(&file.device(), "BMP") || !file.commit())
        throw FileError(QStringLiteral("Не удалось сохранить картинку ноты в ") + target);
    // Only now: a log that cannot be written must not cost the learner the picture.
    log.WriteLog(QStringLiteral("Загружена картинка ") + ActivityLog::fromOutside(source));
    log.WriteLog(QStringLiteral("Картинка ноты сохранена в ") + ActivityLog::fromOutside(target));
    return Result::Saved;
}

} // namespace nk
