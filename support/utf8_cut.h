#pragma once
// Shortening a UTF-8 text without splitting a character.
#include <cstddef>
#include <string>

// The longest start of text with at most nMax bytes that does not end inside a UTF-8 character.
// Bytes that are not UTF-8 (a stray continuation byte) count as characters of their own.
std::string CutUtf8(const std::string& text, std::size_t nMax);
