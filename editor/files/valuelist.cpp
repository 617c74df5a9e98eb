#include "editor/files/valuelist.h"

#include <optional>

#include "common/errors.h"
#include "common/textfile.h"
#include "common/textscan.h"
#include "editor/files/circuit.h"
#include "editor/files/fields.h"
#include "editor/files/numbertext.h"

namespace editor {
namespace {

bool is_continuation(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }

char upper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

// The name: characters up to the first blank or until it has five, in upper
// case. Line ends do not end it (a name alone on its line runs on into the
// next line); they are not part of it either.
std::string read_name(suite::TextScanner& in) {
    std::string name;
    int length = 0;
    while (!in.eof() && length < max_name_length) {
        const char c = in.get();
        if (c == ' ' || c == '\t') break;
        if (c == '\n' || c == '\r') continue;
        name += upper(c);
        while (is_continuation(in.peek())) name += in.get();
        ++length;
    }
    return name;
}

}  // namespace

int find_value(const ValueList& values, const std::string& name) {
    for (int i = 1; i <= values.count; ++i)
        if (values.entry[i].name == name) return i;
    return 0;
}

bool read_value_list(const std::string& path, ValueList& values, const MessageSink& print) {
    std::string text;
    try {
        text = suite::read_text(path);
    } catch (const suite::IoError&) {
        print("* File " + path + " inexistent");
        return false;
    }
    print("Reading file " + path);
    check_no_nul(text, path);
    suite::TextScanner in(std::move(text));
    values.count = 0;
    while (!in.seek_eof() && values.count < max_values) {
        ValueEntry entry;
        entry.name = read_name(in);
        in.skip_white();
        if (in.eof()) field_error("Missing number after", path, in.line_number(), entry.name);
        entry.value = read_real_field(in, path);
        values.entry[++values.count] = entry;
        in.readln();
    }
    list_value_list(values, print);
    return true;
}

void list_value_list(const ValueList& values, const MessageSink& print) {
    print("Value list:");
    for (int i = 1; i <= values.count; ++i) {
        const ValueEntry& e = values.entry[i];
        print(e.name + ": " + number_text(e.value));
    }
    print("--//--");
}

}  // namespace editor
