#pragma once
// Lines to standard output and standard error, in UTF-8 and flushed at once, so that a
// script reading a pipe sees each line as it is printed.
#include <string_view>

void PrintLine(std::wstring_view text);
void PrintError(std::wstring_view text);
