#pragma once
// The system code page's double-byte characters.

// True when `c` starts a double-byte character in the system code page.
bool IsLeadByte(unsigned char c);
