#include "base/archive/compose_full_path.h"

#include <cstring>

#include "base/sjis_string.h"
#include "platform/core/file.h"

namespace {

bool IsSeparator(unsigned char c) { return c == '\\' || c == '/'; }

// The output being built: the root, then parts joined by '/'.
struct PathBuilder {
    char text[kFullPathSize];
    size_t length;
    size_t rootLength;
    bool overflow;

    void Append(const char* part, size_t size) {
        if (length > rootLength) Push('/');
        for (size_t i = 0; i < size; ++i) Push(part[i]);
    }
    void Push(char c) {
        if (length + 1 >= sizeof(text)) {
            overflow = true;
            return;
        }
        text[length++] = c;
    }
    void DropLast() {
        while (length > rootLength && text[length - 1] != '/') --length;
        if (length > rootLength) --length;  // the separator before the dropped part
    }
};

// Adds the parts of path to the builder. False on an empty part in the middle.
bool AddParts(PathBuilder* out, const char* path) {
    const auto* p = reinterpret_cast<const unsigned char*>(path);
    while (*p != 0) {
        const unsigned char* start = p;
        while (*p != 0 && !IsSeparator(*p)) {
            p += (IsMultiByteLead(*p, 1) && p[1] != 0) ? 2 : 1;
        }
        const size_t size = static_cast<size_t>(p - start);
        if (*p != 0) ++p;  // the separator
        if (size == 0) return false;  // two separators in a row
        const char* part = reinterpret_cast<const char*>(start);
        if (size == 1 && part[0] == '.') continue;
        if (size == 2 && part[0] == '.' && part[1] == '.') {
            out->DropLast();
            continue;
        }
        out->Append(part, size);
    }
    return true;
}

}  // namespace

int ComposeFullPath(const char* path, char* out, const char* base) {
    if (path == nullptr || out == nullptr) return -1;
    PathBuilder builder{};
    const auto* p = reinterpret_cast<const unsigned char*>(path);
    if (IsSeparator(p[0])) {
        const bool network = IsSeparator(p[1]);
        builder.Push('/');
        if (network) builder.Push('/');
        builder.rootLength = builder.length;
        path += network ? 2 : 1;
    } else {
        char current[kFullPathSize];
        if (base == nullptr) {
            if (!plat::GetCurrentDir(current, sizeof(current))) return -1;
            base = current;
        }
        builder.Push('/');
        builder.rootLength = 1;
        // The base's own parts; it is absolute, and repeated separators in it are harmless.
        const auto* b = reinterpret_cast<const unsigned char*>(base);
        while (*b != 0) {
            while (IsSeparator(*b)) ++b;
            const unsigned char* start = b;
            while (*b != 0 && !IsSeparator(*b)) b += (IsMultiByteLead(*b, 1) && b[1] != 0) ? 2 : 1;
            if (b != start) builder.Append(reinterpret_cast<const char*>(start), b - start);
        }
    }
    if (!AddParts(&builder, path) || builder.overflow) return -1;
    builder.text[builder.length] = '\0';
    std::memcpy(out, builder.text, builder.length + 1);
    return 0;
}
