// A designed filter as a cascade of section circuits, and its netlist.
//
//   Cascade f{.sections = {s1, s2}, .opamp = {}};
//   CascadeNetlist n = cascade_netlist(f);
//   write_lines("lp.net", netlist_lines(n, header));   // the suite's netlist text
//
// The filter's input is node 1, driven by the source VIN (1 V); section 1
// takes it, each further section takes the output of the one before, and
// the last section's output is the filter's output. Nodes are numbered in
// the order in which the elements meet them, section by section.
#pragma once

#include <string>
#include <vector>

#include "analysis/design/section.h"

namespace analysis::design {

// Ideal op-amps (nullors, "O") or the gain-bandwidth model ("A": GB in
// rad/s, output resistance Ro in ohms).
struct OpAmpModel {
    bool ideal = true;
    Real gb = 0;
    Real ro = 0;
};

struct Cascade {
    std::vector<SectionCircuit> sections;
    OpAmpModel opamp;
};

// One element line: its name, kind ('V', 'R', 'C', 'O' or 'A'), nodes
// and values (V: 1; R, C: the value; O: none; A: GB and Ro).
struct NetElement {
    std::string name;
    char kind = 'R';
    std::vector<int> nodes;
    std::vector<Real> values;
    int section = -1;  // 0-based; -1 for the source
};

struct CascadeNetlist {
    int node_count = 0;
    int output_node = 0;
    std::vector<NetElement> elements;             // the source first, then section by section
    std::vector<std::vector<int>> section_nodes;  // per section: local node → netlist node (−1 unused)
    std::vector<int> opamp_outputs;               // every op-amp's output node, in element order
};

CascadeNetlist cascade_netlist(const Cascade& f);

// The netlist text: the node count, the comment lines (each given without
// its "*"), and the element lines; values in the shortest text that reads
// back to the same double.
std::vector<std::string> netlist_lines(const CascadeNetlist& n, const std::vector<std::string>& comments);

// A value as the netlist writes it.
std::string netlist_value(Real x);

}  // namespace analysis::design
