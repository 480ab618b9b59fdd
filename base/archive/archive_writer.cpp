#include "base/archive/archive_writer.h"

#include <cstring>

#include "base/archive/archive_format.h"
#include "base/archive/archive_key.h"
#include "base/archive/archive_names.h"
#include "base/archive/lz_pack.h"
#include "base/sjis_string.h"

namespace {

constexpr size_t kMaxName = 255;

struct Node {
    std::string name;
    bool directory = false;
    const ArchiveSource* source = nullptr;
    std::vector<size_t> children;
    // Filled while laying the archive out.
    uint32_t nameOffset = 0;
    uint32_t dirRecord = 0;    // a folder's record offset in the directory table
    uint32_t entryOffset = 0;  // its entry's offset in the entry table
};

std::string UpperName(const std::string& name) {
    std::string upper = name;
    UpperCaseArchiveName(reinterpret_cast<unsigned char*>(upper.data()), upper.size());
    return upper;
}

// The path's parts, split at '/' and at '\' that is no trail byte.
std::vector<std::string> SplitPath(const std::string& path) {
    std::vector<std::string> parts(1);
    for (size_t i = 0; i < path.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(path[i]);
        if (IsMultiByteLead(c, 1) && i + 1 < path.size()) {
            parts.back() += path.substr(i, 2);
            ++i;
        } else if (c == '/' || c == '\\') {
            parts.emplace_back();
        } else {
            parts.back() += path[i];
        }
    }
    std::vector<std::string> named;
    for (std::string& part : parts) {
        if (!part.empty()) named.push_back(std::move(part));
    }
    return named;
}

class Layout {
public:
    explicit Layout(std::string* error) : error_(error) { Node root;
        root.directory = true;
        nodes_.push_back(root); }

    bool Add(const ArchiveSource& source) {
        const std::vector<std::string> parts = SplitPath(source.path);
        if (parts.empty()) return Fail("an empty path: " + source.path);
        size_t at = 0;
        for (size_t i = 0; i < parts.size(); ++i) {
            const bool last = i + 1 == parts.size();
            const std::string& part = parts[i];
            if (part.size() > kMaxName || part == "." || part == "..") {
                return Fail("a name that cannot be stored: " + source.path);
            }
            size_t child = Find(at, part);
            if (child == SIZE_MAX) {
                child = nodes_.size();
                Node node;
                node.name = part;
                node.directory = !last || source.directory;
                nodes_.push_back(node);
                nodes_[at].children.push_back(child);
            } else if (last || !nodes_[child].directory) {
                if (!last) return Fail("a file where a folder is needed: " + source.path);
                if (!(nodes_[child].directory && source.directory && nodes_[child].source == nullptr)) {
                    return Fail("a name given twice: " + source.path);
                }
            }
            if (last) nodes_[child].source = &source;
            at = child;
        }
        return true;
    }

