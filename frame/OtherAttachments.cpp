#include "frame/OtherAttachments.h"

namespace {
constexpr int kListed = 10;
}  // namespace

QList<OtherAttachment> otherAttachments(Query& q) {
    q.close();
    q.setSql(QStringLiteral(
        "SELECT MON$ATTACHMENT_ID, MON$USER, MON$REMOTE_ADDRESS, MON$REMOTE_PROCESS FROM "
        "MON$ATTACHMENTS "
        "WHERE MON$ATTACHMENT_ID <> CURRENT_CONNECTION AND MON$SYSTEM_FLAG = 0"));
    q.open();
    QList<OtherAttachment> out;
    for (; !q.eof(); q.next())
        out << OtherAttachment{q.field(0).asInt64(), q.field(1).asString().trimmed(),
                               q.field(2).asString().trimmed(), q.field(3).asString().trimmed()};
    q.close();
    return out;
}

QString otherAttachmentsQuestion(const QList<OtherAttachment>& others) {
    QString text = others.size() == 1
                       ? QStringLiteral("Outro programa está conectado a este banco de dados:\n\n")
                       : QStringLiteral(
                             "Outros %1 programas estão conectados a este banco de "
                             "dados:\n\n")
                             .arg(others.size());
    for (qsizetype i = 0; i < others.size() && i < kListed; ++i) {
        const OtherAttachment& a = others[i];
        text +=
            QStringLiteral("%1 - %2 - %3\n")
                .arg(a.user, a.address.isEmpty() ? QStringLiteral("(local)") : a.address,
                     a.program.isEmpty() ? QStringLiteral("(programa desconhecido)") : a.program);
    }
    if (others.size() > kListed)
        text += QStringLiteral("... e mais %1\n").arg(others.size() - kListed);
    return text + QStringLiteral(
                      "\nEnquanto estiverem conectados, registros em uso podem fazer comandos "
                      "falharem no meio da operação.\nDeseja continuar mesmo assim ?");
}

QString otherAttachmentsRefused() {
    return QStringLiteral(
        "Operação não iniciada: outros programas estão conectados ao banco de dados. Nada foi "
        "alterado.");
}

QString otherAttachmentsJoinedQuestion(const QList<OtherAttachment>& others) {
    return QStringLiteral(
               "Enquanto a cópia de segurança era feita, mais programas se conectaram a este "
               "banco de dados.\n\n") +
           otherAttachmentsQuestion(others);
}

QString otherAttachmentsJoinedRefused() {
    return QStringLiteral(
        "Operação não iniciada: outros programas se conectaram ao banco de dados durante a cópia "
        "de segurança. Nada foi alterado; a cópia de segurança foi mantida.");
}
