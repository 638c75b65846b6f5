#pragma once

#include <span>

// Which database the tool works on; the value is the index of the choice in the window.
enum class DatabaseKind { Vornix = 0, Pdv = 1 };

// One cleanable entry: the main table's name, the description shown, the default mark.
struct CatalogueEntry {
    const char* name;
    const char* description;  // UTF-8
    char mark;
};

std::span<const CatalogueEntry> catalogueOf(DatabaseKind kind);

// The two groups the check boxes mark at once, in the order their marks are applied.
std::span<const char* const> productsGroup();
std::span<const char* const> basicTablesGroup();
