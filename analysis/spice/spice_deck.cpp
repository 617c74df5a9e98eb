// Reading a SPICE deck into logical lines.
#include "analysis/spice/spice_deck.h"

#include "common/errors.h"
#include "common/textfile.h"

namespace analysis::spice {
namespace {

constexpr int max_include_depth = 20;

bool is_blank(char ch) { return ch == ' ' || ch == '\t' || ch == '\r' || ch == '\f' || ch == '\v'; }

std::string trim(const std::string& s) {
    std::size_t a = 0, b = s.size();
    while (a < b && is_blank(s[a])) ++a;
    while (b > a && is_blank(s[b - 1])) --b;
    return s.substr(a, b - a);
}

// The line without its end-of-line comment.
std::string without_comment(const std::string& line) {
    for (std::size_t i = 0; i < line.size(); ++i) {
        if (line[i] == ';') return line.substr(0, i);
        if (line[i] == '$' && (i == 0 || line[i - 1] == ' ' || line[i - 1] == '\t')) return line.substr(0, i);
    }
    return line;
}

std::vector<std::string> physical_lines(const std::string& text) {
    std::vector<std::string> out;
    std::size_t start = 0;
    while (start <= text.size()) {
        const std::size_t end = text.find('\n', start);
        if (end == std::string::npos) {
            if (start < text.size()) out.push_back(text.substr(start));
            break;
        }
        out.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return out;
}

std::string folder_of(const std::string& path) {
    const std::size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

// The file named by an include line: the word after the keyword, quotes
// removed.
std::vector<std::string> include_words(const std::string& text) {
    std::vector<std::string> words;
    std::size_t i = 0;
    while (i < text.size()) {
        while (i < text.size() && is_blank(text[i])) ++i;
        if (i >= text.size()) break;
        std::string w;
        if (text[i] == '"' || text[i] == '\'') {
            const char q = text[i++];
            while (i < text.size() && text[i] != q) w += text[i++];
            ++i;
        } else {
            while (i < text.size() && !is_blank(text[i])) w += text[i++];
        }
        words.push_back(w);
    }
    return words;
}

class Reader {
public:
    explicit Reader(const FileLoader& load) : load_(load) {}

    // Logical lines of one file; `skip_title` for the deck itself.
    std::vector<DeckLine> logical_lines(const std::string& text, const std::string& file, bool skip_title,
                                        std::string* title) {
        std::vector<DeckLine> out;
        const std::vector<std::string> lines = physical_lines(text);
        for (std::size_t k = 0; k < lines.size(); ++k) {
            const int number = static_cast<int>(k) + 1;
            if (skip_title && k == 0) {
                if (title) *title = trim(lines[0]);
                continue;
            }
            const std::string stripped = trim(lines[k]);
            if (stripped.empty() || stripped[0] == '*') continue;
            const std::string body = trim(without_comment(stripped));
            if (stripped[0] == '+') {
                const DeckLine here{file, number, stripped};
                if (out.empty()) refuse(here, "", "continuação (+) sem linha anterior");
                const std::string rest = trim(without_comment(stripped.substr(1)));
                if (!rest.empty()) out.back().text += " " + rest;
                continue;
            }
            if (body.empty()) continue;
            out.push_back({file, number, body});
        }
        return out;
    }

    // The lines up to ".end", with control blocks set apart and included
    // files in place.
    void take(const std::vector<DeckLine>& lines, const std::string& folder, int depth, DeckText& deck) {
        bool in_control = false;
        for (const DeckLine& line : lines) {
            const std::string word = first_word(line.text);
            if (in_control) {
                if (word == ".endc")
                    in_control = false;
                else
                    deck.control.push_back(line);
                continue;
            }
            if (word == ".end") return;
            if (word == ".control") {
                in_control = true;
                continue;
            }
            if (word == ".include" || word == ".inc" || word == ".lib") {
                include(line, word, folder, depth, deck);
                continue;
            }
            deck.lines.push_back(line);
        }
    }

private:
    const FileLoader& load_;

    void include(const DeckLine& line, const std::string& word, const std::string& folder, int depth,
                 DeckText& deck) {
        const std::vector<std::string> words = include_words(line.text);
        if (words.size() < 2 || words[1].empty()) refuse(line, "", "falta o nome do arquivo");
        if (word != ".lib" && words.size() > 2) refuse(line, "", "texto a mais depois do nome do arquivo");
        if (word == ".lib" && words.size() > 3) refuse(line, "", "texto a mais depois da seção");
        if (depth >= max_include_depth) refuse(line, "", "arquivos incluídos uns nos outros fundo demais");
        const std::string& name = words[1];
        const std::string path = (!name.empty() && name[0] == '/') ? name : folder + name;
        const std::optional<std::string> text = load_(path);
        if (!text) refuse(line, "", "o arquivo " + path + " não existe ou não pode ser lido");
        std::vector<DeckLine> lines = logical_lines(*text, name, false, nullptr);
        if (word == ".lib" && words.size() == 3) lines = section(lines, lower_case(words[2]), line, path);
        take(lines, folder_of(path), depth + 1, deck);
    }

    // The lines of ".lib NAME" ... ".endl" in a library file.
    static std::vector<DeckLine> section(const std::vector<DeckLine>& lines, const std::string& name,
                                         const DeckLine& at, const std::string& path) {
        std::vector<DeckLine> out;
        bool inside = false, found = false;
        for (const DeckLine& l : lines) {
            const std::vector<std::string> w = include_words(l.text);
            const std::string first = lower_case(w.empty() ? std::string() : w[0]);
            if (!inside && first == ".lib" && w.size() == 2 && lower_case(w[1]) == name) {
                inside = found = true;
                continue;
            }
            if (inside && first == ".endl") {
                inside = false;
                continue;
            }
            if (inside) out.push_back(l);
        }
        if (!found) refuse(at, "", "a seção " + name + " não está em " + path);
        return out;
    }
};

}  // namespace

std::string shortened(const std::string& text, std::size_t size) {
    if (text.size() <= size) return text;
    std::size_t cut = size - 3;
    while (cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80) --cut;  // whole characters
    return text.substr(0, cut) + "...";
}

std::string lower_case(std::string text) {
    for (char& ch : text)
        if (ch >= 'A' && ch <= 'Z') ch = static_cast<char>(ch - 'A' + 'a');
    return text;
}

std::string first_word(const std::string& text) {
    std::size_t a = 0;
    while (a < text.size() && is_blank(text[a])) ++a;
    std::size_t b = a;
    while (b < text.size() && !is_blank(text[b])) ++b;
    return lower_case(text.substr(a, b - a));
}

std::optional<std::string> load_text_file(const std::string& path) {
    try {
        if (!suite::file_exists(path)) return std::nullopt;
        return suite::read_text(path);
    } catch (const suite::IoError&) {
        return std::nullopt;
    }
}

std::string refusal_message(const DeckLine& line, const std::string& instance, const std::string& why) {
    std::string where = "Deck SPICE, linha " + std::to_string(line.number);
    if (!line.file.empty()) where += " de " + line.file;
    if (!instance.empty()) where += " (em " + instance + ")";
    return where + ": \"" + shortened(line.text, 60) + "\": " + why;
}

void refuse(const DeckLine& line, const std::string& instance, const std::string& why) {
    throw suite::IoError(refusal_message(line, instance, why));
}

DeckText read_deck(const std::string& text, const std::string& deck_path, const FileLoader& load) {
    DeckText deck;
    Reader reader(load);
    const std::vector<DeckLine> lines = reader.logical_lines(text, "", true, &deck.title);
    reader.take(lines, folder_of(deck_path), 0, deck);
    return deck;
}

}  // namespace analysis::spice
