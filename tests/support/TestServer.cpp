#include "support/TestServer.h"

#include <netinet/in.h>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <csignal>

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QThread>

#include "base/Error.h"

namespace {
const QString kEngineDir = QStringLiteral("/usr/lib/x86_64-linux-gnu/firebird/3.0");
const QString kServerBinary = QStringLiteral("/usr/sbin/firebird");
const QString kSecurityTemplate = QStringLiteral("/var/lib/firebird/3.0/system/security3.fdb");

int freePort() {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    addr.sin_port = 0;
    socklen_t len = sizeof addr;
    int port = 0;
    if (::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0 &&
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&addr), &len) == 0)
        port = ntohs(addr.sin_port);
    ::close(fd);
    return port;
}

bool portOpen(int port) {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    addr.sin_port = htons(quint16(port));
    const bool ok = ::connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0;
    ::close(fd);
    return ok;
}

void copyTree(const QString& from, const QString& to) {
    QDir().mkpath(to);
    for (const QFileInfo& fi :
         QDir(from).entryInfoList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot)) {
        const QString target = to + QLatin1Char('/') + fi.fileName();
        if (fi.isDir())
            copyTree(fi.absoluteFilePath(), target);
        else
            QFile::copy(fi.canonicalFilePath(),
                        target);  // real files: links are not followed there
    }
}

void environmentFor(QProcess& p, const QString& root) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("FIREBIRD"), root);
    env.insert(QStringLiteral("FIREBIRD_LOCK"), root + QStringLiteral("/lock"));
    env.insert(QStringLiteral("FIREBIRD_TMP"), root + QStringLiteral("/tmp"));
    p.setProcessEnvironment(env);
}
}  // namespace

bool TestServer::available() {
    return QFile::exists(kServerBinary) && QFile::exists(kSecurityTemplate);
}

TestServer::TestServer(const QString& sysdbaPassword) {
    if (!available()) throw AppError(QStringLiteral("Firebird server binary not installed"));
    m_port = freePort();
    prepareRoot(sysdbaPassword);
    start();
}

TestServer::~TestServer() { kill(); }

void TestServer::prepareRoot(const QString& password) {
    const QString root = m_root.path();
    QDir().mkpath(root + QStringLiteral("/lock"));
    QDir().mkpath(root + QStringLiteral("/tmp"));
    for (const char* link : {"plugins", "lib", "firebird.msg"})
        QFile::link(kEngineDir + QLatin1Char('/') + QLatin1String(link),
                    root + QLatin1Char('/') + QLatin1String(link));
    copyTree(kEngineDir + QStringLiteral("/intl"), root + QStringLiteral("/intl"));
    QFile::copy(kEngineDir + QStringLiteral("/plugins.conf"),
                root + QStringLiteral("/plugins.conf"));
    const QString security = root + QStringLiteral("/security3.fdb");
    QFile::copy(kSecurityTemplate, security);
    QFile::setPermissions(security, QFile::ReadOwner | QFile::WriteOwner);

    QFile conf(root + QStringLiteral("/firebird.conf"));
    if (!conf.open(QIODevice::WriteOnly))
        throw AppError(QStringLiteral("cannot write firebird.conf"));
    conf.write(QStringLiteral("RemoteServicePort = %1\n"
                              "RemoteBindAddress = 127.0.0.1\n"
                              "SecurityDatabase = %2\n"
                              "ServerMode = Super\n"
                              "AuthServer = Srp\n"
                              "UserManager = Srp\n"
                              "IpcName = depurix_test_%1\n")
                   .arg(m_port)
                   .arg(security)
                   .toUtf8());
    conf.close();

    // SYSDBA's password lives in the private security database, set through its own engine.
    QProcess isql;
    environmentFor(isql, root);
    isql.start(QStringLiteral("isql-fb"),
               {QStringLiteral("-q"), QStringLiteral("-user"), QStringLiteral("SYSDBA"), security});
    QString p = password;
    p.replace(QLatin1Char('\''), QStringLiteral("''"));
    isql.write(
        QStringLiteral("create or alter user SYSDBA password '%1' using plugin Srp;\ncommit;\n")
            .arg(p)
            .toUtf8());
    isql.closeWriteChannel();
    if (!isql.waitForFinished(30000) || isql.exitCode() != 0)
        throw AppError(QStringLiteral("cannot set the SYSDBA password: ") +
                       QString::fromUtf8(isql.readAllStandardError()));
}

void TestServer::start() {
    if (running()) return;
    m_process = std::make_unique<QProcess>();
    environmentFor(*m_process, m_root.path());
    m_process->setProcessChannelMode(QProcess::MergedChannels);
    // The server must not outlive a test process that crashes.
    m_process->setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGKILL); });
    m_process->start(kServerBinary, {});
    if (!m_process->waitForStarted(10000) || !waitListening(15000))
        throw AppError(QStringLiteral("the test server did not start: ") +
                       QString::fromUtf8(m_process->readAll()));
}

void TestServer::kill() {
    if (!m_process) return;
    m_process->kill();
    m_process->waitForFinished(10000);
    m_process.reset();
    // Its lock files belong to the dead process; a restart must find them free.
    QDir(m_root.path() + QStringLiteral("/lock")).removeRecursively();
    QDir().mkpath(m_root.path() + QStringLiteral("/lock"));
}

bool TestServer::running() const { return m_process && m_process->state() == QProcess::Running; }

bool TestServer::waitListening(int msecs) const {
    QDeadlineTimer deadline(msecs);
    while (!deadline.hasExpired()) {
        if (portOpen(m_port)) return true;
        if (!running()) return false;
        QThread::msleep(50);
    }
    return false;
}

QString TestServer::connectionString(const QString& path) const {
    return QStringLiteral("127.0.0.1/%1:%2").arg(m_port).arg(path);
}
