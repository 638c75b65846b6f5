#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>

class Dialogs;

// Which operation the log in the pane comes from, noted when it started.
struct LogOrigin {
    bool started = false;  // no operation yet: the pane holds no log of one
    QString operation;
    QString databasePath;  // as typed
    bool simulated = false;
};

// depurix-AAAAMMDD-HHMMSS.txt in the user's documents folder.
QString proposedLogPath(const QDateTime& now);

// The header (when it was saved, the database, the operation), a blank line and the lines shown,
// each ended by CR LF, in UTF-8.
QByteArray logFileText(const LogOrigin& origin, const QDateTime& savedAt, const QString& shown);

// Asks where to save the log shown, then writes it whole or not at all: a failure is shown with
// its reason and leaves no file behind.
void saveLogFile(Dialogs& dialogs, const LogOrigin& origin, const QString& shown);
