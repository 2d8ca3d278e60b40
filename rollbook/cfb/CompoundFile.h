#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zelvano::xls
{

using Bytes = std::vector<std::uint8_t>;

// An OLE2 compound file held in memory: the directory tree and every stream's
// bytes. Reading checks every chain and size against the file, so a damaged
// file raises XlsError instead of looping or allocating without bound.
// Writing lays the whole container out afresh (same sector size as read),
// keeping every stream and storage it did not replace byte for byte,
// including their names, CLSIDs, state bits and timestamps.
class CompoundFile
{
public:
    // Parses a whole file image. Throws XlsError on anything unsound.
    static CompoundFile parse(const Bytes& image);

    CompoundFile(CompoundFile&&) noexcept;
    CompoundFile& operator=(CompoundFile&&) noexcept;
    ~CompoundFile();

    // Names (UTF-8) of the streams directly under the root storage, in
    // directory order.
    std::vector<std::string> rootStreamNames() const;

    // The stream directly under the root whose name matches
    // case-insensitively, or nothing.
    std::optional<Bytes> readRootStream(std::string_view name) const;
    // The same stream's bytes handed over without a copy; the stream is left
    // empty, as replaceRootStream(name, {}) leaves it.
    std::optional<Bytes> takeRootStream(std::string_view name);

    // Replaces the bytes of an existing root stream (matched
    // case-insensitively). Throws XlsError when there is no such stream.
    // A stream that grows past the mini-stream cutoff (4096 bytes) moves to
    // regular sectors, one that shrinks below it moves into the mini stream.
    void replaceRootStream(std::string_view name, Bytes data);

    // The file image, ready to be saved.
    Bytes serialize() const;

    // 512 or 4096.
    std::uint32_t sectorSize() const;

    // A container holding only an empty root storage, to be filled with
    // addRootStream. Throws XlsError for a sector size other than 512 or 4096.
    static CompoundFile createEmpty(std::uint32_t sectorSize = 512);

    // Adds a new stream directly under the root. Throws XlsError when the
    // name is empty, longer than 31 characters or already taken
    // (case-insensitively).
    void addRootStream(std::string_view name, Bytes data);

    struct Impl;

private:
    explicit CompoundFile(std::unique_ptr<Impl> impl);
    std::unique_ptr<Impl> m_impl;
};

} // namespace zelvano::xls
