// The component library table. The text columns are the system's own texts
// and must stay exactly as they are.
#include "editor/library/library.h"

#include <array>
#include <stdexcept>

namespace editor {
namespace {

// clang-format off
constexpr std::array<ComponentKind, library_size> kinds{{
    {'R', 2, "Resistance", "1", "*JAJELFHHLJHLJMJQ"},  // 1
    {'r', 2, "Polynomial coefficients a0 ... a7", "0 5 0 -20 0 16", "*JAJELFHHLJHLJMJQ*FCNCNNFNFC*FDND"},  // 2
    {'L', 2, "Inductance [IC=j(0)]", "1", "#JGMGJD#JKJNMK#IGIKMG#IKMKIF#IIIGIK*JAJD*JQJN#NOOOOO"},  // 3
    {'l', 2, "Inductance [IC=j(0)]", "1", "#JGMGJD#JKJNMK#IGIKMG#IKMKIF#IIIGIK*JAJD*JQJN"},  // 4
    {'C', 2, "Capacitance [IC=v(0)]", "1", "*JAJH*JJJQ#JBGGMG@GJ@MJ*GJMJ"},  // 5
    {'c', 2, "Capacitance [IC=v(0)]", "1", "*JAJH*JJJQ*HHLH*HJLJ@LH@LJ@HH@HJ"},  // 6
    {'N', 2, "Points v1 j1 v2 j2 v3 j3 v4 j4", "-1000 0 0 0 0.6 1e-3 2 10", "*GCMCMNGNGC*GDMD*JAJEKFIHKJILJMJQ"},  // 7
    {'K', 4, "Turns ratio or L1 L2 k12 or (M12 M21)", "1", "#DHDKDE#DJDMDG#DIDGDK*HEHM*KEKM#OIOKOG#OHOEOK#OJOGOM*BABEDE*BQBMDM*RAQBQEOE*RQQPQMOM#FOGOGO#MONONO"},  // 8
    {'X', 2, "Reactance (or inductance [IC=j(0)])", "1", "*GFMFMMGMGF*JAJF*JMJQ#MONONO"},  // 9
    {'G', 4, "Transconductance", "1", "*GDLIGNBIGD*EIGGII*GGGK*LDND*LNNN*MMMO*BABCGCGD*BQBOGOGN*RAQBQD*RQQPQN@LD@ND@LN@NN@MM@MO"},  // 10
    {'g', 4, "Transconductance", "1", "*GFGLNONCGF*JGLG*KJKL*JKLK*BACBDBDIGI*RAQBQGNG*RQQPQKNK@JK@LK@KJ@KL@JG@LG"},  // 11
    {'#', 4, "Gm Gc (common mode)", "1 0.1", "*DEDMOOOCDE*GGIG*HFHH*KGMG*GKIK*KKMK*LJLL*BABGDG*BQBKDK*RAQBQGOG*RQQPQKOK@GG@IG@HF@HH@KG@MG@GK@IK@LJ@LL@KK@MK"},  // 12
    {'&', 4, "Multiplier gain", "1", "*CIJBOBOPJPCI*HGLK*LGHK*BACBEBEG*BQBICI*RAQBQEOE*OMQMQPRQ"},  // 13
    {'/', 4, "Divider gain", "1", "*CIJBOBOPJPCI%IELHLHLH%IJLMLMLM*HIMI*BACBEBEG*BQBICI*RAQBQEOE*OMQMQPRQ"},  // 14
    {'!', 2, "V Cin", "V 10e-12", "*LBLPPPPBLB*HPFPFNHNHLFL*FBFFHFHDFDHB*JAJELE*JQJMLM"},  // 15
    {'%', 4, "[!] V Rout Cin", "5 1000 10e-12", "*DBDPOPOBDB*BABEDE*BQBNDN*RAQBQEOE*RQQPQMOM%FDIGIGIG%FKINININ*FHIH*FDGE*FKGL*KDLDMEMFLGKG*MKMNLNKMKLLKMK"},  // 16
    {'@', 4, "V Rout Cin T", "5 1000 10e-12 1e-3", "*DBDPOPOBDB*BABEDE*BQBNDN*RQQPQMOM%FDIGIGIG%FKINININ*FHIH*FDGE*KNMN*LNLK*FKGL*MDMGKGKFLEKD*OEQEQBRA"},  // 17
    {'>', 2, "V Rout Cin Av", "5 1000 10e-12 10", "#JELELE*JGDMPMJG*JMJQ*JAJC"},  // 18
    {')', 3, "V Rout Cin Av", "5 1000 10e-12 10", "#HIHOHC*HCDCDOHO*BABEDE*BQBMDM*NIQIQPRQ"},  // 19
    {'(', 3, "V Rout Cin Av", "5 1000 10e-12 10", "#NIPIPI#FIFOFC*FCDCDOFO*BABEDE*BQBMDM*RQQPQIPI"},  // 20
    {'}', 3, "V Rout Cin Av", "5 1000 10e-12 10", "#DMMIDC#DEDOMI%BCFODODC*BABEEE*BQBMEM*MIQIQPRQ"},  // 21
    {'{', 3, "V Rout Cin Av", "5 1000 10e-12 10", "%FOBCDODC#OIQIQI#DMMIDC#DEDOMI*BABEEE*BQBMEM*QIQPRQ"},  // 22
    {']', 3, "V Rout Cin Av", "5 1000 10e-12 10", "%BCFODODC%DCHOFOFC#FMOIFE#FEFOOI*BABEEE*BQBMEM*OIQIQPRQ"},  // 23
    {'[', 3, "V Rout Cin Av", "5 1000 10e-12 10", "%ACEOCOCC#OIQIQI%CCGOEOEC#EKMIEC#EGEOMI*BABEDE*BQBMDM*QIQPRQ"},  // 24
    {'Q', 3, "Parameters (or hfe hie hre hoe)", "NPN", "*EIOI*OKOMMM#JJQJQJ*BACBJBJI*BQDQDNII*RQPQPNKI"},  // 25
    {'q', 3, "Parameters (or hfe hie hre hoe)", "PNP", "*EIOI*OKMKMM#JJQJQJ*RQPQPNKI*BQDQDNII*BACBJBJI"},  // 26
    {'M', 3, "Gm Gds", "1 0", "*DFNF*DHNH*KJMLOJ*BADCICIF*BQEQEH*MHMQRQ"},  // 27
    {'m', 3, "Gm Gds", "1 0", "*DFNF*DHNH*KKMIOK*BADCICIF*BQEQEH*MHMQRQ"},  // 28
    {'W', 4, "NMOS L= W= K Vt0 Lambda Gamma Phi Ld", "NMOS L=1e-6 W=1e-6 1e-4 1 0.01 0.3 0.6 0.1e-6", "*DFNF*DHFH*HHJH*LHNH*IIIMKM*GKIIKK*BADCICIF*BQEQEH*RAPCPMOM*MHMQRQ"},  // 29
    {'w', 4, "PMOS L= W= K Vt0 Lambda Gamma Phi Ld", "PMOS L=1e-6 W=1e-6 1e-4 1 0.01 0.3 0.6 0.1e-6", "*DFNF*DHFH*HHJH*LHNH*IHIMKM*GJILKJ*BADCICIF*BQEQEH*RAPCPMOM*MHMQRQ"},  // 30
    {'J', 3, "Gm Gds", "1 0", "*DKPK*HHJJLH*BACBJBJK*BQFQFK*NKNQRQ"},  // 31
    {'j', 3, "Gm Gds", "1 0", "*DKPK*HIJGLI*BACBJBJK*BQFQFK*NKNQRQ"},  // 32
    {'A', 3, "GB Rout (or Av)", "100 0.01", "*DCQIDODC*BABGDG*BQBKDK*QIQPRQ@FG@HG@GF@GH@FK@HK*FGHG*GFGH*FKHK"},  // 33
    {'a', 4, "GB Rout (or Av)", "100 0.01", "*BIOCOOBI*BQBI*RAQBQEOE*RQQPQMOM*BABCHCHF@LF@KG@KK@MG@LH@MK*KGMG*LFLH*KKMK"},  // 34
    {'E', 4, "Av", "1", "*GDBIGNLIGD*LDND*FGHG*LNNN*MMMO*BABCGCGD*BQBOGOGN*RAQBQD*RQQPQN*FJHJ*GIGK@FG@HG@FJ@HJ@GI@GK@LD@ND@MM@MO@NN@LN"},  // 35
    {'F', 4, "Bi", "1", "*GDBIGNLIGD*GGGK*EIGGII*MMOKQM*BABCGCGD*BQBOGOGN*RAQBQCOCOOQOQPRQ"},  // 36
    {'H', 4, "Rm", "1", "*GDBIGNLIGD*MMOKQM*FGHG*BABCGCGD*BQBOGOGN*RAQBQCOCOOQOQPRQ*FJHJ*GIGK@FG@FJ@GI@HG@GK@HJ"},  // 37
    {'B', 4, "C/V [IC=q(0)]", "1", "*DJJJ*LDND*LNNN*MMMO*DHJH*BABCGCGH*BQBOGOGJ*RAQBQD*RQQPQN@LD@ND@LN@NN@MM@MO"},  // 38
    {'Y', 4, "Gyration resistance", "1", "#BIBNBD#QIQDQO*HLKL*BABQ*RAQBQPRQ*JKKLJM"},  // 39
    {'S', 2, "Phase(s)", "1", "*MHOHOJ*JQJMOH*JAJF"},  // 40
    {'s', 2, "Phase(s)", "2", "*MHOHOJ*JAJF*JQJMOH*KJML"},  // 41
    {'$', 4, "Gon Goff Vref Deltav", "1 0 1 0", "*JGLGLI*LDND*LNNN*MMMO*BABCGCGF*BQBOGOGLLG*RAQBQD*RQQPQN@LD@ND@LN@NN@MM@MO"},  // 42
    {'P', 3, "Phase(s)", "", "*FLFNHN*BACBDBDD*BQCPDPDN*RQOQOIKIFN"},  // 43
    {'p', 4, "Gon Goff Vref Deltav", "1 0 1 0", "*FLFNHN*BQCPDPDN*BACBDBDD*FNKIOIOQRQ*RAQBLBIE*ICIEKE"},  // 44
    {'O', 3, "", "", "*DCDOQIDC*BABGDG*BQBKDK*QIQPRQ*GGHGIHHIGIFJGKHKIJHIGIFHGG"},  // 45
    {'o', 4, "", "", "*OCBIOOOC*BQBI*RAQBQEOE*RQQPQMOM*BABCHCHF*KGLGMHLIKIJJKKLKMJLIKIJHKG"},  // 46
    {'T', 3, "Impedance Delay", "1 1", "%EEIMIMIM%KEOMMMME*GEME*GMMM*BABCJCJE*BQDQDIGI*OIPIPQRQ"},  // 47
    {'U', 3, "Resistance Capacitance", "1 1", "*DGPG*BABCJCJG*BQDQDLFLGJINKJMNNLPLPQRQ"},  // 48
    {'D', 2, "[Vd] or Is nVT", "", "*JGFKNKJG*FGNG*JAJG*JKJQ"},  // 49
    {'d', 2, "Is nVT or [Vd]", "1e-9 43.429445e-3", "*JGFKNKJG*FGNG*JAJG*JKJQ*GJMJ*HILI*IHKH"},  // 50
    {'Z', 2, "Resistance Voltage", "1 1", "*DIFI*EHEJ#JLMLML*JAJCLDHFJGJI*JOJQ@DI@FI@EH@EJ"},  // 51
    {'I', 2, "Current or parameters", "1", "#JIOIOI*JGJK*HIJGLI*JAJD*JQJN"},  // 52
    {'V', 2, "Voltage or parameters", "1", "#JIOIOI*JAJD*JQJN@IG@IJ@JI@KG@KJ@JK*IJKJ*JIJK*IGKG"},  // 53
    {'=', 2, "", "", "*HFLF*IHKH*JAJF"},  // 54
    {'-', 2, "", "", "*JAJQ"},  // 55
    {'\\', 3, "", "", "*BARQ"},  // 56
    {'+', 4, "", "", "#JILGHK*BAFE*RALG*BQHK*JIRQ"},  // 57
    {'0', 2, "Comment", "", "#JIOIOI*JAJD*JGKHKJJKIJIHJG"},  // 58
    {'1', 2, "Comment", "", "*IHJGJK*IKKK#JIOIOI*JDJA"},  // 59
    {'2', 2, "Comment", "", "#JIOIOI*JAJD*IHJGKHKIIKKK"},  // 60
    {'3', 2, "Comment", "", "*IGKGKKIK*JIKI#JIOIOI*JAJD"},  // 61
    {'4', 2, "Comment", "", "*IGIIKI*KGKK#JIOIOI*JAJD"},  // 62
    {'5', 2, "Comment", "", "#JIOIOI*KGIGIIJIKJJKIK*JAJD"},  // 63
    {'6', 2, "Comment", "", "#JIOIOI*KGJGIHIJJKKJJIII*JAJD"},  // 64
    {'7', 2, "Comment", "", "#JIOIOI*IGKGJJJK*JAJD"},  // 65
    {'8', 2, "Comment", "", "#JIOIOI*JGIHKJJKIJKHJG*JAJD"},  // 66
    {'9', 2, "Comment", "", "#JIOIOI*KIJIIHJGKHKJJKIK*JAJD"},  // 67
    {'*', 2, "Comment", "", "*GGKK*GKKG*FILI"},  // 68
    {'.', 2, "Command", "", "*JHJIKIKHJH"},  // 69
}};
// clang-format on

}  // namespace

const ComponentKind& component_kind(int index) {
    if (index < 1 || index > library_size)
        throw std::out_of_range("component kind index " + std::to_string(index));
    return kinds[static_cast<size_t>(index - 1)];
}

int find_kind(char key) {
    for (int i = 1; i <= library_size; ++i)
        if (kinds[static_cast<size_t>(i - 1)].key == key) return i;
    return 0;
}

char swap_letter_case(char c) {
    if (c >= 'a' && c <= 'z') return static_cast<char>(c - 'a' + 'A');
    if (c >= 'A' && c <= 'Z') return static_cast<char>(c - 'A' + 'a');
    return c;
}

int kind_for_typed_key(char typed) { return find_kind(swap_letter_case(typed)); }

bool is_circuit_kind(int index) { return index >= 1 && index <= last_circuit_kind; }

bool is_connection_kind(int index) { return index >= kind_ground && index <= kind_last_label; }

bool is_label_kind(int index) { return index >= kind_first_label && index <= kind_last_label; }

bool has_parameters(int index) {
    return index >= 1 && index <= library_size && !component_kind(index).description.empty();
}

bool placed_exchanged(int index) {
    if (index < 1 || index > library_size) return false;
    const char key = component_kind(index).key;
    return is_label_kind(index) || key == '=' || key == 'Z' || key == '\\';
}

ParameterValues parameter_values(int index) {
    if (!has_parameters(index)) return ParameterValues::free;
    switch (component_kind(index).key) {
        case 'R':
        case 'r':
        case 'L':
        case 'l':
        case 'C':
        case 'c':
        case 'K':
        case 'G':
        case 'g':
        case '#':
        case 'M':
        case 'm':
        case 'A':
        case 'a':
        case 'E':
        case 'F':
        case 'H':
        case 'Y':
        case 'Z':
            return ParameterValues::numbers;
        case 'I':
        case 'V':
        case 'Q':
        case 'q':
        case 'W':
        case 'w':
            return ParameterValues::numbers_or_model;
        default:
            return ParameterValues::free;
    }
}

std::string accepted_keys_line() {
    std::string line;
    for (int i = 1; i <= kind_crossing; ++i) line += component_kind(i).key;
    return line + "0..9.*";
}

}  // namespace editor