    std::vector<unsigned char> Write(const ArchiveWriteOptions& options) {
        const size_t entrySize = ArchiveEntrySize(options.version);
        // Folders breadth first: each one's entries are consecutive in the entry table.
        std::vector<size_t> folders{0};
        for (size_t i = 0; i < folders.size(); ++i) {
            for (size_t child : nodes_[folders[i]].children) {
                if (nodes_[child].directory) folders.push_back(child);
            }
        }
        std::vector<unsigned char> names, entries, dirs(folders.size() * kArchiveDirRecordSize);
        for (size_t i = 0; i < folders.size(); ++i) nodes_[folders[i]].dirRecord = i * kArchiveDirRecordSize;

        // The data area, right behind the header.
        std::vector<unsigned char> data;
        std::vector<uint32_t> dataOffset(nodes_.size()), packedSize(nodes_.size(), kArchiveStored);
        for (size_t folder : folders) {
            for (size_t child : nodes_[folder].children) {
                if (nodes_[child].directory) continue;
                const std::string& bytes = nodes_[child].source->data;
                if (bytes.size() >= UINT32_MAX) {
                    Fail("a file of 4 GB or more: " + nodes_[child].source->path);
                    return {};
                }
                dataOffset[child] = static_cast<uint32_t>(data.size());
                std::vector<unsigned char> packed;
                if (options.pack && options.version >= kArchiveVersionPacked && !bytes.empty()) {
                    packed = PackLz(bytes.data(), bytes.size());
                }
                if (!packed.empty() && packed.size() < bytes.size()) {
                    packedSize[child] = static_cast<uint32_t>(packed.size());
                    data.insert(data.end(), packed.begin(), packed.end());
                } else {
                    data.insert(data.end(), bytes.begin(), bytes.end());
                }
            }
        }

        for (size_t f = 0; f < folders.size(); ++f) {
            Node& folder = nodes_[folders[f]];
            unsigned char* record = dirs.data() + folder.dirRecord;
            WriteLe32(record + kDirOwnEntry, f == 0 ? kArchiveNoParent : folder.entryOffset);
            WriteLe32(record + kDirParent, f == 0 ? kArchiveNoParent : parentRecord_[folders[f]]);
            WriteLe32(record + kDirEntryCount, static_cast<uint32_t>(folder.children.size()));
            WriteLe32(record + kDirFirstEntry, static_cast<uint32_t>(entries.size()));
            for (size_t child : folder.children) {
                Node& node = nodes_[child];
                node.entryOffset = static_cast<uint32_t>(entries.size());
                node.nameOffset = static_cast<uint32_t>(names.size());
                AppendName(node.name, &names);
                std::vector<unsigned char> entry(entrySize, 0);
                WriteLe32(entry.data() + kEntryNameOffset, node.nameOffset);
                WriteLe32(entry.data() + kEntryAttributes,
                          node.directory ? kArchiveAttrDirectory : kArchiveAttrFile);
                if (node.source != nullptr) {
                    WriteLe64(entry.data() + kEntryCreationTime, node.source->creationTime);
                    WriteLe64(entry.data() + kEntryLastAccessTime, node.source->lastAccessTime);
                    WriteLe64(entry.data() + kEntryLastWriteTime, node.source->lastWriteTime);
                }
                if (node.directory) {
                    parentRecord_[child] = folder.dirRecord;
                    WriteLe32(entry.data() + kEntryDataOffset, node.dirRecord);
                } else {
                    WriteLe32(entry.data() + kEntryDataOffset, dataOffset[child]);
                    WriteLe32(entry.data() + kEntryDataSize,
                              static_cast<uint32_t>(node.source->data.size()));
                }
                if (entrySize == kArchiveEntrySizeV2) {
                    WriteLe32(entry.data() + kEntryPackedSize,
                              node.directory ? kArchiveStored : packedSize[child]);
                }
                entries.insert(entries.end(), entry.begin(), entry.end());
            }
        }
        // A folder's own entry offset is known once its parent has been laid out.
        for (size_t f = 1; f < folders.size(); ++f) {
            WriteLe32(dirs.data() + nodes_[folders[f]].dirRecord + kDirOwnEntry,
                      nodes_[folders[f]].entryOffset);
        }

        const uint64_t tablesOffset = kArchiveHeaderSize + data.size();
        const uint64_t tablesSize = names.size() + entries.size() + dirs.size();
        if (tablesOffset + tablesSize > UINT32_MAX) {
            Fail("the archive would reach 4 GB");
            return {};
        }
        std::vector<unsigned char> out(kArchiveHeaderSize);
        out[0] = kArchiveMagic0;
        out[1] = kArchiveMagic1;
        WriteLe16(out.data() + 2, options.version);
        WriteLe32(out.data() + 4, static_cast<uint32_t>(tablesSize));
        WriteLe32(out.data() + 8, kArchiveHeaderSize);
        WriteLe32(out.data() + 12, static_cast<uint32_t>(tablesOffset));
        WriteLe32(out.data() + 16, static_cast<uint32_t>(names.size()));
        WriteLe32(out.data() + 20, static_cast<uint32_t>(names.size() + entries.size()));
        out.insert(out.end(), data.begin(), data.end());
        out.insert(out.end(), names.begin(), names.end());
        out.insert(out.end(), entries.begin(), entries.end());
        out.insert(out.end(), dirs.begin(), dirs.end());

        const ArchiveKey key =
            options.fallbackKey ? FallbackArchiveKey() : BuildArchiveKey(options.keyText);
        XorArchiveBytes(out.data(), out.size(), 0, key);
        return out;
    }

    std::vector<unsigned char> Build(const ArchiveWriteOptions& options) {
        parentRecord_.assign(nodes_.size(), 0);
        return Write(options);
    }

private:
    size_t Find(size_t folder, const std::string& name) const {
        const std::string upper = UpperName(name);
        for (size_t child : nodes_[folder].children) {
            if (UpperName(nodes_[child].name) == upper) return child;
        }
        return SIZE_MAX;
    }

    // A name record: padded length, check, upper-cased name and stored name.
    static void AppendName(const std::string& name, std::vector<unsigned char>* out) {
        const size_t units = (name.size() + 4) / 4;
        const std::string upper = UpperName(name);
        uint16_t check = 0;
        for (unsigned char c : upper) check = static_cast<uint16_t>(check + c);
        const size_t at = out->size();
        out->resize(at + 4 + 8 * units, 0);
        WriteLe16(out->data() + at, static_cast<uint16_t>(units));
        WriteLe16(out->data() + at + 2, check);
        std::memcpy(out->data() + at + 4, upper.data(), upper.size());
        std::memcpy(out->data() + at + 4 + 4 * units, name.data(), name.size());
    }

    bool Fail(const std::string& text) {
        if (error_ != nullptr) *error_ = text;
        return false;
    }

    std::vector<Node> nodes_;
    std::vector<uint32_t> parentRecord_;
    std::string* error_;
};

}  // namespace

std::vector<unsigned char> WriteArchive(const std::vector<ArchiveSource>& sources,
                                        const ArchiveWriteOptions& options, std::string* error) {
    Layout layout(error);
    if (options.version >= kArchiveVersionLimit) {
        if (error != nullptr) *error = "versions 0 to 3 can be written";
        return {};
    }
    for (const ArchiveSource& source : sources) {
        if (!layout.Add(source)) return {};
    }
    return layout.Build(options);
}
