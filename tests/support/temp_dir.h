// A temporary directory for one test: created fresh, made the current directory, and removed
// with everything in it (the previous current directory restored) when the test ends.
#pragma once
#include <filesystem>
#include <string>

class ScopedTempDir {
public:
    ScopedTempDir();
    ~ScopedTempDir();
    ScopedTempDir(const ScopedTempDir&) = delete;
    ScopedTempDir& operator=(const ScopedTempDir&) = delete;

    const std::filesystem::path& path() const { return path_; }
    // The directory as a native path string.
    std::string str() const { return path_.string(); }
    // Reads a whole file of the directory as bytes ("" when missing).
    std::string ReadFile(const std::string& name) const;

private:
    std::filesystem::path path_;
    std::filesystem::path previous_;
};
