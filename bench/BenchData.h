#pragma once

#include <QString>

// A large database built from the fixture schema: every table gets rows, the cost history the
// largest share (in groups of three duplicated rows), and every link-like column an index, as
// the product's databases have them. About `rows` rows in all; 0 gives the bare schema.
void buildBenchDatabase(const QString& path, int rows);
