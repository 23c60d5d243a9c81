#include "platform/program_arguments.h"

#include <fcntl.h>
#include <io.h>
#include <windows.h>
// After windows.h, which it needs.
#include <shellapi.h>

#include <cstdio>
#include <memory>

#include "platform/wide_text.h"

namespace tarvel {

namespace {

struct LocalFreer {
    void operator()(wchar_t** list) const { ::LocalFree(list); }
};

}  // namespace

std::vector<std::string> ProgramArguments(int argc, char** argv) {
    int count = 0;
    const std::unique_ptr<wchar_t*, LocalFreer> wide(
        ::CommandLineToArgvW(::GetCommandLineW(), &count));
    if (!wide) {
        return std::vector<std::string>(argv, argv + argc);
    }
    std::vector<std::string> arguments;
    arguments.reserve(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) {
        arguments.push_back(Utf8FromWide(wide.get()[i]));
    }
    return arguments;
}

void PrepareConsole() {
    ::SetConsoleOutputCP(CP_UTF8);
    // Text mode would write CR LF and end a read at a Ctrl+Z byte.
    ::_setmode(::_fileno(stdin), _O_BINARY);
    ::_setmode(::_fileno(stdout), _O_BINARY);
    ::_setmode(::_fileno(stderr), _O_BINARY);
}

}  // namespace tarvel
