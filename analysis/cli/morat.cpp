// morat: the command-line twin of the analysis program.
//
// The analysis itself needs no toolkit, so morat starts as fast as a
// plain program. The picture options (--plot, --pz-plot and their
// companions) need Qt to draw: with any of them morat hands the whole
// command line to morat-picture (beside it in the build folder, in the
// suite's libexec folder once installed), which runs the same analysis and
// then draws.
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstring>
#include <iostream>
#include <string>
#include <string_view>
#include <vector>

#include "analysis/cli/morat_cli.h"

namespace {

bool is_picture_option(std::string_view a) {
    for (std::string_view o : {"--plot", "--size", "--grid", "--cursor", "--curves", "--scale", "--pz-plot",
                               "--pz-window", "--pz-entry"})
        if (a == o || (a.size() > o.size() && a.substr(0, o.size()) == o && a[o.size()] == '=')) return true;
    return false;
}

#ifndef MORAT_PICTURE_FROM_BIN
#define MORAT_PICTURE_FROM_BIN "../libexec/filtersuite"
#endif

// The picture program: beside this executable in the build folder; once
// installed, in the suite's libexec folder, found from this executable's
// folder so that a moved installation still finds it. When it is in
// neither, the installed place is named in the error.
std::string picture_program() {
    char self[PATH_MAX];
    const ssize_t n = ::readlink("/proc/self/exe", self, sizeof self - 1);
    if (n <= 0) return "morat-picture";
    std::string path(self, static_cast<std::size_t>(n));
    const std::string folder = path.substr(0, path.rfind('/') + 1);
    const std::string beside = folder + "morat-picture";
    if (::access(beside.c_str(), X_OK) == 0) return beside;
    return folder + MORAT_PICTURE_FROM_BIN "/morat-picture";
}

}  // namespace

int main(int argc, char** argv) {
    std::ios::sync_with_stdio(false);
    const std::vector<std::string> args(argv + 1, argv + argc);
    for (const std::string& a : args) {
        if (a == "--") break;
        if (!is_picture_option(a)) continue;
        const std::string program = picture_program();
        argv[0] = const_cast<char*>(program.c_str());
        ::execv(program.c_str(), argv);
        std::cerr << "morat: cannot start " << program << " for the picture options: " << std::strerror(errno)
                  << '\n';
        return 1;
    }
    const int status = analysis::morat_main(args, std::cout, std::cerr);
    std::cout.flush();
    return status;
}
