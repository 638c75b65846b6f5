#include "support/Fb4Server.h"

#include <unistd.h>

#include <QFile>
#include <QHash>
#include <QUuid>

#include "base/Error.h"

namespace fb4 {
namespace {
QString env(const char* name) { return qEnvironmentVariable(name); }

QString uniqueName() {
    return QStringLiteral("depurix-%1-%2.fdb")
        .arg(::getpid())
        .arg(QUuid::createUuid().toString(QUuid::Id128).left(12));
}

QString inside(const QString& name) {
    return env("DEPURIX_FB4_SERVER") + QLatin1Char(':') + env("DEPURIX_FB4_DATA_INSIDE") +
           QLatin1Char('/') + name;
}

QString outside(const QString& name) { return env("DEPURIX_FB4_DATA") + QLatin1Char('/') + name; }

// The files built in this process, removed when it ends.
struct Templates {
    QHash<QString, QString> names;
    ~Templates() {
        for (const QString& name : std::as_const(names)) QFile::remove(outside(name));
    }
};
}  // namespace

bool available() {
    return !env("DEPURIX_FB4_SERVER").isEmpty() && !env("DEPURIX_FB4_DATA").isEmpty() &&
           !env("DEPURIX_FB4_DATA_INSIDE").isEmpty();
}

QString absent() {
    return QStringLiteral(
        "no Firebird 4.0 server: run eval \"$(scripts/firebird4-server.sh start)\" first "
        "(scripts/test.sh does)");
}

ServerDatabase::ServerDatabase(const QStringList& fixtures) {
    static Templates built;
    const QString key = fixtures.join(QLatin1Char('|'));
    auto it = built.names.constFind(key);
    if (it == built.names.constEnd()) {
        const QString name = uniqueName();
        buildDatabase(inside(name), fixtures);
        it = built.names.insert(key, name);
    }
    const QString name = uniqueName();
    m_connection = inside(name);
    m_file = outside(name);
    // Copied here, then opened by the server's own user.
    if (!QFile::copy(outside(*it), m_file)) throw AppError(QStringLiteral("cannot copy ") + *it);
    QFile::setPermissions(m_file, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup |
                                      QFile::WriteGroup | QFile::ReadOther | QFile::WriteOther);
}

ServerDatabase::~ServerDatabase() { QFile::remove(m_file); }

}  // namespace fb4
