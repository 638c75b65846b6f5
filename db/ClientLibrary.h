#pragma once

#include <QString>
#include <QStringList>

namespace fb {

// On Windows the client library is the one of the customer's own Firebird installation, loaded
// when first needed, so the program starts without it.

// Where it is looked for, in order: beside the program, in the installation the registry names
// as the default instance (the folder, then its bin\) and last the bare name, which Windows
// looks for along PATH. Empty folders are left out, and a folder named twice is tried once.
QStringList clientLibraryCandidates(const QString& programFolder, const QString& defaultInstance);

// The error text when no candidate gave a usable client; tried holds the candidates, each with
// what was wrong with it where the file was there but could not be used.
QString clientLibraryNotFound(const QStringList& tried);

inline constexpr char kClientLibraryName[] = "fbclient.dll";

}  // namespace fb
