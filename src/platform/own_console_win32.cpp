#include <windows.h>

#include <conio.h>

#include <cstdio>

#include "platform/own_console.h"

namespace tarvel {

namespace {

// The console lists every process attached to it: alone there, the program
// was given a console of its own rather than a shell's.
bool AloneInConsole() {
    DWORD processes[2];
    return GetConsoleProcessList(processes, 2) == 1;
}

// Under wine the console is the terminal of the shell that started the
// program, which stays open after it, though the program is alone in it.
bool UnderWine() {
    const HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    return ntdll != nullptr && GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

// With its input redirected (a script, a test run) nobody can press a key.
bool InputIsConsole() {
    DWORD mode = 0;
    return GetConsoleMode(GetStdHandle(STD_INPUT_HANDLE), &mode) != 0;
}

}  // namespace

void KeepOwnConsoleOpen() {
    if (!AloneInConsole() || !InputIsConsole() || UnderWine()) {
        return;
    }
    std::fputs("\nPress any key to close this window.\n", stderr);
    std::fflush(stderr);
    static_cast<void>(_getch());
}

}  // namespace tarvel
