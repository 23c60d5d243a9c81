#include <QApplication>

#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "app/main_window.h"
#include "version/version.h"

int main(int argc, char** argv) {
    // Answered before the framework starts, so it works without a display.
    if (argc == 2 && std::string_view(argv[1]) == "--version") {
        std::printf("%s\n", tarvel::version::VersionLine("tarvel").c_str());
        return 0;
    }
    // The switches see the arguments as the operating system passed them,
    // before the framework takes out its own.
    const std::vector<std::string> args(argv, argv + argc);
    QApplication application(argc, argv);
    tarvel::app::TForm1 form(args);
    if (const std::optional<int> status = form.StartupExitStatus()) {
        return *status;
    }
    form.show();
    const int status = QApplication::exec();
    return status != 0 ? status : form.ExitStatus();
}
