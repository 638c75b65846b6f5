#include "catalogue/SelectionFile.h"

#include <QFile>
#include <QRegularExpression>
#include <QSaveFile>
#include <QStringDecoder>

#include "base/Error.h"

namespace {
constexpr QLatin1StringView kMagic{"depurix-table"};
constexpr int kVersion = 1;
constexpr qint64 kMaxFileSize = 16 * 1024 * 1024;
constexpr int kMaxFields = 64;
constexpr int kMaxRows = 1000000;
constexpr int kMaxTextSize = 32767;

QString escape(const QString& v) {
    QString out;
    out.reserve(v.size());
    for (QChar c : v) {
        switch (c.unicode()) {
            case '\\':
                out += QStringLiteral("\\\\");
                break;
            case '\t':
                out += QStringLiteral("\\t");
                break;
            case '\n':
                out += QStringLiteral("\\n");
                break;
            case '\r':
                out += QStringLiteral("\\r");
                break;
            default:
                out += c;
        }
    }
    return out;
}

[[noreturn]] void bad(int line, const QString& why) {
    throw AppError(QStringLiteral("Arquivo inválido (linha %1): %2").arg(line).arg(why));
}

QString unescape(const QString& v, int line) {
    QString out;
    out.reserve(v.size());
    for (qsizetype i = 0; i < v.size(); ++i) {
        if (v[i] != QLatin1Char('\\')) {
            out += v[i];
            continue;
        }
        if (++i >= v.size()) bad(line, QStringLiteral("escape incompleto"));
        switch (v[i].unicode()) {
            case '\\':
                out += QLatin1Char('\\');
                break;
            case 't':
                out += QLatin1Char('\t');
                break;
            case 'n':
                out += QLatin1Char('\n');
                break;
            case 'r':
                out += QLatin1Char('\r');
                break;
            default:
                bad(line, QStringLiteral("escape desconhecido"));
        }
    }
    return out;
}

QString typeName(FieldType t) {
    return t == FieldType::Integer ? QStringLiteral("integer") : QStringLiteral("text");
}
}  // namespace

void saveTable(const MemTable& table, const QString& path) {
    QString text = QStringLiteral("%1 %2\n").arg(kMagic).arg(kVersion);
    for (const FieldDef& f : table.fieldDefs())
        text += QStringLiteral("field %1 %2 %3\n").arg(f.name, typeName(f.type)).arg(f.size);
    text += QStringLiteral("rows %1\n").arg(table.recordCount());
    for (const QVariantList& row : table.rows()) {
        QStringList values;
        for (const QVariant& v : row) values << escape(v.toString());
        text += values.join(QLatin1Char('\t')) + QLatin1Char('\n');
    }
    text += QStringLiteral("end\n");

    QSaveFile file(path);
    file.setDirectWriteFallback(false);
    // Unbuffered, so a full disk fails the write itself: a buffered write can fail only when the
    // file is committed, and then the old file has already been replaced by a short one.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        throw AppError(
            QStringLiteral("Não foi possível criar %1: %2").arg(path, file.errorString()));
    const QByteArray bytes = text.toUtf8();
    if (file.write(bytes) != bytes.size() || file.error() != QFileDevice::NoError) {
        const QString reason = file.errorString();
        file.cancelWriting();
        throw AppError(QStringLiteral("Não foi possível gravar %1: %2").arg(path, reason));
    }
    if (!file.commit())
        throw AppError(
            QStringLiteral("Não foi possível gravar %1: %2").arg(path, file.errorString()));
}

void loadTable(MemTable& table, const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw AppError(QStringLiteral("Não foi possível ler %1: %2").arg(path, file.errorString()));
    if (file.size() > kMaxFileSize)
        throw AppError(QStringLiteral("Arquivo grande demais: %1").arg(path));
    const QByteArray bytes = file.readAll();
    QStringDecoder utf8(QStringDecoder::Utf8);
    const QString text = utf8(bytes);
    if (utf8.hasError())
        throw AppError(QStringLiteral("Arquivo inválido: o texto não está em UTF-8"));

    QStringList lines = text.split(QLatin1Char('\n'));
    if (!lines.isEmpty() && lines.last().isEmpty()) lines.removeLast();
    int n = 0;
    auto next = [&]() -> const QString& {
        if (n >= lines.size()) bad(n + 1, QStringLiteral("fim inesperado do arquivo"));
        return lines[n++];
    };

    const QStringList header = next().split(QLatin1Char(' '));
    if (header.size() != 2 || header[0] != kMagic)
        bad(1, QStringLiteral("não é um arquivo de seleção"));
    if (header[1] != QString::number(kVersion))
        bad(1, QStringLiteral("versão %1 não suportada").arg(header[1]));

    static const QRegularExpression fieldLine(
        QStringLiteral("^field ([A-Z_][A-Z0-9_]{0,30}) (integer|text) (\\d{1,5})$"));
    static const QRegularExpression rowsLine(QStringLiteral("^rows (\\d{1,7})$"));
    QList<FieldDef> defs;
    QRegularExpressionMatch m;
    for (m = fieldLine.match(next()); m.hasMatch(); m = fieldLine.match(next())) {
        const FieldType type =
            m.captured(2) == QLatin1String("integer") ? FieldType::Integer : FieldType::Text;
        const int size = m.captured(3).toInt();
        if (defs.size() >= kMaxFields) bad(n, QStringLiteral("campos demais"));
        if ((type == FieldType::Integer && size != 4) ||
            (type == FieldType::Text && (size < 1 || size > kMaxTextSize)))
            bad(n, QStringLiteral("tamanho inválido do campo %1").arg(m.captured(1)));
        for (const FieldDef& d : defs)
            if (d.name == m.captured(1)) bad(n, QStringLiteral("campo %1 repetido").arg(d.name));
        defs.append({m.captured(1), type, size});
    }
    if (defs.isEmpty()) bad(n, QStringLiteral("nenhum campo definido"));
    m = rowsLine.match(lines[n - 1]);
    if (!m.hasMatch()) bad(n, QStringLiteral("linha inesperada"));
    const int rowCount = m.captured(1).toInt();
    if (rowCount > kMaxRows || rowCount > lines.size())
        bad(n, QStringLiteral("número de registros inválido"));

    MemTable loaded;
    loaded.setFieldDefs(defs);
    loaded.createDataSet();
    std::vector<QVariantList> rows;
    for (int r = 0; r < rowCount; ++r) {
        const QStringList values = next().split(QLatin1Char('\t'));
        if (values.size() != defs.size())
            bad(n, QStringLiteral("número de valores diferente do de campos"));
        QVariantList row;
        for (int f = 0; f < defs.size(); ++f) {
            if (defs[f].type == FieldType::Integer) {
                bool ok = false;
                const int v = values[f].toInt(&ok);
                if (!ok)
                    bad(n, QStringLiteral("valor inteiro inválido no campo %1").arg(defs[f].name));
                row << v;
            } else {
                const QString v = unescape(values[f], n);
                if (v.size() > defs[f].size)
                    bad(n, QStringLiteral("valor longo demais no campo %1").arg(defs[f].name));
                row << v;
            }
        }
        loaded.append(row);
    }
    if (next() != QLatin1String("end") || n != lines.size())
        bad(n, QStringLiteral("fim do arquivo ausente ou com sobras"));
    table.assign(loaded);
}
