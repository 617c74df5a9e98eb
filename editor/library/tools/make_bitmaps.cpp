// Writes editor/library/bitmaps.cpp: the 16 by 16 picture of every library
// kind derived from its vector drawing. Run by hand after changing a drawing
// or the rasteriser:
//   build/editor/library/editor_make_bitmaps editor/library/bitmaps.cpp
// Without an argument the text goes to standard output.
#include <exception>
#include <iostream>

#include "common/errors.h"
#include "common/textfile.h"
#include "editor/library/bitmap_maker.h"

int main(int argc, char** argv) {
    if (argc > 2) {
        std::cerr << "usage: editor_make_bitmaps [OUTPUT.cpp]\n";
        return 2;
    }
    const std::string text = editor::bitmaps_source();
    if (argc == 1) {
        std::cout << text;
        return 0;
    }
    try {
        suite::write_file_atomically(argv[1], text);
    } catch (const std::exception& e) {
        std::cerr << e.what() << '\n';
        return 1;
    }
    return 0;
}
