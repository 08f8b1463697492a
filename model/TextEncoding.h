#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

// Text from outside (file names, sheet labels and cells, port descriptions):
// how it is read in, written back, and shown in a message or a terminal.

// Whether the text is UTF-8 throughout.
bool isUtf8(std::string_view text);

// Windows-1252 text, as spreadsheets on Windows save "CSV", in UTF-8. The
// five bytes the code page leaves free become the C1 controls of the same
// number, so every byte is a character and the way back exists.
std::string windows1252ToUtf8(std::string_view text);

// UTF-8 text in Windows-1252, the way back of windows1252ToUtf8; nothing
// when the text holds a character the code page cannot hold (or is not
// UTF-8).
std::optional<std::string> utf8ToWindows1252(std::string_view text);

// How many characters UTF-8 text holds; a byte that is no part of a
// character counts as one.
std::size_t characterCount(std::string_view text);

// Every control character (C0, DEL, C1) and every byte that is no part of a
// UTF-8 character as \xNN: how a message, a finding or a listing shows a
// name, a label or a cell, so that nothing from a file reaches the terminal
// as a command or as broken text.
std::string escaped(std::string_view text);

// How many characters of a label or cell a finding or message shows.
inline constexpr std::size_t kShownCharacters = 40;

// Escaped, and cut after kShownCharacters characters with "..." where it was
// cut: a label or a cell inside a line.
std::string shortened(std::string_view text);
