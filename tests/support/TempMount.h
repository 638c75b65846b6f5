#pragma once

#include <QFile>
#include <QProcess>
#include <QString>
#include <QTemporaryDir>

// A small file system of the test's own, mounted for the duration of the test.
class TempMount {
public:
    TempMount(const QString& options, qint64 bytes) {
        m_ok =
            QProcess::execute(QStringLiteral("mount"),
                              {QStringLiteral("-t"), QStringLiteral("tmpfs"), QStringLiteral("-o"),
                               QStringLiteral("size=%1,%2").arg(bytes).arg(options),
                               QStringLiteral("tmpfs"), m_dir.path()}) == 0;
    }
    // The lazy unmount takes files bound into it along.
    ~TempMount() {
        if (m_ok) QProcess::execute(QStringLiteral("umount"), {QStringLiteral("-l"), m_dir.path()});
    }
    bool ok() const { return m_ok; }
    QString path(const QString& name) const { return m_dir.filePath(name); }
    // Puts a file from elsewhere at name, writable even once this file system is read-only.
    bool bindFile(const QString& source, const QString& name) {
        QFile target(path(name));
        return target.open(QIODevice::WriteOnly) &&
               QProcess::execute(QStringLiteral("mount"),
                                 {QStringLiteral("--bind"), source, path(name)}) == 0;
    }
    bool remountReadOnly() {
        return QProcess::execute(
                   QStringLiteral("mount"),
                   {QStringLiteral("-o"), QStringLiteral("remount,ro"), m_dir.path()}) == 0;
    }

private:
    QTemporaryDir m_dir;
    bool m_ok = false;
};
