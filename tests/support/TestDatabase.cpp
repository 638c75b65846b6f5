#include "support/TestDatabase.h"

#include <ibase.h>

#include <QDir>
#include <QFile>
#include <QHash>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QUuid>
#include <optional>

#include "db/FbClient.h"
#include "support/SqlScript.h"

using namespace Firebird;

LoginParams sysdbaLogin() {
    return {QStringLiteral("SYSDBA"), QStringLiteral("vlemtrasq"), QStringLiteral("WIN1252"), 3};
}

QString fixturePath(const QString& name) { return QStringLiteral(DEPURIX_FIXTURES_DIR "/") + name; }

QStringList fixtureFiles(std::initializer_list<const char*> names) {
    QStringList out;
    for (const char* n : names) out << fixturePath(QString::fromLatin1(n));
    return out;
}

namespace {
QTemporaryDir& scratch() {
    static QTemporaryDir dir(QDir::tempPath() + QStringLiteral("/depurix-tests-XXXXXX"));
    return dir;
}

}  // namespace

void createEmptyDatabase(const QString& path) {
    fb::ThrowStatus st;
    fb::Owned<IXpbBuilder> dpb(fb::util()->getXpbBuilder(&st, IXpbBuilder::DPB, nullptr, 0));
    dpb->insertTag(&st, isc_dpb_utf8_filename);
    dpb->insertString(&st, isc_dpb_user_name, "SYSDBA");
    dpb->insertString(&st, isc_dpb_password, "vlemtrasq");
    dpb->insertInt(&st, isc_dpb_page_size, 8192);
    dpb->insertString(&st, isc_dpb_set_db_charset, "WIN1252");
    dpb->insertString(&st, isc_dpb_lc_ctype, "WIN1252");
    dpb->insertInt(&st, isc_dpb_sql_dialect, 3);
    dpb->insertInt(&st, isc_dpb_force_write, 0);  // test files need no durability
    const unsigned length = dpb->getBufferLength(&st);
    const unsigned char* buffer = dpb->getBuffer(&st);
    fb::Ref<IProvider> provider(fb::master()->getDispatcher());
    const QByteArray p = path.toUtf8();
    fb::Ref<IAttachment> att(provider->createDatabase(&st, p.constData(), length, buffer));
    att->detach(&st);
    att.take();
}

namespace {
QString buildTemplate(const QStringList& fixtures) {
    static QHash<QString, QString> built;
    const QString key = fixtures.join(QLatin1Char('|'));
    if (auto it = built.constFind(key); it != built.constEnd()) return *it;

    const QString path = scratch().filePath(QStringLiteral("template-%1.fdb").arg(built.size()));
    buildDatabase(path, fixtures);
    built.insert(key, path);
    return path;
}
}  // namespace

void buildDatabase(const QString& connectionString, const QStringList& fixtures) {
    createEmptyDatabase(connectionString);
    Database db(sysdbaLogin());
    db.setConnectionString(connectionString);
    db.open();
    Transaction tr(db);
    for (const QString& file : fixtures) {
        QFile f(file);
        if (!f.open(QIODevice::ReadOnly)) throw AppError(QStringLiteral("cannot read ") + file);
        runSqlScript(db, tr, QString::fromUtf8(f.readAll()));
    }
    if (tr.isActive()) tr.commit();
    db.close();
}

void runSqlScript(Database& db, Transaction& tr, const QString& script) {
    static const QRegularExpression ddl(QStringLiteral("^(CREATE|ALTER|DROP|RECREATE|COMMENT)\\b"),
                                        QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression set(QStringLiteral("^SET\\b"),
                                        QRegularExpression::CaseInsensitiveOption);
    Query q(db, tr);
    q.setParamCheck(false);  // trigger bodies name their variables with ':'
    for (const QString& stmt : splitSqlScript(script)) {
        if (stmt.compare(QLatin1String("COMMIT"), Qt::CaseInsensitive) == 0) {
            tr.commit();
            continue;
        }
        if (set.match(stmt).hasMatch()) continue;  // dialect and names are the attachment's
        try {
            q.setSql(stmt);
            q.execSql();
            if (ddl.match(stmt).hasMatch()) tr.commit();
        } catch (const std::exception& e) {
            throw AppError(QStringLiteral("%1\nin: %2").arg(errorMessage(e), stmt));
        }
    }
    if (tr.isActive()) tr.commit();
}

TestDatabase::TestDatabase(const QStringList& fixtures) {
    const QString source = buildTemplate(fixtures);
    m_path = scratch().filePath(QUuid::createUuid().toString(QUuid::WithoutBraces) +
                                QStringLiteral(".fdb"));
    if (!QFile::copy(source, m_path)) throw AppError(QStringLiteral("cannot copy ") + source);
    QFile::setPermissions(m_path, QFile::ReadOwner | QFile::WriteOwner);
}

TestDatabase::~TestDatabase() { QFile::remove(m_path); }

struct Probe::Attached {
    explicit Attached(const QString& path) : db(sysdbaLogin()), tr(db), q(db, tr) {
        db.setConnectionString(path);
        db.open();
    }
    ~Attached() {
        q.unprepare();
        db.close();
    }
    Database db;
    Transaction tr;
    Query q;
};

Probe::Probe(const QString& path) : m_path(path) {}

Probe::~Probe() = default;

Probe::Hold::Hold(Probe& probe) : m_probe(probe), m_owner(!probe.m_held) {
    if (m_owner) m_probe.m_held = std::make_unique<Attached>(m_probe.m_path);
}

Probe::Hold::~Hold() {
    if (m_owner) m_probe.m_held.reset();
}

void Probe::exec(const QString& sql) {
    std::optional<Attached> own;
    Attached& a = m_held ? *m_held : own.emplace(m_path);
    a.q.setSql(sql);
    a.q.execSql();
    a.tr.commit();
}

QList<QVariantList> Probe::rows(const QString& sql) {
    std::optional<Attached> own;
    Attached& a = m_held ? *m_held : own.emplace(m_path);
    a.q.setSql(sql);
    a.q.open();
    QList<QVariantList> out;
    for (; !a.q.eof(); a.q.next()) {
        QVariantList row;
        for (int c = 0; c < a.q.fieldCount(); ++c) row << a.q.field(c).toVariant();
        out << row;
    }
    a.q.close();
    a.tr.commit();
    return out;
}

QVariant Probe::scalar(const QString& sql) {
    const QList<QVariantList> r = rows(sql);
    if (r.isEmpty() || r.first().isEmpty()) return {};
    return r.first().first();
}

qint64 Probe::count(const QString& tableOrSelect) {
    const QString sql = tableOrSelect.contains(QLatin1Char(' '))
                            ? tableOrSelect
                            : QStringLiteral("SELECT COUNT(*) FROM ") + tableOrSelect;
    return scalar(sql).toLongLong();
}

QStringList Probe::column(const QString& sql) {
    QStringList out;
    for (const QVariantList& r : rows(sql)) out << (r.isEmpty() ? QString() : r.first().toString());
    return out;
}
