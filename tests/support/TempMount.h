#pragma once

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
    ~TempMount() {
        if (m_ok) QProcess::execute(QStringLiteral("umount"), {QStringLiteral("-l"), m_dir.path()});
    }
    bool ok() const { return m_ok; }
    QString path(const QString& name) const { return m_dir.filePath(name); }
    bool remountReadOnly() {
        return QProcess::execute(
                   QStringLiteral("mount"),
                   {QStringLiteral("-o"), QStringLiteral("remount,ro"), m_dir.path()}) == 0;
    }

private:
    QTemporaryDir m_dir;
    bool m_ok = false;
};
