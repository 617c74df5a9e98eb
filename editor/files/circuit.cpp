#include "editor/files/circuit.h"

namespace editor {
namespace {

bool is_continuation(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }

}  // namespace

std::size_t text_length(const std::string& text) {
    std::size_t n = 0;
    for (char c : text)
        if (!is_continuation(c)) ++n;
    return n;
}

std::string text_prefix(const std::string& text, std::size_t n) {
    std::size_t i = 0, chars = 0;
    while (i < text.size()) {
        if (!is_continuation(text[i])) {
            if (chars == n) break;
            ++chars;
        }
        ++i;
    }
    return text.substr(0, i);
}

}  // namespace editor
