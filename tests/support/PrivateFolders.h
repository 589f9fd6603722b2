#pragma once

#include <sys/stat.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

/// Gives this test process settings and runtime folders of its own, under a fresh temporary
/// folder removed at exit, so that tests running in parallel cannot see each other's
/// settings (a neighbour's stored pattern index once failed a menu test). Child processes
/// such as lumora-cli inherit them. Call before any Qt object reads the environment.
inline void usePrivateFolders()
{
    static std::string root;
    if (!root.empty())
        return;
    std::string name = (std::filesystem::temp_directory_path() / "lumora-test-XXXXXX").string();
    if (!::mkdtemp(name.data())) {
        std::perror("lumora tests: cannot make a private folder");
        std::abort();
    }
    root = name;
    const std::string config = root + "/config", runtime = root + "/runtime";
    std::filesystem::create_directory(config);
    std::filesystem::create_directory(runtime);
    ::chmod(runtime.c_str(), 0700); // Qt ignores a runtime folder others may read
    ::setenv("XDG_CONFIG_HOME", config.c_str(), 1);
    ::setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);
    // The recovery folder lives in the data folder: tests must not see each other's.
    ::setenv("XDG_DATA_HOME", config.c_str(), 1);
    std::atexit([] {
        std::error_code ignored;
        std::filesystem::remove_all(root, ignored);
    });
}
