#include "BenchSupport.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace quorvane::bench {

double RunCommand(const std::vector<std::string>& argv, const std::string& folder,
                  const std::string& inputPath, std::string* output) {
    if (argv.empty())
        return -1.0;
    int pipeEnds[2] = {-1, -1};
    if (output && ::pipe(pipeEnds) != 0)
        return -1.0;
    std::vector<char*> args;
    for (const std::string& arg : argv)
        args.push_back(const_cast<char*>(arg.c_str()));
    args.push_back(nullptr);

    const auto start = Clock::now();
    const pid_t child = ::fork();
    if (child == 0) {
        if (!folder.empty() && ::chdir(folder.c_str()) != 0)
            ::_exit(126);
        if (!inputPath.empty()) {
            const int in = ::open(inputPath.c_str(), O_RDONLY);
            if (in < 0 || ::dup2(in, 0) < 0)
                ::_exit(126);
        }
        const int out = output ? pipeEnds[1] : ::open("/dev/null", O_WRONLY);
        if (out < 0 || ::dup2(out, 1) < 0)
            ::_exit(126);
        if (output)
            ::close(pipeEnds[0]);
        ::execvp(args[0], args.data());
        ::_exit(127);
    }
    if (child < 0)
        return -1.0;
    if (output) {
        ::close(pipeEnds[1]);
        char buffer[4096];
        ssize_t got = 0;
        while ((got = ::read(pipeEnds[0], buffer, sizeof buffer)) > 0 ||
               (got < 0 && errno == EINTR))
            if (got > 0)
                output->append(buffer, static_cast<std::size_t>(got));
        ::close(pipeEnds[0]);
    }
    int status = 0;
    while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    const double seconds = SecondsSince(start);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0 ? seconds : -1.0;
}

double PeakRssMiB() {
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024.0; // ru_maxrss is in KiB
}

} // namespace quorvane::bench
