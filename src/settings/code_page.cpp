#include "settings/code_page.h"

// Shape files come from Windows systems with the Japanese code page, so names
// are cut as that code page's characters.
bool IsLeadByte(unsigned char c) { return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC); }
