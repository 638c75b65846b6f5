#pragma once

#include <QProcess>
#include <QString>
#include <QTemporaryDir>
#include <memory>

// A Firebird SuperServer of the test's own, on 127.0.0.1 and a free port, with its own
// configuration folder and security database (SYSDBA with the given password). It is killed when
// the object goes, and also when the test process dies.
class TestServer {
public:
    explicit TestServer(const QString& sysdbaPassword = QStringLiteral("vlemtrasq"));
    ~TestServer();
    TestServer(const TestServer&) = delete;
    TestServer& operator=(const TestServer&) = delete;

    void start();
    // Stops at once, as a crash or a pulled cable would: no clean shutdown.
    void kill();
    bool running() const;
    int port() const { return m_port; }
    QString connectionString(const QString& path) const;

    static bool available();  // the server binary is installed

private:
    void prepareRoot(const QString& password);
    bool waitListening(int msecs) const;

    QTemporaryDir m_root;
    int m_port = 0;
    std::unique_ptr<QProcess> m_process;
};
