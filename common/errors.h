// The two exception kinds of the suite.
//
// FatalError is the analysis program's fatal condition: the window program
// logs "Erro: " + message and ends after the "Erro" window; the command-line
// twin prints the same line on standard error and exits with status 1.
//
// IoError is an input/output error of the runtime (a number that cannot be
// read, a file that cannot be written): the command stops, the program goes
// on. Windows show it in the platform's error box; twins print it, in the
// language of their program.
//
// Both are caught only at window handlers and in the command-line mains.
#pragma once

#include <stdexcept>
#include <string>

namespace suite {

class FatalError : public std::runtime_error {
public:
    explicit FatalError(const std::string& message) : std::runtime_error(message) {}
};

// An IoError raised by the suite's file procedures carries its message in
// two wordings: what() in English (the schematic editor's language) and
// portuguese() for the analysis program, the viewer and their twins. A
// message given in one wording only is the same in both.
class IoError : public std::runtime_error {
public:
    explicit IoError(const std::string& message) : std::runtime_error(message), portuguese_(message) {}
    IoError(const std::string& english, const std::string& portuguese)
        : std::runtime_error(english), portuguese_(portuguese) {}
    const std::string& portuguese() const { return portuguese_; }

private:
    std::string portuguese_;
};

}  // namespace suite
