#pragma once

#include <QList>
#include <QString>

#include "db/Database.h"

// Another program's attachment to the database, as the monitoring tables show it.
struct OtherAttachment {
    qint64 id;
    QString user, address, program;
};

// Every attachment to the database but ours and the engine's own, read through the query in its
// transaction (a single read of the monitoring tables).
QList<OtherAttachment> otherAttachments(Query& q);

// The question that lists them, up to ten, and asks whether to go on.
QString otherAttachmentsQuestion(const QList<OtherAttachment>& others);
QString otherAttachmentsRefused();
// The same, asked again when someone connected while the safety copy was made.
QString otherAttachmentsJoinedQuestion(const QList<OtherAttachment>& others);
QString otherAttachmentsJoinedRefused();
