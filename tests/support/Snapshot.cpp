#include "support/Snapshot.h"

QMap<QString, QStringList> snapshot(Probe& probe) {
    const Probe::Hold hold(probe);
    QMap<QString, QStringList> out;
    for (const QString& table :
         probe.column(QStringLiteral("SELECT TRIM(RDB$RELATION_NAME) FROM RDB$RELATIONS WHERE "
                                     "RDB$SYSTEM_FLAG = 0 AND RDB$VIEW_BLR IS NULL"))) {
        QStringList rows;
        for (const QVariantList& r :
             probe.rows(QStringLiteral("SELECT * FROM %1 ORDER BY 1").arg(table))) {
            QStringList values;
            for (const QVariant& v : r)
                values << (v.isNull() ? QStringLiteral("NULL") : v.toString());
            rows << values.join(QLatin1Char('|'));
        }
        out.insert(table, rows);
    }
    for (const QVariantList& g :
         probe.rows(QStringLiteral("SELECT TRIM(RDB$GENERATOR_NAME) FROM RDB$GENERATORS WHERE "
                                   "RDB$SYSTEM_FLAG = 0 ORDER BY 1")))
        out[QStringLiteral("generators")]
            << g.first().toString() + QLatin1Char('=') +
                   probe
                       .scalar(QStringLiteral("SELECT GEN_ID(%1, 0) FROM RDB$DATABASE")
                                   .arg(g.first().toString()))
                       .toString();
    return out;
}
