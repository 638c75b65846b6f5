#include "cleanup/Plan.h"

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
