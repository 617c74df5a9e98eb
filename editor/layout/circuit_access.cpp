#include "editor/layout/circuit_access.h"

#include <cctype>

namespace editor {
namespace {

struct Kind {
    char key;
    int terminals;
    std::string description;
    std::string defaults;
};

const Kind kinds[69] = {
    {'R', 2, "Resistance", "1"},
    {'r', 2, "Polynomial coefficients a0 ... a7", "0 5 0 -20 0 16"},
    {'L', 2, "Inductance [IC=j(0)]", "1"},
    {'l', 2, "Inductance [IC=j(0)]", "1"},
    {'C', 2, "Capacitance [IC=v(0)]", "1"},
    {'c', 2, "Capacitance [IC=v(0)]", "1"},
    {'N', 2, "Points v1 j1 v2 j2 v3 j3 v4 j4", "-1000 0 0 0 0.6 1e-3 2 10"},
    {'K', 4, "Turns ratio or L1 L2 k12 or (M12 M21)", "1"},
    {'X', 2, "Reactance (or inductance [IC=j(0)])", "1"},
    {'G', 4, "Transconductance", "1"},
    {'g', 4, "Transconductance", "1"},
    {'#', 4, "Gm Gc (common mode)", "1 0.1"},
    {'&', 4, "Multiplier gain", "1"},
    {'/', 4, "Divider gain", "1"},
    {'!', 2, "V Cin", "V 10e-12"},
    {'%', 4, "[!] V Rout Cin", "5 1000 10e-12"},
    {'@', 4, "V Rout Cin T", "5 1000 10e-12 1e-3"},
    {'>', 2, "V Rout Cin Av", "5 1000 10e-12 10"},
    {')', 3, "V Rout Cin Av", "5 1000 10e-12 10"},
    {'(', 3, "V Rout Cin Av", "5 1000 10e-12 10"},
    {'}', 3, "V Rout Cin Av", "5 1000 10e-12 10"},
    {'{', 3, "V Rout Cin Av", "5 1000 10e-12 10"},
    {']', 3, "V Rout Cin Av", "5 1000 10e-12 10"},
    {'[', 3, "V Rout Cin Av", "5 1000 10e-12 10"},
    {'Q', 3, "Parameters (or hfe hie hre hoe)", "NPN"},
    {'q', 3, "Parameters (or hfe hie hre hoe)", "PNP"},
    {'M', 3, "Gm Gds", "1 0"},
    {'m', 3, "Gm Gds", "1 0"},
    {'W', 4, "NMOS L= W= K Vt0 Lambda Gamma Phi Ld", "NMOS L=1e-6 W=1e-6 1e-4 1 0.01 0.3 0.6 0.1e-6"},
    {'w', 4, "PMOS L= W= K Vt0 Lambda Gamma Phi Ld", "PMOS L=1e-6 W=1e-6 1e-4 1 0.01 0.3 0.6 0.1e-6"},
    {'J', 3, "Gm Gds", "1 0"},
    {'j', 3, "Gm Gds", "1 0"},
    {'A', 3, "GB Rout (or Av)", "100 0.01"},
    {'a', 4, "GB Rout (or Av)", "100 0.01"},
    {'E', 4, "Av", "1"},
    {'F', 4, "Bi", "1"},
    {'H', 4, "Rm", "1"},
    {'B', 4, "C/V [IC=q(0)]", "1"},
    {'Y', 4, "Gyration resistance", "1"},
    {'S', 2, "Phase(s)", "1"},
    {'s', 2, "Phase(s)", "2"},
    {'$', 4, "Gon Goff Vref Deltav", "1 0 1 0"},
    {'P', 3, "Phase(s)", ""},
    {'p', 4, "Gon Goff Vref Deltav", "1 0 1 0"},
    {'O', 3, "", ""},
    {'o', 4, "", ""},
    {'T', 3, "Impedance Delay", "1 1"},
    {'U', 3, "Resistance Capacitance", "1 1"},
    {'D', 2, "[Vd] or Is nVT", ""},
    {'d', 2, "Is nVT or [Vd]", "1e-9 43.429445e-3"},
    {'Z', 2, "Resistance Voltage", "1 1"},
    {'I', 2, "Current or parameters", "1"},
    {'V', 2, "Voltage or parameters", "1"},
    {'=', 2, "", ""},
    {'-', 2, "", ""},
    {'\\', 3, "", ""},
    {'+', 4, "", ""},
    {'0', 2, "Comment", ""},
    {'1', 2, "Comment", ""},
    {'2', 2, "Comment", ""},
    {'3', 2, "Comment", ""},
    {'4', 2, "Comment", ""},
    {'5', 2, "Comment", ""},
    {'6', 2, "Comment", ""},
    {'7', 2, "Comment", ""},
    {'8', 2, "Comment", ""},
    {'9', 2, "Comment", ""},
    {'*', 2, "Comment", ""},
    {'.', 2, "Command", ""},
};

}  // namespace

char kind_key(int kind) { return kinds[kind - 1].key; }
int kind_terminals(int kind) { return kinds[kind - 1].terminals; }
const std::string& kind_description(int kind) { return kinds[kind - 1].description; }
const std::string& kind_defaults(int kind) { return kinds[kind - 1].defaults; }

int kind_for_typed(char c) {
    const unsigned char u = static_cast<unsigned char>(c);
    if (std::islower(u)) c = static_cast<char>(std::toupper(u));
    else if (std::isupper(u)) c = static_cast<char>(std::tolower(u));
    for (int k = 1; k <= 69; ++k)
        if (kinds[k - 1].key == c) return k;
    return 0;
}

std::string element_keys_line() {
    std::string s;
    for (int k = 1; k <= 57; ++k) s += kinds[k - 1].key;
    return s;
}

bool kind_exchanged(int kind) {
    const char k = kind_key(kind);
    return (k >= '0' && k <= '9') || k == '=' || k == 'Z' || k == '\\';
}

}  // namespace editor
