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
//   BlockDistance d = block_root_distance(circuit, e, b, k, p);
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

// Whether element i has a stamp inside block k.
bool element_in_block(const SystemBlocks& b, int k, int i);

// The distance from p to the nearest root of block k's determinant, as a
// Newton step |f/f'| estimates it (0 when the block is exactly singular
// at p; infinite when it does not depend on s or cannot be evaluated).
// Solves with `e` (restriction, mode and point are set and restored).
Real block_root_distance(Circuit& c, Engine& e, const SystemBlocks& b, int k, Complex p);

// The roots of block k's determinant (of the whole matrix's for k = -1)
// inside the circle |s - p| = 1e-6·|p|: its winding around the circle;
// 0 when it cannot be told. Solves with `e` as block_root_distance does.
int roots_near(Circuit& c, Engine& e, const SystemBlocks& b, int k, Complex p);

// The winding, around that circle, of what `value` reads off the engine
// after each of 32 solves in normal mode (the response only), the system
// restricted to a block when `restriction` is given; 0 when it cannot be
// told. The engine's frequency, mode and restriction are put back.
int winding_near(Circuit& c, Engine& e, Complex p, const BlockRestriction* restriction,
                 const std::function<Complex(const Engine&)>& value);

}  // namespace analysis
