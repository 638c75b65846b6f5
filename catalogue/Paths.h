#pragma once

#include <QString>

#include "catalogue/Catalogues.h"

// The only place that spells the tool's paths. On Windows they are the product's fixed paths;
// elsewhere the same layout lies under the user's home directory.
QString defaultDatabasePath(DatabaseKind kind);
QString selectionFilePath();
