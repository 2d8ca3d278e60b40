#include "rollbook/xlsx/ZipArchive.h"

#include "rollbook/XlsError.h"
#include "rollbook/xlsx/ZipNames.h"

#include <zip.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace zelvano::xls
{

namespace
{

constexpr std::uint64_t kInflateFloor = 16u << 20;
constexpr std::uint64_t kInflateRatio = 64;
constexpr std::uint64_t kInflateCap = 256u << 20;
constexpr std::size_t kChunk = 64 * 1024;

[[noreturn]] void damaged(const std::string& what)
{
    throw XlsError("The workbook is damaged: " + what, XlsError::Kind::Damaged);
}

std::string libzipText(zip_error_t* error)
{
    std::string text = zip_error_strerror(error);
    zip_error_fini(error);
    return text;
}

// The end-of-central-directory signature somewhere in the last 64 KiB: the
// mark of a ZIP archive, however damaged the rest is.
bool looksLikeZip(const Bytes& image)
{
    if (image.size() < 22)
        return false;
    const std::size_t from = image.size() > 65557 ? image.size() - 65557 : 0;
    for (std::size_t i = image.size() - 22 + 1; i-- > from;)
        if (std::memcmp(image.data() + i, "PK\x05\x06", 4) == 0)
            return true;
    return image[0] == 'P' && image[1] == 'K';
}

zip_t* openOn(const Bytes& image, int flags, zip_source_t** keptSource)
{
    zip_error_t error;
    zip_error_init(&error);
    // A source that is written to gets a copy libzip owns: when it writes
    // the new archive it may take over (and later free) leading fragments of
    // the old data instead of copying them.
    void* data = const_cast<std::uint8_t*>(image.data());
    if (keptSource) {
        data = std::malloc(std::max<std::size_t>(image.size(), 1));
        if (!data)
            throw XlsError("Out of memory while writing the workbook.");
        std::memcpy(data, image.data(), image.size());
    }
    zip_source_t* source = zip_source_buffer_create(data, image.size(), keptSource ? 1 : 0, &error);
    if (!source) {
        if (keptSource)
            std::free(data);
        throw XlsError("Out of memory while opening the workbook: " + libzipText(&error));
    }
    if (keptSource) {
        zip_source_keep(source);
        *keptSource = source;
    }
    zip_t* zip = zip_open_from_source(source, flags, &error);
    if (!zip) {
        zip_source_free(source);
        if (keptSource)
            zip_source_free(source);
        const std::string text = libzipText(&error);
        // The image looked like a ZIP archive; a directory libzip cannot
        // find or read means damage, not another kind of file.
        damaged("its ZIP directory cannot be read (" + text + ").");
    }
    return zip;
}

Bytes readAllOf(zip_source_t* source)
{
    // The new archive is read out straight into the image, sized as libzip
    // says it is.
    zip_stat_t stat;
    zip_stat_init(&stat);
    const bool sized = zip_source_stat(source, &stat) == 0 && (stat.valid & ZIP_STAT_SIZE);
    if (zip_source_open(source) < 0)
        throw XlsError("The new workbook image cannot be read back.");
    Bytes out(sized ? static_cast<std::size_t>(stat.size) + 1 : kChunk);
    std::size_t filled = 0;
    zip_int64_t n;
    while ((n = zip_source_read(source, out.data() + filled, out.size() - filled)) > 0) {
        filled += static_cast<std::size_t>(n);
        if (filled == out.size())
            out.resize(out.size() * 2);
    }
    zip_source_close(source);
    if (n < 0)
        throw XlsError("The new workbook image cannot be read back.");
    out.resize(filled);
    return out;
}

// libzip 1.7 deflates a part that replaces a deflated one at its best level
// (9) whatever level it is asked for: much slower on a worksheet than
// zlib's usual level 6, the one Excel and LibreOffice write, for a part
// hardly smaller. So the new parts are deflated at 6 in an archive of their
// own, and their compressed bytes copied into the workbook as they are.
class StagedParts
{
public:
    explicit StagedParts(const std::map<std::string, std::string>& parts)
    {
        if (parts.empty())
            return; // libzip writes no archive at all for none
        zip_error_t error;
        zip_error_init(&error);
        m_buffer = zip_source_buffer_create(nullptr, 0, 0, &error);
        if (!m_buffer)
            throw XlsError("Out of memory while writing the workbook: " + libzipText(&error));
        zip_source_keep(m_buffer);
        zip_t* staging = zip_open_from_source(m_buffer, ZIP_TRUNCATE, &error);
        if (!staging) {
            zip_source_free(m_buffer);
            zip_source_free(m_buffer);
            throw XlsError("The workbook cannot be written: " + libzipText(&error));
        }
        for (const auto& [name, data] : parts) {
            zip_source_t* source = zip_source_buffer(staging, data.data(), data.size(), 0);
            const zip_int64_t at = source ? zip_file_add(staging, name.c_str(), source, 0) : -1;
            if (at < 0) {
                if (source)
                    zip_source_free(source);
                fail(staging);
            }
            zip_set_file_compression(staging, static_cast<zip_uint64_t>(at), ZIP_CM_DEFLATE, 6);
        }
        if (zip_close(staging) < 0)
            fail(staging);
        zip_source_keep(m_buffer);
        m_staged = zip_open_from_source(m_buffer, ZIP_RDONLY, &error);
        if (!m_staged) {
            zip_source_free(m_buffer);
            zip_source_free(m_buffer);
            throw XlsError("The workbook cannot be written: " + libzipText(&error));
        }
    }
    ~StagedParts()
    {
        if (m_staged)
            zip_discard(m_staged);
        if (m_buffer)
            zip_source_free(m_buffer);
    }
    StagedParts(const StagedParts&) = delete;
    StagedParts& operator=(const StagedParts&) = delete;

    // The compressed bytes of the `i`th part, for the archive `into`.
    zip_source_t* source(zip_t* into, std::size_t i) const
    {
        return zip_source_zip(into, m_staged, i, 0, 0, -1);
    }

private:
    [[noreturn]] void fail(zip_t* staging)
    {
        const std::string text = zip_strerror(staging);
        zip_discard(staging);
        zip_source_free(m_buffer);
        throw XlsError("The workbook cannot be written: " + text);
    }

    zip_source_t* m_buffer = nullptr;
    zip_t* m_staged = nullptr;
};

} // namespace

ZipArchive::ZipArchive(Bytes image) : m_image(std::move(image))
{
    if (!looksLikeZip(m_image))
        throw XlsError("This is not an Excel workbook: the file is not a ZIP archive.");
    m_inflateLimit =
        std::min<std::uint64_t>(kInflateCap, kInflateFloor + kInflateRatio * m_image.size());
    // ZIP_CHECKCONS compares every local header with the directory and
    // refuses entries whose declared data runs past the directory.
    m_zip = openOn(m_image, ZIP_RDONLY | ZIP_CHECKCONS, nullptr);
    const zip_int64_t count = zip_get_num_entries(m_zip, 0);
    for (zip_int64_t i = 0; i < count; ++i) {
        const char* raw = zip_get_name(m_zip, static_cast<zip_uint64_t>(i), ZIP_FL_ENC_GUESS);
        const auto name = raw ? normalizedEntryName(raw) : std::nullopt;
        if (!name) {
            // The name belongs to the archive: copied before it is discarded.
            const std::string shown = raw ? raw : "";
            zip_discard(m_zip);
            damaged("an entry of its ZIP archive has an unsafe name (\"" + shown + "\").");
        }
        if (!m_byFoldedName.emplace(foldedName(*name), m_names.size()).second) {
            zip_discard(m_zip);
            damaged("its ZIP archive holds the entry \"" + *name + "\" twice.");
        }
        m_names.push_back(*name);
    }
}

ZipArchive::~ZipArchive()
{
    if (m_zip)
        zip_discard(m_zip);
}

std::optional<std::size_t> ZipArchive::indexOf(std::string_view name) const
{
    const auto normal = normalizedEntryName(name);
    if (!normal)
        return std::nullopt;
    const auto it = m_byFoldedName.find(foldedName(*normal));
    if (it == m_byFoldedName.end())
        return std::nullopt;
    return it->second;
}

ZipArchive::Entry::Entry(const ZipArchive& zip, std::size_t index)
    : m_zip(zip), m_name(zip.m_names[index])
{
    m_file = zip_fopen_index(zip.m_zip, index, 0);
    if (!m_file)
        damaged("the part \"" + m_name + "\" cannot be read (" + zip_strerror(zip.m_zip) + ").");
    zip_stat_t stat;
    zip_stat_init(&stat);
    if (zip_stat_index(zip.m_zip, index, 0, &stat) == 0 && (stat.valid & ZIP_STAT_SIZE)) {
        m_sized = true;
        m_declared = stat.size;
    }
    m_expected = static_cast<std::size_t>(std::min(m_declared, zip.m_inflateLimit));
}

ZipArchive::Entry::~Entry()
{
    zip_fclose(m_file);
}

std::size_t ZipArchive::Entry::read(char* into, std::size_t room)
{
    // Declared sizes are not trusted: the data is counted as it comes.
    std::size_t got = 0;
    while (got < room && !m_ended) {
        const zip_int64_t n = zip_fread(m_file, into + got, room - got);
        if (n < 0)
            damaged("the part \"" + m_name + "\" cannot be read (" + zip_file_strerror(m_file) +
                    ").");
        m_ended = n == 0;
        got += static_cast<std::size_t>(n);
    }
    m_read += got;
    if (m_read > m_zip.m_inflateLimit)
        damaged("the part \"" + m_name + "\" inflates to more than " +
                std::to_string(m_zip.m_inflateLimit >> 20) + " MB.");
    // libzip reads a deflated entry to the end of its stream whatever size
    // the headers declare; a size that lies marks a damaged archive, and a
    // write would copy the lie on.
    if (m_ended && m_sized && m_read != m_declared)
        damaged("the part \"" + m_name + "\" does not have the size its header declares.");
    return got;
}

std::unique_ptr<ZipArchive::Entry> ZipArchive::open(std::string_view name) const
{
    const auto index = indexOf(name);
    if (!index)
        return nullptr;
    return std::unique_ptr<Entry>(new Entry(*this, *index));
}

std::optional<std::string> ZipArchive::read(std::string_view name) const
{
    const auto entry = open(name);
    if (!entry)
        return std::nullopt;
    // Inflated straight into the result, sized as declared (one byte more,
    // so the end is seen without growing it).
    std::string data(entry->expectedSize() + 1, '\0');
    std::size_t filled = 0;
    while (true) {
        const std::size_t n = entry->read(data.data() + filled, data.size() - filled);
        filled += n;
        if (filled < data.size())
            break;
        data.resize(std::min<std::uint64_t>(data.size() * 2, m_inflateLimit + 1));
    }
    data.resize(filled);
    return data;
}

Bytes ZipArchive::write(const Changes& changes) const
{
    const StagedParts staged(changes.put);
    zip_source_t* target = nullptr;
    zip_t* zip = openOn(m_image, 0, &target);
    auto fail = [&](const std::string& what) {
        zip_discard(zip);
        zip_source_free(target);
        throw XlsError("The workbook cannot be written: " + what);
    };
    for (const auto& name : changes.removed)
        if (const auto index = indexOf(name); index && zip_delete(zip, *index) < 0)
            fail(zip_strerror(zip));
    std::size_t i = 0;
    for (const auto& [name, data] : changes.put) {
        zip_source_t* source = staged.source(zip, i++);
        if (!source)
            fail(zip_strerror(zip));
        const auto index = indexOf(name);
        zip_int64_t at = index ? static_cast<zip_int64_t>(*index) : -1;
        if (index ? zip_file_replace(zip, *index, source, 0) < 0
                  : (at = zip_file_add(zip, name.c_str(), source, ZIP_FL_ENC_UTF_8)) < 0) {
            zip_source_free(source);
            fail(zip_strerror(zip));
        }
        zip_set_file_compression(zip, static_cast<zip_uint64_t>(at), ZIP_CM_DEFLATE, 0);
    }
    if (zip_close(zip) < 0)
        fail(zip_strerror(zip));
    try {
        Bytes out = readAllOf(target);
        zip_source_free(target);
        return out;
    } catch (...) {
        zip_source_free(target);
        throw;
    }
}

} // namespace zelvano::xls
