#include "report/activitylog.h"

#include "course/cp1251.h"
#include "course/fileerror.h"
#include "course/programclock.h"
#include "course/writefailure.h"

#include <QFile>

namespace nk {

ActivityLog::ActivityLog(const BasePath &base)
    : m_path(base.resolve(QStringLiteral("levels\\log.dat")))
{
}

QString ActivityLog::dateTimeText(const QDateTime &when)
{
    const QString date = when.date().toString(QStringLiteral("dd.MM.yyyy"));
    const QTime t = when.time();
    if (t.hour() == 0 && t.minute() == 0 && t.second() == 0)
        return date;
    return date + QLatin1Char(' ') + t.toString(QStringLiteral("H:mm:ss"));
}

QString ActivityLog::fromOutside(QStringView text)
{
    QString shown;
    shown.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        // A character beyond the basic plane is one "?", not one per half.
        if (c.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            ++i;
            shown += QLatin1Char('?');
        } else {
            shown += !c.isSurrogate() && Cp1251::canEncode(c) ? c : QLatin1Char('?');
        }
    }
    return shown;
}

void ActivityLog::WriteLog(const QString &message)
{
    const QString line = dateTimeText(ProgramClock::now()) + QStringLiteral(" - ") + message;
    QByteArray record;
    if (!Cp1251::encode(line, record))
        throw FileError(
            QStringLiteral("Запись журнала содержит символы, которые нельзя сохранить: %1")
                .arg(message));
    record += "\x0A\x0D";

    QFile file(m_path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Unbuffered))
        throw FileError(QStringLiteral("Не удалось открыть журнал %1: %2")
                            .arg(m_path, WriteFailure::reason(m_path, file.errorString())));
    // One write, so a record is either whole or absent.
    const qint64 before = file.size();
    if (file.write(record) != record.size()) {
        const QString error = WriteFailure::reason(m_path, file.errorString());
        file.resize(before);
        file.close();
        throw FileError(QStringLiteral("Не удалось записать журнал %1: %2").arg(m_path, error));
    }
}

} // namespace nk
