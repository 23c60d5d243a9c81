#include <QApplication>

#include <string>
#include <vector>

#include "app/main_window.h"

int main(int argc, char** argv) {
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
