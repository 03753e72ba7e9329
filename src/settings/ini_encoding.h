#pragma once
// The encodings an ini file may come in, as the profile calls read them: the
// 8-bit code page, or UTF-8 or UTF-16 after a byte-order mark.

#include <cstddef>
#include <string>
#include <string_view>

enum class Encoding { kAnsi, kUtf8, kUtf16Le, kUtf16Be };

struct Marked {
    Encoding encoding;
    size_t markBytes;  // the byte-order mark's length, 0 for none
};

Marked DetectEncoding(std::string_view bytes);

// The file's text after its byte-order mark, in bytes whose ASCII keeps its
// meaning: the file as it is, or UTF-8 for a UTF-16 file (every unit on its
// own, an unpaired surrogate included, so that it converts back unchanged).
std::string TextOf(std::string_view bytes, Marked marked);

// Text made by TextOf (and changed in its ASCII) in the file's encoding again, without the mark.
std::string InEncoding(std::string_view text, Marked marked);

// UTF-8 in the 8-bit code page: ASCII as it is, every other character (or
// stray byte) as '?', which is what the platform gives for characters its
// code page lacks.
std::string Utf8ToCodePage(std::string_view text);
