// The icons of the window programs, the pictures of packaging/icons/*.svg
// rendered at build time and compiled into the programs, so a window shows
// the same icon as the desktop menu whether the program is installed or
// run from the build folder.
//
//   QApplication app(argc, argv);
//   suite::set_program_icon("moratw");
#pragma once

#include <QIcon>
#include <QString>

namespace suite {

// The sizes, in pixels, at which every program icon is rendered.
inline constexpr int kProgramIconSizes[] = {16, 22, 24, 32, 48, 64, 128, 256};

// The icon of window program `name` ("moratw", "plaxew", "kelmaw") at every
// rendered size; a null icon for any other name.
QIcon program_icon(const QString& name);

// Gives every window of the application the icon of program `name`, and
// names its desktop entry (`name`.desktop) for desktops that take the icon
// from there.
void set_program_icon(const QString& name);

}  // namespace suite
