// The SPICE deck translator, then the netlist reader on what it wrote.
//
// A deck is refused with a reason (an input/output error naming the line)
// or translated; a translated netlist reads as a netlist: the reader may
// stop at one of the suite's limits, but never on a line it cannot read
// or an element it does not know, and the node map covers every node.
// Included files are never there, so an .include or .lib is refused.
#include <optional>
#include <string>

#include "analysis/circuit/netlist_reader.h"
#include "analysis/spice/spice_translate.h"
#include "common/errors.h"
#include "common/textscan.h"
#include "fuzz/fuzz_support.h"

int fuzz_spice(const std::uint8_t* data, std::size_t size) {
    using namespace analysis;
    const std::string deck(reinterpret_cast<const char*>(data), size);
    spice::SpiceTranslation t;
    try {
        t = spice::translate_spice(deck, "deck.cir", [](const std::string&) { return std::nullopt; });
    } catch (const suite::IoError&) {
        return 0;  // refused, with its reason
    }
    fuzz::check(!t.netlist.empty(), "a translation without a netlist");
    std::string text;
    for (const std::string& line : t.netlist) text += line + "\n";
    static Circuit* c = new Circuit;  // large: made once, renewed in place
    c->~Circuit();
    new (c) Circuit();
    suite::TextScanner in(text);
    try {
        read_netlist(*c, in, [](const std::string&) {});
        fuzz::check(static_cast<int>(t.node_names.size()) == c->node_count + 1, "a node map of another size");
    } catch (const suite::FatalError& e) {
        const std::string why = e.what();
        fuzz::check(why.find("Erro de leitura nesta linha") == std::string::npos,
                    "a netlist line the reader cannot read");
        fuzz::check(why.find("Elemento desconhecido") == std::string::npos,
                    "an element the reader does not know");
    } catch (const suite::IoError&) {
        fuzz::check(false, "a translated netlist that is not a text");
    }
    return 0;
}
