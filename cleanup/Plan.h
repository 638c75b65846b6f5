#pragma once

#include <span>
#include <vector>

#include "catalogue/Catalogues.h"

// A cleanup plan is written as rows: a block row (its label and condition) followed by the
// rows of its steps, in the order they run.
enum class RowKind {
    Block,
    Statement,             // SQL run through the non-committing runner
    Purge,                 // table, generator (may be empty), delete condition (may be empty)
    DuplicateCosts,        // the duplicate cost-history removal
    RequisitionDuplicates  // the requisition cost-history de-duplication
};

// One key; two keys joined by "or"; two or three keys joined by "and".
enum class Join { One, Either, All };

struct Condition {
    Join join;
    const char* keys[3];
    int count;
};

struct PlanRow {
    RowKind kind;
    const char* text;  // block label, statement or table
    const char* generator;
    const char* condition;
    Condition when;
};

struct Block {
    const char* label;
    Condition when;
    std::span<const PlanRow> steps;
};

constexpr Condition when(const char* key) { return {Join::One, {key, nullptr, nullptr}, 1}; }
constexpr Condition whenEither(const char* a, const char* b) {
    return {Join::Either, {a, b, nullptr}, 2};
}
constexpr Condition whenAll(const char* a, const char* b) {
    return {Join::All, {a, b, nullptr}, 2};
}
constexpr Condition whenAll(const char* a, const char* b, const char* c) {
    return {Join::All, {a, b, c}, 3};
}

constexpr PlanRow block(const char* label, Condition c) {
    return {RowKind::Block, label, "", "", c};
}
constexpr PlanRow run(const char* sql) { return {RowKind::Statement, sql, "", "", {}}; }
constexpr PlanRow purge(const char* table, const char* generator, const char* condition = "") {
    return {RowKind::Purge, table, generator, condition, {}};
}
constexpr PlanRow removeDuplicateCosts() { return {RowKind::DuplicateCosts, "", "", "", {}}; }
constexpr PlanRow removeRequisitionDuplicates() {
    return {RowKind::RequisitionDuplicates, "", "", "", {}};
}

std::span<const PlanRow> erpPlanRows();
std::span<const PlanRow> pdvPlanRows();
std::span<const PlanRow> planRowsOf(DatabaseKind kind);

// The blocks of a plan, each with its steps.
std::vector<Block> blocksOf(std::span<const PlanRow> rows);

// The catalogue keys that no block of the plan tests, in catalogue order: marking one of them
// cleans nothing.
std::vector<const char*> keysNoBlockTests(DatabaseKind kind);
