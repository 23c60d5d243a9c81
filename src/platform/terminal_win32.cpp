#include "platform/terminal.h"

#include <io.h>
#include <windows.h>

namespace tarvel {

namespace {

HANDLE ConsoleOf(std::FILE* stream) {
    return reinterpret_cast<HANDLE>(::_get_osfhandle(::_fileno(stream)));
}

}  // namespace

// A console, not merely a character device: NUL is one too, but shows nothing.
bool IsTerminal(std::FILE* stream) {
    DWORD mode = 0;
    return ::GetConsoleMode(ConsoleOf(stream), &mode) != 0;
}

std::size_t TerminalColumns(std::FILE* stream) {
    CONSOLE_SCREEN_BUFFER_INFO info{};
    if (::GetConsoleScreenBufferInfo(ConsoleOf(stream), &info) == 0) {
        return 0;
    }
    const int columns = info.srWindow.Right - info.srWindow.Left + 1;
    return columns > 0 ? static_cast<std::size_t>(columns) : 0;
}

}  // namespace tarvel
