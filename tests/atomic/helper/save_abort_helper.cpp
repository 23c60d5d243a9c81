// Compiles an ASE file and dies in the middle of writing the output: the
// write hook lets the first N bytes through, then ends the process on the
// spot with status 86 (no destructor, no exit handler runs), as a crash or a
// kill at that moment would. An exit status, unlike a signal, reads the same
// on every system.
//
// Usage: save_abort_helper IN.ase OUT.3do N

#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>

#include <unistd.h>

#include "driver/compile_driver.h"
#include "driver/import.h"
#include "log/log.h"

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: save_abort_helper IN.ase OUT.3do N\n");
        return 2;
    }
    const std::string output = argv[2];
    long remaining = std::atol(argv[3]);
    tarvel::LogContext context;  // nothing shown: only the file matters here
    tarvel::ScopedLogContext scope(context);
    std::optional<tarvel::ImportedScene> imported = tarvel::ImportAse(argv[1]);
    if (!imported) {
        return 1;
    }
    tarvel::SaveHooks hooks;
    hooks.write = [&remaining](int fd, const uint8_t* data, std::size_t size) -> long {
        if (remaining <= 0) {
            std::_Exit(86);
        }
        const std::size_t part = std::min(size, static_cast<std::size_t>(remaining));
        // Windows' write takes an unsigned count; the parts are small.
        const long n = ::write(fd, data, static_cast<unsigned>(part));
        remaining -= n;
        return n;
    };
    tarvel::ConvertOptions options;
    options.saveHooks = &hooks;
    const tarvel::ConvertReport report = tarvel::RunConversion(
        &imported->polys, &imported->cupboard, [&] { return std::optional<std::string>(output); },
        options);
    return report.status == tarvel::ConvertStatus::Saved ? 0 : 1;
}
