// morat-picture: morat with its picture options (--plot, --pz-plot), which
// draw with Qt. morat starts it when one of them is given.
#include <iostream>
#include <string>
#include <vector>

#include "analysis/cli/morat_plot.h"

int main(int argc, char** argv) {
    std::ios::sync_with_stdio(false);
    const std::vector<std::string> args(argv + 1, argv + argc);
    const int status = analysis::morat_main_with_plot(args, std::cout, std::cerr);
    std::cout.flush();
    return status;
}
