#include "cleanup/Plan.h"

#include <algorithm>
#include <string_view>

std::span<const PlanRow> planRowsOf(DatabaseKind kind) {
    return kind == DatabaseKind::Pdv ? pdvPlanRows() : erpPlanRows();
}

std::vector<Block> blocksOf(std::span<const PlanRow> rows) {
    std::vector<Block> blocks;
    size_t start = 0;
    for (size_t i = 0; i <= rows.size(); ++i) {
        if (i < rows.size() && rows[i].kind != RowKind::Block) continue;
        if (!blocks.empty()) blocks.back().steps = rows.subspan(start, i - start);
        if (i < rows.size()) blocks.push_back({rows[i].text, rows[i].when, {}});
        start = i + 1;
    }
    return blocks;
}

std::vector<const char*> keysNoBlockTests(DatabaseKind kind) {
    const std::vector<Block> blocks = blocksOf(planRowsOf(kind));
    auto tested = [&](std::string_view key) {
        return std::any_of(blocks.begin(), blocks.end(), [&](const Block& b) {
            return std::any_of(b.when.keys, b.when.keys + b.when.count,
                               [&](const char* k) { return key == k; });
        });
    };
    std::vector<const char*> keys;
    for (const CatalogueEntry& e : catalogueOf(kind))
        if (!tested(e.name)) keys.push_back(e.name);
    return keys;
}
