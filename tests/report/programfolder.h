#pragma once

#include "course/basepath.h"

#include <QObject>
#include <QStringList>
#include <QTemporaryDir>
#include <QUrl>

// A program folder of its own for one test: the levels folder, the arrow
// pictures of the built course and whatever files the test writes.
class ProgramFolder
{
public:
    bool create();

    nk::BasePath base() const { return nk::BasePath(m_dir.path()); }
    QString path(const QString &relative) const { return m_dir.filePath(relative); }

    // Text in the course's Windows-1251.
    bool write(const QString &relative, const QString &text);
    bool remove(const QString &relative);

    QByteArray logBytes() const;
    // The messages of the log records, without their dates.
    QStringList logMessages() const;
    // Upload copies left in the levels folder.
    QStringList uploadCopies() const;

private:
    QTemporaryDir m_dir;
};

// Stands in for the browser: the addresses the program asked to open.
class UrlRecorder : public QObject
{
    Q_OBJECT
public:
    void install();
    void uninstall();
    QList<QUrl> opened;

public Q_SLOTS:
    void open(const QUrl &url) { opened.append(url); }
};

// Message boxes the program showed, instead of showing them.
QStringList &shownMessages();
void recordMessages();
