#pragma once

// UTF-8 to and from the UTF-16 of the Windows wide-character calls. Only the
// Windows implementations of the platform files use it.

#include <string>
#include <vector>

namespace tarvel {

std::wstring WideFromUtf8(const std::string& text);
std::string Utf8FromWide(const std::wstring& text);

// A command line for CreateProcessW that CommandLineToArgvW and the C
// runtime split back into exactly these words.
std::wstring QuoteCommandLine(const std::vector<std::string>& words);

}  // namespace tarvel
