// The block-triangular structure of the nodal matrix.
//
// Buffered sections (ideal op-amps, E elements of finite gain) drive the
// next section without being loaded by it: the nodal matrix is then block
// triangular, and det M(s) is the product of the determinants of its
// diagonal blocks. A pole of the circuit is a root of one block's
// determinant (of several, when identical sections repeat it), and its
// sensitivities are those of that block alone: only the elements stamped
// inside the block move it.
//
// The blocks are the strongly connected parts of the matrix's pattern
// after a matching of rows to columns, found once per circuit from the
// stamps at two generic frequencies:
//
//   SystemBlocks b = find_system_blocks(circuit);
//   e.restriction = &b.restrictions[k];   // solve block k alone
//   Real d = block_root_distance(circuit, e, b, k, p);
#pragma once

#include <functional>
#include <vector>

#include "analysis/circuit/circuit.h"
#include "analysis/engine/engine.h"

namespace analysis {

struct SystemBlocks {
    int equation_count = 0;
    // Per block, in the order of their smallest column: the matrix rows
    // and columns it holds (as many of each), the restriction that solves
    // it alone, the elements with a stamp inside it, and whether its
    // determinant depends on s at all (it holds C, L, A or K stamps).
    std::vector<std::vector<int>> rows, columns;
    std::vector<BlockRestriction> restrictions;
    std::vector<std::vector<int>> elements;
    std::vector<bool> varies;
    // False when the pattern admits no matching (a structurally singular
    // matrix): the whole matrix is then one block.
    bool matched = true;

    int count() const { return static_cast<int>(rows.size()); }
};

// Finds the blocks of the circuit's matrix. Stamps the circuit with an
// engine of its own (the circuit's recorded stamps are overwritten).
SystemBlocks find_system_blocks(Circuit& c);

// Where an n×n matrix holds entries: pattern[row][column], 1-based.
using SparsityPattern = std::vector<std::vector<char>>;

// The blocks of a pattern alone (rows, columns, restrictions, matched;
// no elements): rows are matched to columns by augmenting paths (a row
// takes a column whose row can move to another), and a block is a
// strongly connected part of the graph from each column to the columns
// of its matched row. The blocks so found are the finest block-triangular
// form of the matrix under row and column exchanges, whichever matching
// was found.
SystemBlocks block_triangular_form(const SparsityPattern& pattern, int n);

// Whether element i has a stamp inside block k.
bool element_in_block(const SystemBlocks& b, int k, int i);

// The distance from p to the nearest root of block k's determinant, as a
// Newton step |f/f'| estimates it (0 when the block is exactly singular
// at p; infinite when it does not depend on s or cannot be evaluated).
// Solves with `e` (restriction, mode and point are set and restored).
Real block_root_distance(Circuit& c, Engine& e, const SystemBlocks& b, int k, Complex p);

// The winding of what `value` reads off the engine around the circle
// |s - p| = 1e-6·|p| (the roots inside, when it reads an analytic
// function), from 32 solves in normal mode (the response only), the
// system restricted to a block when `restriction` is given; 0 when it
// cannot be told (the system is exactly singular on the circle). The
// radius lies above the spread rounding leaves between the copies of a
// multiple root (1e-8 of its size for a fourfold one) and well below the
// spacing of the distinct roots of circuits of sensible values.
// The engine's frequency, mode and restriction are put back.
int winding_near(Circuit& c, Engine& e, Complex p, const BlockRestriction* restriction,
                 const std::function<Complex(const Engine&)>& value);

// The roots inside that circle of the determinant of the block that
// `restriction` solves alone, or of the whole matrix's.
int roots_near(Circuit& c, Engine& e, Complex p, const BlockRestriction* restriction = nullptr);

}  // namespace analysis
