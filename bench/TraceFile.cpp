#include "TraceFile.h"

#include "base/Error.h"
#include "db/Win1252.h"

TraceFile::TraceFile(const QString& path) : m_file(path) {
    if (!m_file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        throw AppError(QStringLiteral("cannot write %1").arg(path));
}

void TraceFile::write(const TraceEntry& e) {
    ++m_entries;
    switch (e.kind) {
        case TraceEntry::Kind::Commit:
            m_file.write("C\n");
            return;
        case TraceEntry::Kind::Rollback:
            m_file.write("R\n");
            return;
        default:
            break;
    }
    const QByteArray sql = win1252::encode(e.sql);
    QByteArray out = (e.kind == TraceEntry::Kind::Query ? "Q " : "S ") +
                     QByteArray::number(e.params.size()) + ' ' + QByteArray::number(sql.size()) +
                     '\n' + sql + '\n';
    for (const Value& v : e.params) {
        const QVariant var = v.toVariant();
        if (v.isNull()) {
            out += "n\n";
        } else if (v.isDateTime()) {
            out += "t " +
                   v.asDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss.zzz")).toLatin1() +
                   QByteArray::number(v.tenthsOfMillisecond()) + '\n';
        } else if (var.typeId() == QMetaType::QDate) {
            out += "t " + var.toDate().toString(QStringLiteral("yyyy-MM-dd")).toLatin1() +
                   " 00:00:00.0000\n";
        } else if (var.typeId() == QMetaType::QTime) {
            out += "t 1899-12-30 " +
                   var.toTime().toString(QStringLiteral("HH:mm:ss.zzz")).toLatin1() + "0\n";
        } else if (var.typeId() == QMetaType::Double) {
            out += "d " + QByteArray::number(var.toDouble(), 'g', 17) + '\n';
        } else if (var.typeId() == QMetaType::QString) {
            const QByteArray s = win1252::encode(var.toString());
            out += "s " + QByteArray::number(s.size()) + '\n' + s + '\n';
        } else {
            out += "i " + QByteArray::number(v.asInt64()) + '\n';
        }
    }
    m_file.write(out);
}
