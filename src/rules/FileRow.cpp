#include "rules/FileRow.h"

#include <algorithm>
#include <ctime>

namespace quorvane {

// A million listed files must fit in little memory: a row is its two names'
// string objects, one pointer to its folder and its numbers, without padding.
static_assert(sizeof(void*) != 8 || sizeof(FileRow) <= 112, "keep FileRow at 112 bytes");

FolderPath::FolderPath(std::string path) : m_shared(new Shared) {
    m_shared->text = std::move(path);
}

FolderPath::FolderPath(const std::shared_ptr<const std::string>& path) {
    if (path)
        *this = FolderPath(*path);
}

FolderPath::FolderPath(const FolderPath& other) noexcept : m_shared(other.m_shared) {
    if (m_shared)
        m_shared->owners.fetch_add(1, std::memory_order_relaxed);
}

FolderPath::~FolderPath() {
    // The last owner frees it; acquire so that it sees every earlier use.
    if (m_shared && m_shared->owners.fetch_sub(1, std::memory_order_acq_rel) == 1)
        delete m_shared;
}

const std::string& FileRow::Path() const {
    static const std::string empty;
    return folder ? *folder : empty;
}

std::size_t SelectedRowCount(const FileRows& rows) {
    return static_cast<std::size_t>(
        std::count_if(rows.begin(), rows.end(), [](const FileRow& row) { return row.selected; }));
}

std::size_t SelectAllWhenNoneSelected(FileRows& rows) {
    const std::size_t selected = SelectedRowCount(rows);
    if (selected == 0)
        for (FileRow& row : rows)
            row.selected = true;
    return selected;
}

std::size_t ExtensionOffset(std::string_view name) {
    const std::string_view::size_type dot = name.rfind('.');
    // A "/" after the dot would mean the dot belongs to a folder; names never
    // hold one, but the split stays defined for any text.
    if (dot == std::string_view::npos || name.find_first_of("/\\:", dot) != std::string_view::npos)
        return name.size();
    return dot;
}

NameParts SplitName(const std::string& name) {
    const std::size_t dot = ExtensionOffset(name);
    return {name.substr(0, dot), name.substr(dot)};
}

std::string ExtensionOf(const std::string& name) {
    return SplitName(name).extension;
}

std::string BaseNameOf(const std::string& name) {
    return SplitName(name).base;
}

std::string TypeText(const FileRow& row) {
    if (row.isFolder)
        return "Folder";
    return ExtensionOf(row.originalName);
}

std::string AttributeText(std::uint32_t attributes) {
    std::string text;
    text += (attributes & 0x01) ? "R" : "--";
    text += (attributes & 0x20) ? "A" : "--";
    text += (attributes & 0x02) ? "H" : "--";
    text += (attributes & 0x04) ? "S" : "--";
    return text;
}

std::string SizeText(std::uint64_t sizeBytes) {
    return std::to_string(sizeBytes / 1024 + 1);
}

std::string ModifiedText(std::int64_t modifiedUtc) {
    const std::time_t t = static_cast<std::time_t>(modifiedUtc);
    std::tm local{};
    if (!localtime_r(&t, &local))
        return {};
    char buffer[32];
    std::strftime(buffer, sizeof buffer, "%Y/%m/%d,%H:%M:%S", &local);
    return buffer;
}

} // namespace quorvane
