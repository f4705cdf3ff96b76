#include "history/StepChunks.h"

namespace quorvane {
namespace {

void PutNumber(std::string& out, std::uint64_t value) {
    while (value >= 0x80) {
        out.push_back(static_cast<char>((value & 0x7f) | 0x80));
        value >>= 7;
    }
    out.push_back(static_cast<char>(value));
}

void PutBytes(std::string& out, std::string_view bytes) {
    PutNumber(out, bytes.size());
    out.append(bytes);
}

class Reader {
public:
    explicit Reader(std::string_view data) : m_data(data) {}
    bool Number(std::uint64_t& value) {
        value = 0;
        for (int shift = 0; shift < 64 && m_at < m_data.size(); shift += 7) {
            const auto byte = static_cast<unsigned char>(m_data[m_at++]);
            value |= static_cast<std::uint64_t>(byte & 0x7f) << shift;
            if ((byte & 0x80) == 0)
                return true;
        }
        return false;
    }
    bool Bytes(std::string& out) {
        std::uint64_t size = 0;
        if (!Number(size) || size > m_data.size() - m_at)
            return false;
        out.assign(m_data.substr(m_at, size));
        m_at += size;
        return true;
    }
    bool AtEnd() const { return m_at == m_data.size(); }

private:
    std::string_view m_data;
    std::size_t m_at = 0;
};

} // namespace

void AppendStep(std::string& chunk, const StepView& step, std::uint64_t folderId) {
    PutNumber(chunk, step.row);
    PutNumber(chunk, folderId);
    PutBytes(chunk, step.from);
    PutBytes(chunk, step.to);
    PutNumber(chunk, step.device);
    PutNumber(chunk, step.inode);
    PutNumber(chunk, step.stamp);
}

// One packed chunk of steps. False when the bytes do not hold exactly
// `count` whole steps of a known folder.
bool ReadChunk(std::string_view data, std::int64_t count, std::int64_t format,
               const std::unordered_map<std::uint64_t, std::string>& folders,
               std::vector<RecordedStep>& steps) {
    Reader reader(data);
    for (std::int64_t i = 0; i < count; ++i) {
        RecordedStep step;
        std::uint64_t row = 0, folder = 0, device = 0;
        if (!reader.Number(row) || !reader.Number(folder) || !reader.Bytes(step.from) ||
            !reader.Bytes(step.to) || !reader.Number(device) || !reader.Number(step.inode))
            return false;
        // Records of the first format kept no stamp: their files cannot be
        // told from newcomers, so their undo steps are refused.
        if (format >= 2 && !reader.Number(step.stamp))
            return false;
        const auto found = folders.find(folder);
        if (found == folders.end())
            return false;
        step.row = static_cast<std::size_t>(row);
        step.folder = found->second;
        step.device = static_cast<std::uint32_t>(device);
        steps.push_back(std::move(step));
    }
    return reader.AtEnd();
}

} // namespace quorvane
