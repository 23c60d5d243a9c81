#include "app/background_job.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QEventLoop>
#include <QThread>
#include <QTimer>

#include <exception>
#include <memory>

namespace tarvel::app {

namespace {

// The walks over a BSP-derived tree go as deep as the tree, which for a
// degenerate scene is as deep as it has polygons. Only touched pages cost.
constexpr unsigned kWorkerStackBytes = 1u << 30;

std::optional<std::string> RunCatching(LogContext& context, const std::function<void()>& work) {
    ScopedLogContext scope(context);
    try {
        work();
    } catch (const std::exception& error) {
        return std::string(error.what());
    } catch (...) {
        return std::string("Unknown error");
    }
    return std::nullopt;
}

}  // namespace

std::optional<std::string> RunInBackground(LogContext& context, const std::function<void()>& work,
                                           const std::function<void()>& onTick) {
    std::optional<std::string> failure;
    std::unique_ptr<QThread> worker(
        QThread::create([&failure, &context, &work] { failure = RunCatching(context, work); }));
    worker->setStackSize(kWorkerStackBytes);

    QEventLoop loop;
    QObject::connect(worker.get(), &QThread::finished, &loop, &QEventLoop::quit,
                     Qt::QueuedConnection);
    QTimer ticker;
    ticker.setInterval(kRefreshIntervalMs);
    QObject::connect(&ticker, &QTimer::timeout, onTick);

    worker->start();
    if (!worker->isRunning() && !worker->isFinished()) {
        // No thread to be had: do the work here, without live progress.
        return RunCatching(context, work);
    }
    ticker.start();
    loop.exec();
    // The loop also ends when the application is told to quit; the worker may
    // still need this thread for a message box, so keep serving it.
    while (!worker->wait(QDeadlineTimer(kRefreshIntervalMs))) {
        QCoreApplication::processEvents();
    }
    return failure;
}

}  // namespace tarvel::app
