// The byte encoding of the settings files.
//
// The files are UTF-8. Files written by older Windows versions of the tuner
// hold user-typed names in the Windows-1252 code page instead, so a byte that
// is not part of a valid UTF-8 sequence is read as a Windows-1252 character.
// ASCII maps to itself either way, which keeps the markup, numbers and note
// names unaffected.
#pragma once

#include <string>
#include <string_view>

// Turns raw file bytes into valid UTF-8: valid UTF-8 sequences are kept,
// every other byte is taken as a Windows-1252 character and re-encoded.
std::string DecodeFileText(std::string_view bytes);

// The Unicode code point of a Windows-1252 byte. The five bytes the code
// page leaves undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D) map to the C1
// control of the same value, as the Windows conversion does.
char32_t Windows1252ToCodePoint(unsigned char byte);
