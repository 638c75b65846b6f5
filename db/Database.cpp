#include "db/Database.h"

#include <QRegularExpression>

#include "db/NamedParams.h"

using namespace Firebird;

// ---------------------------------------------------------------------------------------------
// TraceEntry

QString TraceEntry::literal() const {
    QString out;
    qsizetype next = 0, position = 0;
    for (qsizetype i = 0; i < sql.size(); ++i) {
        if (sql[i] != QLatin1Char('?') || position >= params.size()) continue;
        const Value& v = params[position++];
        QString text = QStringLiteral("NULL");
        if (v.isDateTime())
            text = QStringLiteral("'%1%2'")
                       .arg(v.asDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss.zzz")))
                       .arg(v.tenthsOfMillisecond());
        else if (!v.isNull())
            text = QString::number(v.asInt64());
        out += sql.mid(next, i - next) + text;
        next = i + 1;
    }
    return out + sql.mid(next);
}

// ---------------------------------------------------------------------------------------------
// Database

namespace {
// A file path, opened by the embedded engine: no "server:" or "server/port:" before it (a drive
// letter is one character).
bool isLocalPath(const QString& s) {
    const qsizetype colon = s.indexOf(QLatin1Char(':'));
    return colon <= 1 || s.startsWith(QLatin1Char('/'));
}
}  // namespace

Database::Database(LoginParams login) : m_login(std::move(login)) {}

Database::~Database() { close(); }

IAttachment* Database::handle() const {
    if (!m_attachment) throw fb::Error(QStringLiteral("Banco de dados não conectado"));
    return m_attachment.get();
}

void Database::open() {
    close();
    fb::ThrowStatus st;
    LoginBlock dpb(m_login, LoginBlock::For::Database);
    const unsigned length = dpb.length();
    const unsigned char* buffer = dpb.buffer();

    fb::Ref<IProvider> provider(fb::master()->getDispatcher());
    const QByteArray path = m_connectionString.toUtf8();
    try {
        m_attachment.reset(provider->attachDatabase(&st, path.constData(), length, buffer));
    } catch (const fb::Error& e) {
        // A newer engine's file: the 3.0 engine of this client cannot read it, its server can.
        const fb::StatusCode* ods = e.code(isc_wrong_ods);
        if (ods && ods->numbers.size() >= 3 && ods->numbers[0] > ods->numbers[2] &&
            isLocalPath(m_connectionString))
            throw fb::Error(QStringLiteral("O arquivo foi criado por uma versão mais nova do "
                                           "Firebird e não pode ser aberto como arquivo local. "
                                           "Abra-o pelo servidor que o criou, no formato "
                                           "servidor/porta:caminho.\r\n") +
                            e.message());
        throw;
    }
    ++m_generation;
    try {
        readServerVersion();
    } catch (...) {
        close();
        throw;
    }
}

void Database::readServerVersion() {
    const unsigned char items[] = {isc_info_firebird_version, isc_info_end};
    unsigned char buffer[512] = {};
    fb::ThrowStatus st;
    m_attachment->getInfo(&st, sizeof items, items, sizeof buffer, buffer);
    // One item: its code, a two-byte length, a count of texts, then each text after its length.
    // The first text is the engine's; the network layers add theirs after it.
    if (buffer[0] == isc_info_firebird_version && buffer[3] > 0 && buffer[4] + 5u <= sizeof buffer)
        m_serverVersion = QString::fromLatin1(reinterpret_cast<const char*>(buffer + 5), buffer[4]);
    m_serverMajor = majorVersion(m_serverVersion);
    // What the server's version decides (how a generator restarts) must not be guessed.
    if (m_serverMajor == 0)
        throw fb::Error(QStringLiteral("Não foi possível ler a versão do servidor do banco de "
                                       "dados (recebido: \"%1\").")
                            .arg(m_serverVersion));
}

int Database::majorVersion(const QString& versionText) {
    // Platform, kind of build, then major.minor.release.build: "LI-V4.0.5.3140", "WI-T5.0.0.1".
    static const QRegularExpression build(QStringLiteral("^[A-Z0-9]{2}-[A-Z](\\d+)\\.\\d+"));
    const QRegularExpressionMatch m = build.match(versionText.trimmed());
    return m.hasMatch() ? m.captured(1).toInt() : 0;
}

void Database::close() {
    m_serverVersion.clear();
    m_serverMajor = 0;
    if (m_transaction) m_transaction->rollback();
    // A dead connection cannot detach; letting it go is all there is.
    fb::finish(m_attachment, [](IAttachment* a, auto* st) { a->detach(st); });
}

// ---------------------------------------------------------------------------------------------
// Transaction

Transaction::Transaction(Database& db) : m_db(db) { m_db.m_transaction = this; }

Transaction::~Transaction() {
    rollback();
    if (m_db.m_transaction == this) m_db.m_transaction = nullptr;
}

void Transaction::start() {
    if (m_transaction) throw fb::Error(QStringLiteral("A transação já está ativa"));
    IAttachment* att = m_db.handle();
    fb::ThrowStatus st;
    fb::Owned<IXpbBuilder> tpb(fb::util()->getXpbBuilder(&st, IXpbBuilder::TPB, nullptr, 0));
    tpb->insertTag(&st, isc_tpb_read_committed);
    tpb->insertTag(&st, isc_tpb_rec_version);
    tpb->insertTag(&st, isc_tpb_nowait);
    tpb->insertTag(&st, isc_tpb_write);
    const unsigned length = tpb->getBufferLength(&st);
    const unsigned char* buffer = tpb->getBuffer(&st);
    ++m_db.m_requests.starts;
    m_transaction.reset(att->startTransaction(&st, length, buffer));
}

void Transaction::commit() {
    if (!m_transaction || m_held) return;
    fb::ThrowStatus st;
    ++m_db.m_requests.commits;
    m_db.trace(TraceEntry::Kind::Commit, QStringLiteral("COMMIT"));
    m_transaction->commit(&st);
    m_transaction.take();  // a successful commit releases the interface
    m_uncommitted = 0;
}

bool Transaction::rollback() {
    if (!m_transaction) return true;
    m_uncommitted = 0;
    ++m_db.m_requests.rollbacks;
    m_db.trace(TraceEntry::Kind::Rollback, QStringLiteral("ROLLBACK"));
    return fb::finish(m_transaction, [](ITransaction* t, auto* st) { t->rollback(st); });
}

ITransaction* Transaction::ensureActive() {
    if (!m_transaction) start();
    return m_transaction.get();
}
