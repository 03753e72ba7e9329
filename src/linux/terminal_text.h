#pragma once
// Text from users and files, made safe to print on a terminal.

#include <cstdio>
#include <string>
#include <string_view>

// `text` with every control character (C0 but for line feed and tab, DEL
// and C1) and every byte that is not part of valid UTF-8 written as \xNN, so
// that no escape sequence in a name or a text ever reaches the terminal;
// printable UTF-8 stays as it is.
std::string ForTerminal(std::string_view text);

// "korunex: " and the message made safe, on standard error.
void PrintProblem(std::string_view message);
