#pragma once
// Part of the RTF reader: tables, row by row, each cell holding paragraphs and tables
// nested in it.

#include <cstddef>
#include <vector>

#include "richtext/control_words.h"
#include "richtext/document.h"
#include "richtext/properties.h"

namespace hoopcast::richtext {

// A cell's part of a row definition: the words before its \cellx.
struct CellDefinition {
    int edge = 0;  // \cellx: the cell's right edge
    int background = -1;
    int pattern = -1;
    int shading = 0;
    BordersProps borders;
    bool has_borders = false;
};

// A row's definition (\trowd ... \cellx), written before its cells or at the row's end.
struct RowDefinition {
    int left = 0;                       // \trleft
    std::vector<CellDefinition> edges;  // one per \cellx
    std::size_t cells = 0;              // how many cells it defines
    CellDefinition next;                // the cell being defined

    void apply(const ControlWord& word, int value);
    // A border word for the cell being defined.
    void apply_border(int side, const ControlWord& word, int value);
};

// The tables open at each nesting level while their rows are read; level 0 is the body.
class OpenTables {
  public:
    // Where a paragraph at this level goes: the body, or the open cell of the table there.
    std::vector<Block>& container(int level);
    // Closes the tables deeper than `level`, each into the cell around it, and opens tables
    // down to it.
    void set_level(int level);
    void end_cell(int level);
    // The cells beyond the definition that hold nothing are dropped; the others take their
    // widths, backgrounds and borders from it.
    void end_row(int level, const RowDefinition& definition, const ColourTable& colours);
    // Closes every table; the document's blocks.
    std::vector<Block> finish();

  private:
    struct Level {
        Table table;
        Row row;
        Cell cell;
    };

    std::vector<Block> body_;
    std::vector<Level> open_;  // open_[k] is the table at nesting level k + 1
};

}  // namespace hoopcast::richtext
