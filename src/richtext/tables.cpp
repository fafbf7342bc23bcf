#include "richtext/tables.h"

#include <algorithm>
#include <cstdint>
#include <utility>

#include "richtext/properties.h"

namespace hoopcast::richtext {

namespace {

constexpr std::size_t kMaxCellEdges = 256;  // more cells in a row keep no width

bool is_empty(const Cell& cell) {
    for (const Block& b : cell.blocks) {
        const auto* p = std::get_if<Paragraph>(&b.content);
        if (p == nullptr || !p->marker.empty()) return false;
        for (const Run& r : p->runs) {
            if (!r.text.empty() || r.picture) return false;
        }
    }
    return true;
}

}  // namespace

void RowDefinition::apply(const ControlWord& word, int value) {
    switch (word.kind) {
        case WordKind::row_defaults:
            *this = RowDefinition{};
            return;
        case WordKind::row_left:
            left = clamp_twips(value);
            return;
        case WordKind::cell_edge:
            next.edge = clamp_twips(value);
            if (edges.size() < kMaxCellEdges) edges.push_back(next);
            if (cells < SIZE_MAX) ++cells;
            next = CellDefinition{};
            return;
        case WordKind::cell_background:
            next.background = value;
            return;
        case WordKind::cell_pattern_colour:
            next.pattern = value;
            return;
        case WordKind::cell_shading:
            next.shading = std::clamp(value, 0, 10000);
            return;
        default:
            return;
    }
}

void RowDefinition::apply_border(int side, const ControlWord& word, int value) {
    next.borders.apply(side, word, value);
}

std::vector<Block>& OpenTables::container(int level) {
    return level == 0 ? body_ : open_[static_cast<std::size_t>(level - 1)].cell.blocks;
}

void OpenTables::set_level(int level) {
    while (static_cast<int>(open_.size()) > level) {
        Level inner = std::move(open_.back());
        open_.pop_back();
        if (!inner.cell.blocks.empty()) inner.row.cells.push_back(std::move(inner.cell));
        if (!inner.row.cells.empty()) inner.table.rows.push_back(std::move(inner.row));
        if (!inner.table.rows.empty()) {
            container(static_cast<int>(open_.size()))
                .emplace_back()
                .content.emplace<Table>(std::move(inner.table));
        }
    }
    while (static_cast<int>(open_.size()) < level) open_.emplace_back();
}

void OpenTables::end_cell(int level) {
    set_level(level);
    Level& lv = open_[static_cast<std::size_t>(level - 1)];
    lv.row.cells.push_back(std::move(lv.cell));
    lv.cell = Cell{};
}

void OpenTables::end_row(int level, const RowDefinition& def, const ColourTable& colours) {
    set_level(level);
    Level& lv = open_[static_cast<std::size_t>(level - 1)];
    if (!lv.cell.blocks.empty()) {
        lv.row.cells.push_back(std::move(lv.cell));
        lv.cell = Cell{};
    }
    // Some writers end a row with one \cell too many; an empty cell beyond the row's
    // definition is not shown.
    while (def.cells > 0 && lv.row.cells.size() > def.cells && is_empty(lv.row.cells.back())) {
        lv.row.cells.pop_back();
    }
    for (std::size_t i = 0; i < lv.row.cells.size() && i < def.edges.size(); ++i) {
        const CellDefinition& d = def.edges[i];
        Cell& cell = lv.row.cells[i];
        cell.width = std::max(d.edge - (i == 0 ? def.left : def.edges[i - 1].edge), 0);
        cell.background = shade(colours, d.background, d.pattern, d.shading);
        cell.borders = d.borders.resolve(colours);
        cell.has_borders = d.has_borders;
    }
    if (!lv.row.cells.empty()) {
        lv.table.rows.push_back(std::move(lv.row));
        lv.row = Row{};
    }
}

std::vector<Block> OpenTables::finish() {
    set_level(0);
    return std::move(body_);
}

}  // namespace hoopcast::richtext
