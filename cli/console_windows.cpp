// The console of Windows: arguments from the wide command line, standard
// output without the CR that text mode adds, UTF-8 shown as text.
#include "cli/console.h"

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
// shellapi.h needs windows.h first.
#include <shellapi.h>

#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <cstdlib>
#include <cwchar>

namespace zenfaro::cli {

std::vector<std::string> utf8_arguments(int argc, char** argv) {
  int count = 0;
  wchar_t** wide = ::CommandLineToArgvW(::GetCommandLineW(), &count);
  if (wide == nullptr) return std::vector<std::string>(argv, argv + argc);
  std::vector<std::string> arguments;
  for (int i = 0; i < count; ++i) {
    // Unpaired surrogates become U+FFFD: the result is always valid UTF-8.
    const int length = static_cast<int>(std::wcslen(wide[i]));
    const int size = ::WideCharToMultiByte(CP_UTF8, 0, wide[i], length, nullptr, 0, nullptr, nullptr);
    std::string argument(static_cast<std::size_t>(size > 0 ? size : 0), '\0');
    if (size > 0) ::WideCharToMultiByte(CP_UTF8, 0, wide[i], length, argument.data(), size, nullptr, nullptr);
    arguments.push_back(std::move(argument));
  }
  ::LocalFree(wide);
  return arguments;
}

void set_binary_stdout() { _setmode(_fileno(stdout), _O_BINARY); }

void use_utf8_console() {
  // 0 when the program has no console (output to a file or a pipe).
  static const UINT previous = ::GetConsoleOutputCP();
  if (previous == 0 || previous == CP_UTF8 || !::SetConsoleOutputCP(CP_UTF8)) return;
  // The code page belongs to the console, which outlives the program.
  std::atexit([] { ::SetConsoleOutputCP(previous); });
}

}  // namespace zenfaro::cli
