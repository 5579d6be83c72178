#pragma once
// Runs a program of the project and collects what it printed.

#include <array>
#include <cstdio>
#include <string>
#include <sys/wait.h>

namespace senki::testing {

struct ProgramRun {
    int exitCode = -1;
    std::string out;
    std::string err;
};

// `command` is passed to the shell; standard error is captured through a file.
inline ProgramRun RunProgram(const std::string& command, const std::string& errorFile)
{
    ProgramRun run;
    FILE* pipe = ::popen((command + " 2>'" + errorFile + "'").c_str(), "r");
    if (!pipe)
        return run;
    std::array<char, 4096> buffer;
    size_t got;
    while ((got = std::fread(buffer.data(), 1, buffer.size(), pipe)) > 0)
        run.out.append(buffer.data(), got);
    const int status = ::pclose(pipe);
    run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    if (FILE* err = std::fopen(errorFile.c_str(), "r")) {
        while ((got = std::fread(buffer.data(), 1, buffer.size(), err)) > 0)
            run.err.append(buffer.data(), got);
        std::fclose(err);
    }
    return run;
}

}  // namespace senki::testing
