#include "settings/code_page.h"

#include <windows.h>

bool IsLeadByte(unsigned char c) { return IsDBCSLeadByte(c) != FALSE; }
