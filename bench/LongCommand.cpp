// The analysis of one long uninstall command, as a process at the user's
// level may write one: the time AnalyseCommand and DeriveUninstallerPath
// take over a command of each shape, which must grow as its length does.
//   bench_long_command [BYTES...]   (default 131072 and 1048576)
// Prints key=value lines: <shape>_<bytes>_seconds and <shape>_<bytes>_files.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "CommandAnalysis.h"

namespace {

// The shapes that cost the most: blanks everywhere a program may end, with
// and without a program extension before them, inside quotes, and rundll32's
// arguments.
std::string Command(std::string_view shape, size_t bytes)
{
    const std::string_view head = shape == "rundll32" ? "rundll32 x.dll,Run " : shape == "quoted" ? "\"C:\\" : "C:\\";
    const std::string_view step = shape == "extension" || shape == "quoted" ? "a.exe "
                                  : shape == "folders"                     ? "a b\\"
                                  : shape == "rundll32"                    ? "\\\\s\\t "
                                                                           : "a b ";
    std::string command(head);
    while (command.size() + step.size() <= bytes)
        command += step;
    command.resize(bytes, 'a');
    return command;
}

}  // namespace

int main(int argc, char** argv)
{
    std::vector<size_t> sizes;
    for (int i = 1; i < argc; ++i)
        sizes.push_back(std::strtoull(argv[i], nullptr, 10));
    if (sizes.empty())
        sizes = {131072, 1048576};
    for (const size_t bytes : sizes) {
        for (const std::string_view shape : {"extension", "plain", "folders", "quoted", "rundll32"}) {
            const std::string command = Command(shape, bytes);
            const auto start = std::chrono::steady_clock::now();
            const CommandTarget target = AnalyseCommand(command);
            const std::string file = DeriveUninstallerPath(command);
            const std::chrono::duration<double> seconds = std::chrono::steady_clock::now() - start;
            std::printf("%.*s_%zu_seconds=%.4f\n%.*s_%zu_files=%zu\n", static_cast<int>(shape.size()), shape.data(), bytes,
                        seconds.count(), static_cast<int>(shape.size()), shape.data(), bytes, target.files.size());
            std::fflush(stdout);
        }
    }
    return 0;
}
