#pragma once
// Conversions between the library's wide strings and the UTF-8 bytes that
// files, paths and the network use on this system.

#include <string>

namespace FTR {

std::string toUtf8(const std::wstring& text);
std::wstring fromUtf8(const std::string& bytes);

} // namespace FTR
