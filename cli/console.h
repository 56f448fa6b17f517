#pragma once
// What the command-line tool needs of the terminal and differs between
// systems: its arguments as UTF-8, standard output in binary mode, and a
// console that shows UTF-8 as text. One implementation file per system
// (console_posix.cpp, console_windows.cpp), chosen by the build.
#include <string>
#include <vector>

namespace zenfaro::cli {

// The program's arguments as UTF-8, argv[0] first. On Windows argv holds
// them in the ANSI code page, which cannot hold every character, so they are
// read again from the wide command line; elsewhere argv is taken as it is.
std::vector<std::string> utf8_arguments(int argc, char** argv);

// Puts standard output into binary mode, so that every byte is written as it
// is (in text mode Windows writes "\r\n" for each "\n"). Flush std::cout first.
void set_binary_stdout();

// Makes a console window show the program's UTF-8 output as text: on Windows
// the console's output code page is UTF-8 until the program ends.
void use_utf8_console();

}  // namespace zenfaro::cli
