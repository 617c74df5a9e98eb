// The two 100-equation circuits of the engine benchmarks, as netlists.
// bench/vs-ngspice writes the same circuits for the command-line twin and
// for ngspice.
#pragma once

#include <string>

namespace bench {

// 99 RC sections: V1 at node 1, R from node k to k+1 (1 kohm), C from
// node k+1 to ground (1 nF). Output node 100. 199 elements.
inline std::string rc_ladder_netlist() {
    std::string s = "100\n* RC ladder, 99 sections\nV1 1 0 1\n";
    for (int k = 1; k <= 99; ++k) {
        const std::string a = std::to_string(k), b = std::to_string(k + 1);
        s += "R" + a + " " + a + " " + b + " 1E3\n";
        s += "C" + a + " " + b + " 0 1E-9\n";
    }
    return s;
}

// 49 inverting lossy integrators with gain-bandwidth op-amps, then one RC
// section. Stage s sums at node 2s and drives node 2s+1. Output node 100.
// 248 elements.
inline std::string active_ladder_netlist() {
    std::string s = "100\n* active ladder, 49 lossy integrators\nV1 1 0 1\n";
    for (int k = 1; k <= 49; ++k) {
        const std::string n = std::to_string(k), in = std::to_string(k == 1 ? 1 : 2 * k - 1);
        const std::string sum = std::to_string(2 * k), out = std::to_string(2 * k + 1);
        s += "Ri" + n + " " + in + " " + sum + " 1E4\n";
        s += "Rf" + n + " " + sum + " " + out + " 1E4\n";
        s += "C" + n + " " + sum + " " + out + " 1E-8\n";
        s += "A" + n + " " + sum + " 0 " + out + " 1E7 75\n";
    }
    s += "R100 99 100 1E3\nC100 100 0 1E-9\n";
    return s;
}

}  // namespace bench
