// The driver speaks UTF-8 on its pipes and UTF-16 to the windows it reads and steers.
#pragma once

#include <string>
#include <string_view>

std::wstring wideFromUtf8(std::string_view text);
std::string utf8FromWide(std::wstring_view text);
