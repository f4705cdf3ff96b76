#pragma once
// One row of the renaming list: a file with its proposed new name.

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace quorvane {

struct FileRow {
    std::string originalName; // current name, without folder
    std::string newName;      // proposal of the last preview, or a run's status text
    // "Path": the file's folder, ending in "/". Rows of one folder share it.
    std::shared_ptr<const std::string> folder;
    std::uint64_t sizeBytes = 0;
    std::int64_t modifiedUtc = 0; // seconds since the epoch
    std::uint32_t attributes = 0; // kAttr* bits
    bool selected = false;
    // The bits a Samba share stores (filelist/StoredAttributes.h) are merged
    // into `attributes`: they are read once per row, not each time it is drawn.
    bool storedAttributesMerged = false;

    const std::string& Path() const;
    std::string FullPath() const { return Path() + originalName; }
};

using FileRows = std::vector<FileRow>;

std::size_t SelectedRowCount(const FileRows& rows);

// A command over the selected rows takes every row when none is selected, and
// leaves them all selected. Returns the number selected before.
std::size_t SelectAllWhenNoneSelected(FileRows& rows);

struct NameParts {
    std::string base;
    std::string extension; // from the last "." to the end, dot included; may be empty
};

// The one name split every rule uses: report.final.txt -> report.final + .txt,
// README -> README + "", notes. -> notes + ".", .profile -> "" + .profile.
NameParts SplitName(const std::string& name);
// Where the extension of the name begins: the byte offset of its last ".", or
// the name's length when it has no extension. Allocates nothing.
std::size_t ExtensionOffset(std::string_view name);
std::string ExtensionOf(const std::string& name);
std::string BaseNameOf(const std::string& name);

// Column texts derived from the row.
std::string TypeText(const FileRow& row);            // "Type": the extension
std::string AttributeText(std::uint32_t attributes); // "Attribute": R A H S slots
std::string SizeText(std::uint64_t sizeBytes);       // "Size": bytes / 1024 + 1
std::string ModifiedText(std::int64_t modifiedUtc);  // "Modified": local yyyy/mm/dd,hh:mm:ss

} // namespace quorvane
