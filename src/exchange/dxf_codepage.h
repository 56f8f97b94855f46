#pragma once

// The code-page tables of the DXF reader (its tests aside, not for use
// outside it).

// The code point of one byte of a text in the given code page
// (DXF_CODEPAGE_*); an unknown page keeps the byte as ISO 8859-1.
char32_t dxf_codepage_decode(int codepage, unsigned char byte);
