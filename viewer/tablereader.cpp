#include "viewer/tablereader.h"

#include "common/errors.h"
#include "common/textfile.h"
#include "common/textscan.h"

namespace viewer {
namespace {

const std::string kEmptyTable = "* Tabela vazia recusada.";
const std::string kTooLong =
    "* Tabela com mais de " + std::to_string(kEntryCount) + " pólos ou zeros recusada.";

// The first `n` characters of a UTF-8 text.
std::string first_characters(const std::string& s, std::size_t n) {
    std::size_t pos = 0;
    for (std::size_t count = 0; pos < s.size() && count < n; ++count) {
        ++pos;
        while (pos < s.size() && (static_cast<unsigned char>(s[pos]) & 0xC0) == 0x80) ++pos;
    }
    return s.substr(0, pos);
}

bool contains(const std::string& s, const char* mark) { return s.find(mark) != std::string::npos; }

// Reads one number into `value` as a 48-bit real. A number missing
// because the file ended inside the entry is a malformed entry.
bool read_value(suite::TextScanner& in, Real48& value) {
    suite::Real x = 0;
    if (in.seek_eof() || !in.read_real(x)) return false;
    const auto r = round_real48(x);
    if (!r) return false;
    value = *r;
    return true;
}

// Reads one entry line (two or seven numbers) and skips its rest.
bool read_entry(suite::TextScanner& in, Entry& e) {
    bool ok = read_value(in, e.Re) && read_value(in, e.Im);
    if (ok && !in.line_has_field()) {
        e.VRe = e.VIm = e.Ra = e.Rb = e.Ang = 0;
    } else if (ok) {
        ok = read_value(in, e.VRe) && read_value(in, e.VIm) && read_value(in, e.Ra) && read_value(in, e.Rb) &&
             read_value(in, e.Ang);
    }
    in.readln();
    return ok;
}

bool at_table_end(const suite::TextScanner& in) { return in.eof() || !in.line_has_field(); }

enum class Header { found, end_of_file };

// Skips lines up to a header line; `kind_zero` tells its kind.
Header find_header(suite::TextScanner& in, bool& kind_zero) {
    for (;;) {
        const std::string line = first_characters(in.rest_of_line(), 255);
        in.readln();
        if (contains(line, "Pol") || contains(line, "Pól") || contains(line, "Zer")) {
            kind_zero = contains(line, "Zer");
            return Header::found;
        }
        if (in.seek_eof()) return Header::end_of_file;
    }
}

}  // namespace

std::string name_without_directory(const std::string& path) {
    const auto cut = path.find_last_of("\\/");
    return cut == std::string::npos ? path : path.substr(cut + 1);
}

std::string completed_file_name(const std::string& chosen) {
    if (name_without_directory(chosen).find('.') == std::string::npos) return chosen + ".tab";
    return chosen;
}

ReadOutcome read_tables(TableStore& store, const std::string& text, const std::string& table_name,
                        const Report& report) {
    ReadOutcome outcome;
    const Load load = begin_load(store);
    suite::TextScanner in(text);
    for (;;) {
        bool zero = false;
        if (find_header(in, zero) == Header::end_of_file) {
            report(kEndOfFile);
            return outcome;
        }
        const int n = first_free_slot(store);
        if (n == 0) {
            report(kNoSlot);
            outcome.failed = true;
            return outcome;
        }
        if (at_table_end(in)) {  // a header without entries
            report(kEmptyTable);
            outcome.failed = true;
            continue;
        }
        TableSlot& slot = store.slot(n);
        int count = 0;
        bool too_long = false;
        do {
            if (++count > kEntryCount) {
                too_long = true;
                break;
            }
            if (!read_entry(in, slot.entry(count))) {
                report(kBadFormat);
                outcome.failed = true;
                return outcome;
            }
        } while (!at_table_end(in));
        if (too_long) {
            while (!at_table_end(in)) in.readln();
            report(kTooLong);
            outcome.failed = true;
            continue;
        }
        slot.name = table_name;
        slot.is_zero = zero;
        slot.is_pole = !zero;
        slot.count = count;
        slot.load = load.number;
        slot.colour = load.colour;
        register_table(store, n);
        ++outcome.tables;
        report("* Lida tabela no. " + std::to_string(n) + ", de " + (zero ? "zeros" : "pólos"));
    }
}

ReadOutcome read_table_file(TableStore& store, const std::string& chosen, const Report& report) {
    const std::string path = completed_file_name(chosen);
    const std::string name = name_without_directory(path);
    store.last_file_name = name;
    std::string text;
    try {
        text = suite::read_text(path);
    } catch (const suite::IoError&) {
        report("* Arquivo " + path + " inexistente.");
        return {0, true};
    }
    if (text.find('\0') != std::string::npos) {  // a binary file, not a table
        report(kBadFormat);
        return {0, true};
    }
    return read_tables(store, text, name, report);
}

}  // namespace viewer
