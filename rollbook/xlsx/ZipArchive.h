#pragma once

#include "rollbook/cfb/CompoundFile.h"

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

struct zip;      // libzip's archive handle
struct zip_file; // one entry being read

namespace zelvano::xls
{

// A ZIP archive held in memory, read through libzip. Entry names are looked
// up without regard to ASCII case, with backslashes read as '/'. Opening
// refuses an image that is not a ZIP archive, a damaged directory, and names
// that try to leave the package or repeat another name.
class ZipArchive
{
public:
    // Throws XlsError (Kind::Damaged for a damaged archive).
    explicit ZipArchive(Bytes image);
    ~ZipArchive();
    ZipArchive(const ZipArchive&) = delete;
    ZipArchive& operator=(const ZipArchive&) = delete;

    const Bytes& image() const { return m_image; }
    // Normalised entry names in the archive's order.
    const std::vector<std::string>& names() const { return m_names; }
    bool contains(std::string_view name) const { return indexOf(name).has_value(); }
    // The entry's bytes, or nothing when there is no such entry. Throws
    // XlsError when the entry is damaged or inflates past inflateLimit().
    std::optional<std::string> read(std::string_view name) const;
    // An entry inflated piece by piece, so a large part need not be held
    // whole. read() throws XlsError as ZipArchive::read does: the entry is
    // damaged, inflates past inflateLimit(), or ends at another size than
    // its headers declare.
    class Entry
    {
    public:
        ~Entry();
        Entry(const Entry&) = delete;
        Entry& operator=(const Entry&) = delete;
        // Fills `into` with up to `room` bytes; fewer only at the end, 0 after it.
        std::size_t read(char* into, std::size_t room);
        // The size the headers declare, never more than inflateLimit().
        std::size_t expectedSize() const { return m_expected; }

    private:
        friend class ZipArchive;
        Entry(const ZipArchive& zip, std::size_t index);
        const ZipArchive& m_zip;
        const std::string& m_name;
        ::zip_file* m_file = nullptr;
        std::uint64_t m_read = 0;
        std::uint64_t m_declared = 0;
        bool m_sized = false;
        bool m_ended = false;
        std::size_t m_expected = 0;
    };
    // The entry opened for reading, or nothing when there is no such entry.
    std::unique_ptr<Entry> open(std::string_view name) const;

    // How far one entry may inflate: a multiple of the file's size, never
    // past a fixed cap, so a ZIP bomb is refused before it fills memory.
    std::uint64_t inflateLimit() const { return m_inflateLimit; }

    // What a write changes; names as in names() (any case), new ones added.
    struct Changes {
        std::map<std::string, std::string> put;
        std::set<std::string> removed;
    };
    // A new image: every entry neither put nor removed keeps its compressed
    // bytes exactly; put entries are deflated anew. Throws XlsError.
    Bytes write(const Changes& changes) const;

private:
    std::optional<std::size_t> indexOf(std::string_view name) const;

    Bytes m_image;
    ::zip* m_zip = nullptr;
    std::vector<std::string> m_names;
    std::map<std::string, std::size_t> m_byFoldedName;
    std::uint64_t m_inflateLimit = 0;
};

} // namespace zelvano::xls
