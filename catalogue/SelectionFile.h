#pragma once

#include <QString>

#include "catalogue/MemTable.h"

// The saved-table file: UTF-8 text, one line per item, tab-separated rows:
//
//   depurix-table 1                 format name and version
//   field <NAME> <integer|text> <size>    one line per field, in order
//   rows <N>
//   <value>\t<value>...             N lines; in text values \\ \t \n \r are escaped
//   end
//
// Anything else (another format or version, a truncated file, a value that does not fit its
// field) is refused with a reason, and the table loaded into is left untouched.

// Written aside and then moved into place, so a failed save never leaves half a file behind.
void saveTable(const MemTable& table, const QString& path);
// Replaces the table's fields and rows by the file's; the first row becomes current.
void loadTable(MemTable& table, const QString& path);
