#include "BenchData.h"

#include <QFile>
#include <QRegularExpression>

#include "base/Error.h"
#include "db/Database.h"
#include "support/TestDatabase.h"

namespace {
struct Table {
    QString name;
    QList<QPair<QString, QString>> columns;  // name, type
};

QList<Table> schemaTables() {
    QFile f(fixturePath(QStringLiteral("schema.sql")));
    f.open(QIODevice::ReadOnly);
    const QString text = QString::fromUtf8(f.readAll());
    static const QRegularExpression create(QStringLiteral("CREATE TABLE (\\w+) \\(\\n(.*?)\\n\\);"),
                                           QRegularExpression::DotMatchesEverythingOption);
    QList<Table> out;
    for (auto it = create.globalMatch(text); it.hasNext();) {
        const auto m = it.next();
        Table t{m.captured(1), {}};
        for (const QString& line : m.captured(2).split(QLatin1Char('\n'))) {
            const QStringList parts =
                line.trimmed().remove(QLatin1Char(',')).split(QLatin1Char(' '));
            t.columns.append({parts[0], parts.value(1)});
        }
        out << t;
    }
    return out;
}

bool linkLike(const QString& column) {
    return column.contains(QLatin1String("_CODIGO")) || column.contains(QLatin1String("_NR_"));
}

// The value of each column in row I of the generating block.
QString valueOf(const Table& t, int index, const QString& column, const QString& type) {
    if (index == 0) return QStringLiteral(":I");
    if (t.name == QLatin1String("SCA_HISTORICOCUSTOLIQUIDO")) {
        if (column == QLatin1String("HCL_CODIGO_ITEMLOCAL")) return QStringLiteral(":I / 3 + 1");
        if (column == QLatin1String("HCL_DT_INCLUSAO"))
            return QStringLiteral(
                "DATEADD(DAY, MOD(:I / 3, 365), TIMESTAMP '2024-01-01 00:00:00')");
        if (column == QLatin1String("HCL_CODIGO_ITEMREQUISICAO"))
            return QStringLiteral("IIF(MOD(:I, 7) = 0, :I, NULL)");
        if (column == QLatin1String("HCL_CODIGO_EMPRESA")) return QStringLiteral("MOD(:I, 4) + 1");
        return QStringLiteral("NULL");  // duplicated groups differ in nothing else
    }
    if (column == QLatin1String("LAR_CODIGO"))
        return QStringLiteral("IIF(MOD(:I, 5) = 0, '99', CAST(:I AS VARCHAR(20)))");
    if (column == QLatin1String("SEN_NOME"))
        return QStringLiteral("IIF(:I = 1, 'GENERICO', 'USUÁRIO ' || :I)");
    if (column == QLatin1String("SNF_SERIE"))
        return QStringLiteral("IIF(MOD(:I, 2) = 0, 'P', '1')");
    if (column == QLatin1String("PVE_ORIGEM_PEDIDO"))
        return QStringLiteral("IIF(MOD(:I, 2) = 0, 'P', 'C')");
    if (column == QLatin1String("ORC_ORIGEM_EMISSAO"))
        return QStringLiteral("IIF(MOD(:I, 2) = 0, 'PVE', 'ORC')");
    if (column == QLatin1String("HAL_CODIGO_TABELA"))
        return QStringLiteral("IIF(MOD(:I, 10) = 0, 175, :I)");
    if (type.startsWith(QLatin1String("VARCHAR"))) return QStringLiteral("'T' || :I");
    if (type == QLatin1String("TIMESTAMP"))
        return QStringLiteral("DATEADD(DAY, MOD(:I, 365), TIMESTAMP '2024-01-01 00:00:00')");
    if (column.endsWith(QLatin1String("_CODIGO_EMPRESA"))) return QStringLiteral("MOD(:I, 4) + 1");
    if (linkLike(column)) return QStringLiteral("MOD(:I, 97) + 1");
    return QStringLiteral(":I");
}
}  // namespace

void buildBenchDatabase(const QString& path, int rows) {
    QFile::remove(path);
    createEmptyDatabase(path);
    Database db(sysdbaLogin());
    db.setConnectionString(path);
    db.open();
    Transaction tr(db);
    for (const char* file : {"schema.sql", "keys.sql"}) {
        QFile f(fixturePath(QString::fromLatin1(file)));
        f.open(QIODevice::ReadOnly);
        runSqlScript(db, tr, QString::fromUtf8(f.readAll()));
    }
    if (rows == 0) {
        // The bare schema, but the removals must find what they remove.
        Query q(db, tr);
        for (const char* sql : {"INSERT INTO SCA_EMPRESA (EMP_CODIGO) VALUES (1)",
                                "INSERT INTO SCA_LOCALARMAZENAMENTO (LAR_PK_LOCALARMAZENAMENTO, "
                                "LAR_CODIGO) VALUES (1, '99')"}) {
            q.setSql(QString::fromLatin1(sql));
            q.execSql();
        }
        tr.commit();
    } else {
        const QList<Table> tables = schemaTables();
        const int history = rows * 2 / 5;
        const int perTable = std::max(4, (rows - history) / int(tables.size() - 1));
        Query q(db, tr);
        q.setParamCheck(false);
        for (const Table& t : tables) {
            const int n = t.name == QLatin1String("SCA_HISTORICOCUSTOLIQUIDO") ? history : perTable;
            QStringList names, values;
            for (int c = 0; c < t.columns.size(); ++c) {
                names << t.columns[c].first;
                values << valueOf(t, c, t.columns[c].first, t.columns[c].second);
            }
            q.setSql(QStringLiteral(
                         "EXECUTE BLOCK AS DECLARE I INTEGER = 1; BEGIN WHILE (I <= %1) DO BEGIN "
                         "INSERT INTO %2 (%3) VALUES (%4); I = I + 1; END END")
                         .arg(n)
                         .arg(t.name, names.join(QStringLiteral(", ")),
                              values.join(QStringLiteral(", "))));
            try {
                q.execSql();
            } catch (const std::exception& e) {
                throw AppError(errorMessage(e) + QStringLiteral("\nin: ") + q.sql());
            }
            tr.commit();
        }
        // The indexes a real database has behind its links.
        int ix = 0;
        for (const Table& t : tables)
            for (int c = 1; c < t.columns.size(); ++c)
                if (linkLike(t.columns[c].first) ||
                    t.columns[c].second == QLatin1String("TIMESTAMP") ||
                    t.columns[c].first == QLatin1String("LAR_CODIGO") ||
                    t.columns[c].first == QLatin1String("SEN_NOME")) {
                    q.setSql(QStringLiteral("CREATE INDEX BIX_%1 ON %2 (%3)")
                                 .arg(++ix)
                                 .arg(t.name, t.columns[c].first));
                    q.execSql();
                    tr.commit();
                }
    }
    db.close();
}
