#include "tools/pack_archive/pack_folder.h"

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <system_error>

#include "base/archive/archive_format.h"
#include "platform/core/text_encoding.h"

namespace fs = std::filesystem;

namespace {

uint64_t ToFileTime(fs::file_time_type time) {
    const auto system = std::chrono::file_clock::to_sys(time);
    const int64_t seconds =
        std::chrono::duration_cast<std::chrono::seconds>(system.time_since_epoch()).count();
    return UnixSecondsToFileTime(seconds);
}

bool ReadWhole(const fs::path& path, std::string* bytes) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    bytes->assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return !in.bad();
}

}  // namespace

bool PackFolder(const std::string& folder, const std::string& archivePath,
                const PackFolderOptions& options, std::string* error) {
    std::error_code ec;
    if (!fs::is_directory(folder, ec)) {
        *error = folder + " is not a folder";
        return false;
    }
    std::vector<fs::path> paths;
    for (fs::recursive_directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        paths.push_back(it->path());
    }
    if (ec) {
        *error = "cannot read " + folder + ": " + ec.message();
        return false;
    }
    std::sort(paths.begin(), paths.end());

    std::vector<ArchiveSource> sources;
    sources.reserve(paths.size());
    for (const fs::path& path : paths) {
        ArchiveSource source;
        const std::string relative = fs::relative(path, folder, ec).generic_string();
        source.path = plat::Utf8ToSjis(relative);
        source.directory = fs::is_directory(path, ec);
        if (!source.directory && !fs::is_regular_file(path, ec)) continue;  // sockets, devices
        if (!source.directory && !ReadWhole(path, &source.data)) {
            *error = "cannot read " + path.string();
            return false;
        }
        const fs::file_time_type written = fs::last_write_time(path, ec);
        source.lastWriteTime = ec ? 0 : ToFileTime(written);
        // The file system keeps no creation time that can be read portably.
        source.creationTime = source.lastWriteTime;
        source.lastAccessTime = source.lastWriteTime;
        sources.push_back(std::move(source));
    }

    ArchiveWriteOptions write = options.write;
    write.keyText = options.keyText.empty() ? nullptr : options.keyText.c_str();
    const std::vector<unsigned char> bytes = WriteArchive(sources, write, error);
    if (bytes.empty()) return false;
    std::ofstream out(archivePath, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (!out) {
        *error = "cannot write " + archivePath;
        return false;
    }
    return true;
}
