#pragma once

// Runs the built programs from the tests, in a working folder of the test's
// choosing and on the offscreen platform.

#include <QProcess>
#include <QProcessEnvironment>
#include <QStringList>

#include <filesystem>
#include <string>
#include <vector>

namespace tarvel::app {

struct ProcessResult {
    bool finished = false;
    int exitStatus = -1;
    std::string stdoutText;
};

inline void StartProgram(QProcess& process, const std::string& program,
                         const std::vector<std::string>& args,
                         const std::filesystem::path& workingDir) {
    QStringList list;
    for (const std::string& arg : args) {
        list << QString::fromStdString(arg);
    }
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "offscreen");
    // What the app remembers (QSettings) stays in the test's folder.
    env.insert("XDG_CONFIG_HOME", QString::fromStdString((workingDir / ".config").string()));
    process.setProcessEnvironment(env);
    process.setWorkingDirectory(QString::fromStdString(workingDir.string()));
    process.start(QString::fromStdString(program), list);
}

inline ProcessResult RunProgram(const std::string& program, const std::vector<std::string>& args,
                                const std::filesystem::path& workingDir, int timeoutMs = 120000) {
    QProcess process;
    StartProgram(process, program, args, workingDir);
    ProcessResult result;
    result.finished = process.waitForFinished(timeoutMs);
    if (!result.finished) {
        process.kill();
        process.waitForFinished();
    }
    if (process.exitStatus() == QProcess::NormalExit) {
        result.exitStatus = process.exitCode();
    }
    result.stdoutText = process.readAllStandardOutput().toStdString();
    return result;
}

// What the headless tool writes for the same input, for byte comparisons.
inline bool CompileWithCli(const std::string& input, const std::filesystem::path& output) {
    const ProcessResult result = RunProgram(
        TARVEL_CLI_PATH, {"compile", input, "-o", output.string()}, output.parent_path());
    return result.finished && result.exitStatus == 0;
}

}  // namespace tarvel::app
