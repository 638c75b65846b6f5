#include "frame/Generators.h"

QMap<QString, qint64> generatorValues(Query& q) {
    // Through a query of the frame's own: its text never changes, so it is prepared once.
    q.close();
    q.setParamCheck(false);  // ":NOME" and ":VALOR" are the block's own variables
    q.setSql(QStringLiteral(
        "EXECUTE BLOCK RETURNS (NOME VARCHAR(63), VALOR BIGINT) AS BEGIN "
        "FOR SELECT TRIM(RDB$GENERATOR_NAME) FROM RDB$GENERATORS "
        "WHERE COALESCE(RDB$SYSTEM_FLAG, 0) = 0 INTO :NOME DO BEGIN "
        "EXECUTE STATEMENT 'SELECT GEN_ID(\"' || REPLACE(NOME, '\"', '\"\"') || '\", 0) "
        "FROM RDB$DATABASE' INTO :VALOR; SUSPEND; END END"));
    q.open();
    QMap<QString, qint64> values;
    for (; !q.eof(); q.next()) values.insert(q.field(0).asString(), q.field(1).asInt64());
    q.close();
    return values;
}

QStringList movedGenerators(const QMap<QString, qint64>& before,
                            const QMap<QString, qint64>& after) {
    QStringList moved;
    for (auto it = after.cbegin(); it != after.cend(); ++it)
        if (before.value(it.key(), it.value()) != it.value()) moved << it.key();
    return moved;
}
