#include <windows.h>

#include <commctrl.h>

#include <cstdio>
#include <string>
#include <vector>

#include "platform/program_arguments.h"
#include "version/version.h"
#include "win/console_output.h"
#include "win/main_window.h"

int main(int argc, char** argv) {
    tarvel::win::ConnectStandardOutput();
    const std::vector<std::string> args = tarvel::ProgramArguments(argc, argv);
    if (args.size() == 2 && args[1] == "--version") {
        std::printf("%s\n", tarvel::version::VersionLine("tarvel").c_str());
        return 0;
    }
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
    ::InitCommonControlsEx(&controls);
    tarvel::win::MainWindow window(::GetModuleHandleW(nullptr), args);
    if (const std::optional<int> status = window.StartupExitStatus()) {
        std::fflush(stdout);
        return *status;
    }
    const int status = window.Run();
    std::fflush(stdout);
    return status;
}
