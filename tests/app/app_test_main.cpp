// The window tests need one QApplication for the whole run, made before the
// first test; without a display they run on the offscreen platform. What the
// window remembers (QSettings) goes to a folder of this run, never to the
// user's own settings.
#include <QApplication>
#include <QSettings>

#include <gtest/gtest.h>

#include <filesystem>

#include "window/test_files.h"

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    const std::filesystem::path settings = tarvel::window::MakeTempDir("tarvel_settings");
    for (const QSettings::Format format : {QSettings::NativeFormat, QSettings::IniFormat}) {
        for (const QSettings::Scope scope : {QSettings::UserScope, QSettings::SystemScope}) {
            QSettings::setPath(format, scope, QString::fromStdString(settings.string()));
        }
    }
    int status = 0;
    {
        QApplication application(argc, argv);
        testing::InitGoogleTest(&argc, argv);
        status = RUN_ALL_TESTS();
    }
    std::filesystem::remove_all(settings);
    return status;
}
